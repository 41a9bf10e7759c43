#include "tome/windows1252_encoder.h"

#include <cstring>

#include "tome/windows1252.h"

namespace lv {
namespace {

// Precomposed Windows-1252 letters by base letter and combining mark: each row lists a mark and the
// pairs base, composed byte.
struct Composition {
  char32_t mark;
  std::string_view pairs;
};

constexpr Composition kCompositions[] = {
    {0x0300,
     "A\xC0"
     "E\xC8"
     "I\xCC"
     "O\xD2"
     "U\xD9"
     "a\xE0"
     "e\xE8"
     "i\xEC"
     "o\xF2"
     "u\xF9"},
    {0x0301,
     "A\xC1"
     "E\xC9"
     "I\xCD"
     "O\xD3"
     "U\xDA"
     "Y\xDD"
     "a\xE1"
     "e\xE9"
     "i\xED"
     "o\xF3"
     "u\xFA"
     "y\xFD"},
    {0x0302,
     "A\xC2"
     "E\xCA"
     "I\xCE"
     "O\xD4"
     "U\xDB"
     "a\xE2"
     "e\xEA"
     "i\xEE"
     "o\xF4"
     "u\xFB"},
    {0x0303,
     "A\xC3"
     "N\xD1"
     "O\xD5"
     "a\xE3"
     "n\xF1"
     "o\xF5"},
    {0x0308,
     "A\xC4"
     "E\xCB"
     "I\xCF"
     "O\xD6"
     "U\xDC"
     "a\xE4"
     "e\xEB"
     "i\xEF"
     "o\xF6"
     "u\xFC"
     "y\xFF"
     "Y\x9F"},
    {0x030A,
     "A\xC5"
     "a\xE5"},
    {0x030C,
     "S\x8A"
     "s\x9A"
     "Z\x8E"
     "z\x9E"},
    {0x0327,
     "C\xC7"
     "c\xE7"},
};

bool IsContinuation(uint8_t b) { return (b & 0xC0) == 0x80; }

}  // namespace

size_t DecodeCharacter(std::string_view text, char32_t& c) {
  const auto* p = reinterpret_cast<const uint8_t*>(text.data());
  const size_t n = text.size();
  const uint8_t b = p[0];
  // Not UTF-8: the byte as Windows-1252 (which holds Latin-1's letters); U+FFFD for its five gaps.
  c = b >= 0x80 && b < 0xA0 ? (Windows1252Char(b) != 0 ? Windows1252Char(b) : char32_t(0xFFFD)) : b;
  if (b < 0x80) return 1;
  size_t length = 0;
  char32_t value = 0;
  char32_t least = 0;
  if ((b & 0xE0) == 0xC0) {
    length = 2, value = b & 0x1Fu, least = 0x80;
  } else if ((b & 0xF0) == 0xE0) {
    length = 3, value = b & 0x0Fu, least = 0x800;
  } else if ((b & 0xF8) == 0xF0) {
    length = 4, value = b & 0x07u, least = 0x10000;
  } else {
    return 1;
  }
  if (n < length) return 1;
  for (size_t i = 1; i < length; ++i) {
    if (!IsContinuation(p[i])) return 1;
    value = value << 6 | (p[i] & 0x3Fu);
  }
  if (value < least || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 1;
  c = value;
  return length;
}

uint8_t ComposedCp1252(uint8_t base, char32_t mark) {
  for (const Composition& row : kCompositions) {
    if (row.mark != mark) continue;
    for (size_t i = 0; i + 1 < row.pairs.size(); i += 2) {
      if (uint8_t(row.pairs[i]) == base) return uint8_t(row.pairs[i + 1]);
    }
  }
  return 0;
}

void Windows1252Encoder::AppendChar(char32_t c, std::string& out) {
  if (c == 0) return;
  if (c < 0x20 && c != '\t' && c != '\n' && c != '\r') c = ' ';
  if (c == 0x7F) c = ' ';
  if (const int byte = Windows1252Byte(c); byte >= 0 && !(c >= 0x80 && c < 0xA0)) {
    out.push_back(char(byte));
    return;
  }
  if (c >= 0x80 && c < 0xA0) c = ' ';  // C1 controls
  if (c == ' ') {
    out.push_back(' ');
    return;
  }
  if (c >= 0x0300 && c <= 0x036F && !out.empty()) {
    if (const uint8_t composed = ComposedCp1252(uint8_t(out.back()), c); composed != 0) {
      out.back() = char(composed);
      return;
    }
  }
  bool drop = false;
  const std::string_view spelling = TransliterationOf(c, drop);
  if (!spelling.empty() || drop) {
    out.append(spelling);
    return;
  }
  out.push_back('?');
  ++m_replaced;
}

// The length of the run of printable ASCII (0x20..0x7E) at the front of text, eight bytes at a time.
size_t PrintableAsciiRun(std::string_view text) {
  constexpr uint64_t kHighBits = 0x8080808080808080ull;
  constexpr uint64_t kOnes = 0x0101010101010101ull;
  size_t i = 0;
  for (; i + 8 <= text.size(); i += 8) {
    uint64_t word;
    std::memcpy(&word, text.data() + i, 8);
    // A byte >= 0x80, < 0x20 or == 0x7F stops the run.
    const uint64_t below = (word - kOnes * 0x20) & ~word;
    const uint64_t del = ((word ^ (kOnes * 0x7F)) - kOnes) & ~(word ^ (kOnes * 0x7F));
    if (((word | below | del) & kHighBits) != 0) break;
  }
  while (i < text.size() && uint8_t(text[i]) >= 0x20 && uint8_t(text[i]) < 0x7F) ++i;
  return i;
}

void Windows1252Encoder::Append(std::string_view text, std::string& out) {
  while (!text.empty()) {
    const size_t run = PrintableAsciiRun(text);
    if (run > 0) {  // the common case
      out.append(text.substr(0, run));
      text.remove_prefix(run);
      continue;
    }
    char32_t c = 0;
    const size_t used = DecodeCharacter(text, c);
    AppendChar(c, out);
    text.remove_prefix(used);
  }
}

}  // namespace lv
