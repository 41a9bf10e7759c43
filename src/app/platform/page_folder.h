// The private folder that holds the page file, and the writing of that file.
#pragma once

#include <QString>
#include <QTemporaryDir>
#include <memory>
#include <string_view>

namespace lv {

// A folder of this user's own (mode 0700, a unique name under the temporary folder that carries the
// program's process id: librovance-PID-XXXXXX) for the page file data.htm. It is removed when the
// program ends. Another local user can neither read the pages nor plant a link where a page will be
// written. When the folder cannot be made there is no page file at all (never one elsewhere).
class PageFolder {
 public:
  // Makes the folder under parent (the temporary folder when empty). A parent that is not an existing
  // folder gets no page folder.
  explicit PageFolder(const QString& parent = QString());
  ~PageFolder();
  bool IsValid() const { return m_dir && m_dir->isValid(); }
  // Why the folder could not be made.
  QString ErrorString() const;
  // The folder; empty when it could not be made.
  QString Path() const { return IsValid() ? m_dir->path() : QString(); }
  // The page file every entry, text file and PalmDOC page is written to: what prints and what an
  // outside browser opens. Empty when the folder could not be made.
  QString PageFilePath() const { return IsValid() ? m_dir->filePath(QStringLiteral("data.htm")) : QString(); }

  // Replaces the contents of the page file with page. Empty on success, else the cause.
  QString WritePage(std::string_view page) const;

  // Removes the page folders under parent (the temporary folder when empty) that this user's
  // programs left behind when they ended without removing them: those whose process is gone.
  static void RemoveAbandoned(const QString& parent = QString());

 private:
  QString m_parent;
  std::unique_ptr<QTemporaryDir> m_dir;  // none when the parent is not a folder
};

}  // namespace lv
