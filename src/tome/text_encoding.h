// The character encoding of a tome's text. A tome without a text-encoding chunk is Windows-1252 (every
// tome of the version-1 layout, and every current-layout tome written before the chunk existed); a
// tome whose chunk names "UTF-8" stores UTF-8. The reader reports it; everything that turns stored
// bytes into characters, or typed characters into stored bytes, asks it.
#pragma once

#include <string_view>

namespace lv {

enum class TextEncoding {
  kWindows1252,
  kUtf8,
};

// "Windows-1252" or "UTF-8", as the results and `lvtool info` show it.
constexpr std::string_view EncodingName(TextEncoding encoding) {
  return encoding == TextEncoding::kUtf8 ? "UTF-8" : "Windows-1252";
}

}  // namespace lv
