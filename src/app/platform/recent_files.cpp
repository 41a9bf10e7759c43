#include "app/platform/recent_files.h"

#include <QFileInfo>
#include <QSettings>

namespace lv {

void RecentFileList::Load(QSettings& settings) {
  m_paths.clear();
  settings.beginGroup(QStringLiteral("Recent File List"));
  for (int n = 1; n <= kSize; ++n) {
    QString path = settings.value(QStringLiteral("File%1").arg(n)).toString();
    if (!path.isEmpty()) m_paths.append(path);
  }
  settings.endGroup();
}

void RecentFileList::Save(QSettings& settings) const {
  settings.beginGroup(QStringLiteral("Recent File List"));
  for (int n = 1; n <= kSize; ++n) {
    const QString key = QStringLiteral("File%1").arg(n);
    if (n <= m_paths.size()) {
      settings.setValue(key, m_paths[n - 1]);
    } else {
      settings.remove(key);
    }
  }
  settings.endGroup();
}

void RecentFileList::Add(const QString& path) {
  m_paths.removeAll(path);
  m_paths.prepend(path);
  while (m_paths.size() > kSize) m_paths.removeLast();
}

void RecentFileList::Remove(const QString& path) { m_paths.removeAll(path); }

QString RecentFileList::ShortenedForMenu(const QString& path) {
  if (path.size() <= kShownLength) return path;
  const QString name = QFileInfo(path).fileName();
  const QString dots = QStringLiteral("...");
  if (name.size() + dots.size() >= kShownLength) return dots + name.right(kShownLength - dots.size());
  return path.left(kShownLength - name.size() - dots.size() - 1) + dots + QLatin1Char('/') + name;
}

}  // namespace lv
