// The one collation of the system: bytes compared as unsigned values after folding "A".."Z" to
// "a".."z"; a string that is a prefix of another collates first. Subject lookup, the builder's
// sorted check and the file sort all use it.
#pragma once

#include <string_view>

namespace lv {

inline unsigned char FoldAscii(unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c; }

// Negative, zero or positive as a collates before, equal to or after b.
int Collate(std::string_view a, std::string_view b);

// True when subject is at least as long as text and its first text.size() bytes collate equal to it.
bool CollateBeginsWith(std::string_view subject, std::string_view text);

}  // namespace lv
