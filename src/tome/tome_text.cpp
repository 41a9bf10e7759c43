#include "tome/tome_text.h"

#include "tome/unicode.h"
#include "tome/windows1252.h"

namespace lv {

std::string TomeTextToUtf8(std::string_view stored, TextEncoding encoding) {
  if (encoding == TextEncoding::kWindows1252) return Windows1252ToUtf8(stored);
  if (IsValidUtf8(stored)) return std::string(stored);
  int64_t replaced = 0;
  return ReplaceInvalidUtf8(stored, replaced);
}

std::optional<std::string> Utf8ToTomeText(std::string_view utf8, TextEncoding encoding) {
  if (encoding == TextEncoding::kUtf8) {
    if (IsValidUtf8(utf8)) return std::string(utf8);
    int64_t replaced = 0;
    return ReplaceInvalidUtf8(utf8, replaced);
  }
  std::string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    const Utf8Unit unit = DecodeUtf8At(utf8, i);
    i += unit.length;
    // The five bytes Windows-1252 leaves undefined stand for U+0081, U+008D... (Windows1252ToUtf8).
    const int byte = unit.c >= 0x80 && unit.c < 0xA0 && Windows1252Char(uint8_t(unit.c)) == 0 ? int(unit.c)
                                                                                              : Windows1252Byte(unit.c);
    if (!unit.valid || byte < 0) return std::nullopt;
    out.push_back(char(byte));
  }
  return out;
}

std::string_view CutAtCharacter(std::string_view stored, size_t maxBytes, TextEncoding encoding) {
  if (stored.size() <= maxBytes) return stored;
  stored = stored.substr(0, maxBytes);
  return encoding == TextEncoding::kUtf8 ? stored.substr(0, WholeUtf8Length(stored)) : stored;
}

}  // namespace lv
