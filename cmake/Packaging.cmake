# The Debian package: `make package` (or `cpack -G DEB` in build/release) packs everything that
# `cmake --install` installs -- the desktop program, lvtool, the help pages, the desktop entry, the
# "Librovance Document" MIME type and the icon -- into librovance_<version>_<arch>.deb for /usr.
set(LV_PACKAGE_MAINTAINER "Varnoth <librovance@varnoth.example>"
    CACHE STRING "Maintainer field of the Debian package (Name <address>)")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME librovance)
set(CPACK_PACKAGE_VENDOR Varnoth)
set(CPACK_PACKAGE_CONTACT "${LV_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "reader and builder for reference books stored as tomes")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
  "Librovance reads dictionaries, encyclopedias and other reference books stored\n"
  "as tomes (.lv files). It opens a tome of any size at once, lists its subjects,\n"
  "shows formatted entries, follows links between them and finds a subject as you\n"
  "type. The lvtool command builds tomes from tagged or tab-separated text, reads\n"
  "and searches them, and exports them to Palm OS databases.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_PACKAGE_NAME librovance)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # librovance_<version>_<arch>.deb
set(CPACK_DEBIAN_PACKAGE_SECTION text)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)  # Depends from the libraries the programs link (dpkg-shlibdeps)

include(CPack)
