#include "app/platform/help_paths.h"

#include <QDir>
#include <QFileInfo>

namespace lv {

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
