// The font faces the font bar offers.
#pragma once

#include <QStringList>

namespace lv {

// Each family once, by its own name: the foundry Qt adds to a family that several foundries make
// ("Nimbus Sans [URW]") is left out, and the names are sorted without regard to case.
QStringList DistinctFontFamilies(const QStringList& families);

}  // namespace lv
