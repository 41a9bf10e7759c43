// The text of a dictd definition as stored entry text. dictd texts are hard-wrapped for a terminal:
// the lines of a paragraph are joined again so that an entry reads like a page, while blank lines,
// list items, indented lines and lines that end short stay breaks. A first line that only repeats the
// headword is dropped, and "{word}" becomes a link to the subject word.
#pragma once

#include <string>
#include <string_view>

#include "tome/windows1252_encoder.h"

namespace lv::dict {

// definition and headword as the database holds them (UTF-8, or 8-bit bytes).
std::string ConvertDictdText(std::string_view definition, std::string_view headword, Windows1252Encoder& encoder);

// The definition reflowed: joined lines, breaks as '\n', a blank line as "\n\n", the indentation of
// a kept line as no-break spaces. Links are left as "{word}". Exposed for the tests.
std::string ReflowDictdText(std::string_view definition, std::string_view headword);

}  // namespace lv::dict
