# Compiler warnings for all of our own code, in one place. Third-party headers (Qt, GoogleTest, Google
# Benchmark) come in as system headers, so their warnings never count against us.
#
# LV_WARNINGS is on for every build. LV_PENDING_WARNINGS are measured but not yet on: the tree still
# has warnings under them (count them with
#   cmake --preset dev -B build/warn -DLV_EXTRA_WARNINGS="-Wsign-conversion"
#   cmake --build build/warn -- -k 0 2>&1 | grep -c 'warning:'
# ), and each moves up to LV_WARNINGS once the code is clean under it.
set(LV_WARNINGS
    -Wall -Wextra -Wshadow -Wpedantic -Wold-style-cast -Wnon-virtual-dtor -Woverloaded-virtual -Wcast-qual
    -Wformat=2 -Wundef -Wextra-semi -Wconversion)
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  # Clang has no such options, or gives the name another meaning.
  list(APPEND LV_WARNINGS -Wduplicated-cond -Wlogical-op -Wmissing-declarations)
endif()
set(LV_PENDING_WARNINGS -Wsign-conversion)
if(CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  # Clang's -Wconversion includes -Wsign-conversion, which is still pending.
  list(APPEND LV_WARNINGS -Wno-sign-conversion)
endif()

set(LV_EXTRA_WARNINGS "" CACHE STRING "More warning options for a trial build (a ;-separated list)")
option(LV_WERROR "Treat compiler warnings as errors (CI builds with it)" OFF)

add_compile_options(${LV_WARNINGS} ${LV_EXTRA_WARNINGS})
if(LV_WERROR)
  add_compile_options(-Werror)
endif()
