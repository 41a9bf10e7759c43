// Windows-1252, the single-byte character set of tome text. It differs from Latin-1 only in the
// bytes 0x80..0x9F; five of them (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for no character.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace lv {

// Characters of the bytes 0x80..0x9F; 0 where the byte has none.
inline constexpr char16_t kWindows1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

// The character of byte b; 0 for the five bytes that have none (and for the byte 0 itself).
constexpr char16_t Windows1252Char(uint8_t b) { return (b >= 0x80 && b < 0xA0) ? kWindows1252High[b - 0x80] : b; }

// The byte of character c, or -1 when Windows-1252 has none.
constexpr int Windows1252Byte(char32_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<int>(c);
  for (int i = 0; i < 32; ++i) {
    if (kWindows1252High[i] != 0 && kWindows1252High[i] == c) return 0x80 + i;
  }
  return -1;
}

// Appends the UTF-8 form of code point c (one to four bytes).
inline void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// The UTF-8 form of Windows-1252 text. The five bytes without a character become the C1 controls of
// the same number (U+0081, U+008D, U+008F, U+0090, U+009D), as the web's definition of the encoding
// has it, so that no byte is lost.
inline std::string Windows1252ToUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  for (const char ch : text) {
    const auto b = static_cast<uint8_t>(ch);
    const char16_t c = Windows1252Char(b);
    AppendUtf8(out, c != 0 ? char32_t{c} : char32_t{b});
  }
  return out;
}

}  // namespace lv
