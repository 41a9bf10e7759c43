#include "search/windows1252_case.h"

namespace lv {
namespace {

constexpr std::array<bool, 256> MakeLetterTable() {
  std::array<bool, 256> table{};
  for (int b = 'A'; b <= 'Z'; ++b) table[size_t(b)] = true;
  for (int b = 'a'; b <= 'z'; ++b) table[size_t(b)] = true;
  for (int b = 0xC0; b <= 0xFF; ++b) table[size_t(b)] = b != 0xD7 && b != 0xF7;  // not × and ÷
  for (const int b : {0x83, 0x8A, 0x8C, 0x8E, 0x9A, 0x9C, 0x9E, 0x9F, 0xAA, 0xB5, 0xBA}) table[size_t(b)] = true;
  return table;
}

constexpr std::array<bool, 256> kLetter1252 = MakeLetterTable();

}  // namespace

std::string UpperCase1252(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) c = char(kUpper1252[uint8_t(c)]);
  return upper;
}

bool IsLetter1252(uint8_t byte) { return kLetter1252[byte]; }

std::string_view TrimWhiteSpace(std::string_view text) {
  constexpr std::string_view kWhite = " \t\r\n\v\f";
  const size_t first = text.find_first_not_of(kWhite);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kWhite) - first + 1);
}

}  // namespace lv
