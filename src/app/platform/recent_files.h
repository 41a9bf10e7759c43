// The list of the five files opened last, most recent first, kept in the group "Recent File List"
// as "File1".."File5".
#pragma once

#include <QString>
#include <QStringList>

class QSettings;

namespace lv {

class RecentFileList {
 public:
  static constexpr int kSize = 5;
  static constexpr int kShownLength = 30;

  void Load(QSettings& settings);
  void Save(QSettings& settings) const;
  // Puts path first, removing an older mention of it.
  void Add(const QString& path);
  void Remove(const QString& path);
  const QStringList& Paths() const { return m_paths; }

  // The path as the File menu shows it: whole when short, else its start and file name joined by
  // "..." within kShownLength characters.
  static QString ShortenedForMenu(const QString& path);

 private:
  QStringList m_paths;
};

}  // namespace lv
