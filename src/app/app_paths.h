// Where the program keeps its page files and finds its help pages.
#pragma once

#include <QString>
#include <QTemporaryDir>

namespace lv {

// A directory of this user's own (mode 0700, unique name under the temporary folder) for the page
// file data.htm. It is removed when the program ends. Another local user can neither read the pages
// nor plant a link where a page will be written.
class PageDirectory {
 public:
  PageDirectory();
  bool IsValid() const { return m_dir.isValid(); }
  QString Path() const { return m_dir.path(); }
  // The page file every entry, text file and PalmDOC page is written to.
  QString PageFilePath() const { return m_dir.filePath(QStringLiteral("data.htm")); }

 private:
  QTemporaryDir m_dir;
};

// The folder that holds the "Help" folder: "HelpPath" when set, else the help installed with the
// program (beside it, or in ../share/librovance when installed).
QString HelpBaseFolder(const QString& helpPath, const QString& programDir);
QString HelpIndexPath(const QString& helpPath, const QString& programDir);
QString HelpStartupPath(const QString& helpPath, const QString& programDir);

}  // namespace lv
