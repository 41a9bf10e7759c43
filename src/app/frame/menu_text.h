// Menu item texts made from data (subjects, titles, paths): an "&" in them is a character to show,
// not the mark of a shortcut letter, so each is doubled.
#pragma once

#include <QString>

namespace lv {

inline QString LiteralMenuText(QString text) { return text.replace(QLatin1Char('&'), QStringLiteral("&&")); }

}  // namespace lv
