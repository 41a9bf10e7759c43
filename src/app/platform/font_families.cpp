#include "app/platform/font_families.h"

#include <QRegularExpression>

namespace lv {

QStringList DistinctFontFamilies(const QStringList& families) {
  static const QRegularExpression foundry(QStringLiteral("\\s*\\[[^\\]]*\\]\\s*$"));
  QStringList names;
  names.reserve(families.size());
  for (QString family : families) {
    family.remove(foundry);
    if (!family.isEmpty()) names.append(family);
  }
  names.sort(Qt::CaseInsensitive);
  names.removeDuplicates();
  return names;
}

}  // namespace lv
