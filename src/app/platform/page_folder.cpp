#include "app/platform/page_folder.h"

#include <QDir>
#include <QFile>

namespace lv {

PageFolder::PageFolder() : m_dir(QDir::tempPath() + QStringLiteral("/librovance-XXXXXX")) {
  if (m_dir.isValid()) {
    QFile::setPermissions(m_dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  }
}

// The file is overwritten and then cut to length rather than truncated to zero first: on ext4 a
// truncate to zero followed by a rewrite forces a flush to disk at close, which costs milliseconds on
// every page shown.
QString PageFolder::WritePage(std::string_view page) const {
  QFile file(PageFilePath());
  if (!file.open(QIODevice::ReadWrite | QIODevice::Unbuffered)) return file.errorString();
  const auto size = static_cast<qint64>(page.size());
  if (file.write(page.data(), size) != size || !file.resize(size)) return file.errorString();
  return QString();
}

}  // namespace lv
