// A readable plain-text rendering of stored entry text, for terminals (lvtool show).
#pragma once

#include <string>
#include <string_view>

namespace lv {

// Line breaks and paragraphs become line ends, list items bullets ("  * ") or numbers ("  1. "),
// bold *text*, italic and underline _text_, strike-through -text-, superscript ^text, a rule a line
// of dashes, and a link [text -> target] (just [text] when the text names its target, in any case). The stretch
// [findOffset, findOffset + findLength), clipped to its text run, is marked >>like this<<.
// findOffset -1 marks nothing. Runs of blank lines are collapsed and the result ends with one line end.
std::string RenderPlainText(std::string_view entryText, int findOffset = -1, int findLength = 0);

}  // namespace lv
