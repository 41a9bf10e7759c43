// The private folder that holds the page file, and the writing of that file.
#pragma once

#include <QString>
#include <QTemporaryDir>
#include <string_view>

namespace lv {

// A folder of this user's own (mode 0700, unique name under the temporary folder) for the page file
// data.htm. It is removed when the program ends. Another local user can neither read the pages nor
// plant a link where a page will be written.
class PageFolder {
 public:
  PageFolder();
  bool IsValid() const { return m_dir.isValid(); }
  QString Path() const { return m_dir.path(); }
  // The page file every entry, text file and PalmDOC page is written to: what prints and what an
  // outside browser opens.
  QString PageFilePath() const { return m_dir.filePath(QStringLiteral("data.htm")); }

  // Replaces the contents of the page file with page. Empty on success, else the cause.
  QString WritePage(std::string_view page) const;

 private:
  QTemporaryDir m_dir;
};

}  // namespace lv
