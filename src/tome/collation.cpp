#include "tome/collation.h"

namespace lv {

int Collate(std::string_view a, std::string_view b) {
  const size_t common = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < common; ++i) {
    const int ca = FoldAscii(static_cast<unsigned char>(a[i]));
    const int cb = FoldAscii(static_cast<unsigned char>(b[i]));
    if (ca != cb) return ca - cb;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

bool CollateBeginsWith(std::string_view subject, std::string_view text) {
  return subject.size() >= text.size() && Collate(subject.substr(0, text.size()), text) == 0;
}

}  // namespace lv
