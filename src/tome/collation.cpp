#include "tome/collation.h"

#include <cstdint>

#include "tome/unicode.h"

namespace lv {
namespace {

// Walks UTF-8 text one case-folded character at a time. A byte that starts no well-formed sequence
// stands for itself above every code point, so that ill-formed text still has one total order.
class FoldedCharacters {
 public:
  explicit FoldedCharacters(std::string_view text) : m_text(text) {}

  bool AtEnd() const { return m_position >= m_text.size(); }
  // REQUIRES: !AtEnd().
  uint32_t Next() {
    const auto b = uint8_t(m_text[m_position]);
    if (b < 0x80) {
      ++m_position;
      return FoldAscii(b);
    }
    const Utf8Unit unit = DecodeUtf8At(m_text, m_position);
    m_position += unit.length;
    return unit.valid ? uint32_t(SimpleCaseFold(unit.c)) : 0x110000u + b;
  }

 private:
  std::string_view m_text;
  size_t m_position = 0;
};

int CollateUtf8(std::string_view a, std::string_view b) {
  FoldedCharacters x(a), y(b);
  while (!x.AtEnd() && !y.AtEnd()) {
    const uint32_t cx = x.Next();
    const uint32_t cy = y.Next();
    if (cx != cy) return cx < cy ? -1 : 1;
  }
  if (x.AtEnd() && y.AtEnd()) return 0;
  return x.AtEnd() ? -1 : 1;
}

bool Utf8BeginsWith(std::string_view subject, std::string_view text) {
  FoldedCharacters s(subject), t(text);
  while (!t.AtEnd()) {
    if (s.AtEnd() || s.Next() != t.Next()) return false;
  }
  return true;
}

}  // namespace

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

int Collate(std::string_view a, std::string_view b, TextEncoding encoding) {
  return encoding == TextEncoding::kUtf8 ? CollateUtf8(a, b) : Collate(a, b);
}

bool CollateBeginsWith(std::string_view subject, std::string_view text) {
  return subject.size() >= text.size() && Collate(subject.substr(0, text.size()), text) == 0;
}

bool CollateBeginsWith(std::string_view subject, std::string_view text, TextEncoding encoding) {
  return encoding == TextEncoding::kUtf8 ? Utf8BeginsWith(subject, text) : CollateBeginsWith(subject, text);
}

}  // namespace lv
