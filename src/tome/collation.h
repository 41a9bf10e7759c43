// The collation of tome subjects. Windows-1252 tomes: bytes compared as unsigned values after folding
// "A".."Z" to "a".."z". UTF-8 tomes: characters compared by code point (the order of their UTF-8
// bytes) after Unicode simple case folding; for ASCII this is the same rule. Either way a string that
// is a prefix of another collates first. Subject lookup, the builder's sorted check and the file sort
// all use the tome's collation.
#pragma once

#include <string_view>

#include "tome/text_encoding.h"

namespace lv {

inline unsigned char FoldAscii(unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c; }

// Negative, zero or positive as a collates before, equal to or after b (the Windows-1252 collation,
// which is also the ASCII-case-insensitive comparison of names and tags).
int Collate(std::string_view a, std::string_view b);
// The same under the collation of the given encoding.
int Collate(std::string_view a, std::string_view b, TextEncoding encoding);

// True when subject begins with text under the collation: in Windows-1252, subject is at least as
// long as text and its first text.size() bytes collate equal to it; in UTF-8, the case-folded
// characters of text are the first ones of subject's.
bool CollateBeginsWith(std::string_view subject, std::string_view text);
bool CollateBeginsWith(std::string_view subject, std::string_view text, TextEncoding encoding);

}  // namespace lv
