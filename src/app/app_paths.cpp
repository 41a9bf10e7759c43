#include "app/app_paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace lv {

PageDirectory::PageDirectory() : m_dir(QDir::tempPath() + QStringLiteral("/librovance-XXXXXX")) {
  if (m_dir.isValid()) {
    QFile::setPermissions(m_dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  }
}

QString HelpBaseFolder(const QString& helpPath, const QString& programDir) {
  if (!helpPath.isEmpty()) return helpPath;
  const QString beside = programDir;
  if (QFileInfo::exists(beside + QStringLiteral("/Help/index.html"))) return beside;
  const QString shared = QDir::cleanPath(programDir + QStringLiteral("/../share/librovance"));
  if (QFileInfo::exists(shared + QStringLiteral("/Help/index.html"))) return shared;
  return beside;
}

QString HelpIndexPath(const QString& helpPath, const QString& programDir) {
  return HelpBaseFolder(helpPath, programDir) + QStringLiteral("/Help/index.html");
}

QString HelpStartupPath(const QString& helpPath, const QString& programDir) {
  return HelpBaseFolder(helpPath, programDir) + QStringLiteral("/Help/startup.htm");
}

}  // namespace lv
