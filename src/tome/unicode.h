// UTF-8 decoding and the Unicode properties the store needs: simple case folding (for the collation
// and case-insensitive search of UTF-8 tomes) and the letter and digit classes (for whole words). The
// tables are ICU's; this file only walks UTF-8.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace lv {

inline constexpr char32_t kReplacementCharacter = 0xFFFD;

// One unit of UTF-8 text: a well-formed sequence (valid, its code point), or a single byte that does
// not start one (not valid, c is U+FFFD).
struct Utf8Unit {
  char32_t c = 0;
  uint8_t length = 1;
  bool valid = true;
};

// The unit at text[position]. REQUIRES: position < text.size().
Utf8Unit DecodeUtf8At(std::string_view text, size_t position);

// True when text is well-formed UTF-8 (no overlong forms, surrogates or code points above U+10FFFF).
bool IsValidUtf8(std::string_view text);

// The length of text without a UTF-8 sequence cut off at its end: a cut-off tail (a lead byte
// followed by fewer continuation bytes than it announces) is dropped, anything else is kept.
size_t WholeUtf8Length(std::string_view text);

// text as well-formed UTF-8: every byte that does not start a well-formed sequence becomes U+FFFD,
// counted in replaced.
std::string ReplaceInvalidUtf8(std::string_view text, int64_t& replaced);

// Unicode simple case folding (one code point to one code point; "Σ" and "ς" to "σ", "K" to "k").
char32_t SimpleCaseFold(char32_t c);

// True for Unicode letters (L*), combining marks (M*) and decimal digits (Nd): what a word is made of.
bool IsWordCharacter(char32_t c);

// Checks a stream of bytes for well-formed UTF-8 piece by piece (a sequence may be split between
// pieces), and whether any byte is 0x80 or above.
class Utf8StreamCheck {
 public:
  void Feed(std::string_view bytes);
  // After the last piece: true when every byte so far was well-formed UTF-8.
  bool Valid() const { return m_valid && m_pending.empty(); }
  // True as soon as a piece holds a byte that cannot be UTF-8 (later pieces change nothing).
  bool Failed() const { return !m_valid; }
  bool SawHighByte() const { return m_sawHighByte; }

 private:
  bool m_valid = true;
  bool m_sawHighByte = false;
  std::string m_pending;  // the start of a sequence that the next piece completes
};

}  // namespace lv
