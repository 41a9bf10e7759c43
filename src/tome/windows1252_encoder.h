// Text of the dictionaries into Windows-1252, the character set of tome text. Dictionaries are UTF-8
// (older dictd databases are 8-bit Latin-1 or Windows-1252, which is read wherever the bytes are not
// valid UTF-8).
// A character Windows-1252 lacks becomes its transliteration when one reads sensibly (Latin letters
// with other accents, Greek and Cyrillic letters, typographic signs), else "?", and is counted.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace lv {

class Windows1252Encoder {
 public:
  // Appends text (UTF-8, Windows-1252 where not valid UTF-8) to out in Windows-1252. Control characters
  // other than TAB and line ends become spaces; TAB stays (callers turn it into a space where it
  // could be taken for a mark); 0x00 is left out.
  void Append(std::string_view text, std::string& out);
  // Appends one character.
  void AppendChar(char32_t c, std::string& out);

  // Characters that had no Windows-1252 form and no transliteration, written as "?".
  int64_t ReplacedCount() const { return m_replaced; }

 private:
  int64_t m_replaced = 0;
};

// The length of the run of printable ASCII characters (0x20..0x7E) at the front of text.
size_t PrintableAsciiRun(std::string_view text);

// Decodes one character from the front of text (which must not be empty) and returns its length in
// bytes: a valid UTF-8 sequence, or else the first byte as a Windows-1252 character (U+FFFD for the
// five bytes that have none).
size_t DecodeCharacter(std::string_view text, char32_t& c);

// An ASCII or Windows-1252 spelling of a character outside Windows-1252, or empty when it has none.
// Combining marks (U+0300..U+036F) spell as nothing and give "" with drop set.
std::string_view TransliterationOf(char32_t c, bool& drop);

// The Windows-1252 byte of base letter + combining mark (U+0300..U+036F), or 0 when there is none.
uint8_t ComposedCp1252(uint8_t base, char32_t mark);

}  // namespace lv
