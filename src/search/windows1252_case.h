// Upper-casing and letters of Windows-1252 text, one rule for search terms and searched texts alike.
// Every small letter with a capital in the character set maps to it: a-z, the accented letters
// 0xE0..0xFE (not the division sign 0xF7), and š œ ž ÿ (0x9A 0x9C 0x9E 0xFF) to Š Œ Ž Ÿ (0x8A 0x8C 0x8E
// 0x9F). ß, µ and ƒ have no capital there and stay as they are.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace lv {

constexpr std::array<uint8_t, 256> MakeUpper1252Table() {
  std::array<uint8_t, 256> table{};
  for (int b = 0; b < 256; ++b) table[size_t(b)] = uint8_t(b);
  for (int b = 'a'; b <= 'z'; ++b) table[size_t(b)] = uint8_t(b - 0x20);
  for (int b = 0xE0; b <= 0xFE; ++b) {
    if (b != 0xF7) table[size_t(b)] = uint8_t(b - 0x20);
  }
  table[0x9A] = 0x8A;  // š Š
  table[0x9C] = 0x8C;  // œ Œ
  table[0x9E] = 0x8E;  // ž Ž
  table[0xFF] = 0x9F;  // ÿ Ÿ
  return table;
}

// kUpper1252[b] is the capital of byte b, or b itself.
inline constexpr std::array<uint8_t, 256> kUpper1252 = MakeUpper1252Table();

inline uint8_t UpperCase1252(uint8_t byte) { return kUpper1252[byte]; }
std::string UpperCase1252(std::string_view text);

// Letters of Windows-1252: the ASCII letters, the accented letters, š œ ž Š Œ Ž Ÿ ƒ ª º µ ß.
bool IsLetter1252(uint8_t byte);

// text without white space (space, TAB, CR, LF, VT, FF) at either end.
std::string_view TrimWhiteSpace(std::string_view text);

}  // namespace lv
