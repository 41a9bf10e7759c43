// Text between a tome's own encoding and UTF-8, the encoding of everything a person reads or types:
// subjects, previews and results shown, terms and subjects typed.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "tome/text_encoding.h"

namespace lv {

// Stored text as UTF-8: Windows-1252 converted (Windows1252ToUtf8), UTF-8 with any ill-formed byte
// shown as U+FFFD.
std::string TomeTextToUtf8(std::string_view stored, TextEncoding encoding);

// Typed UTF-8 text in the tome's encoding, or nothing when a Windows-1252 tome cannot hold one of its
// characters (such text matches no subject: "?" must not stand in for it).
std::optional<std::string> Utf8ToTomeText(std::string_view utf8, TextEncoding encoding);

// The longest prefix of stored text of at most maxBytes bytes that does not end inside a character.
std::string_view CutAtCharacter(std::string_view stored, size_t maxBytes, TextEncoding encoding);

}  // namespace lv
