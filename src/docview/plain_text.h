// A readable plain-text rendering of stored entry text, for terminals (lvtool show).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "docview/markup_walker.h"

namespace lv {

// Line breaks and paragraphs become line ends, list items bullets ("  * ") or numbers ("  1. "),
// bold *text*, italic and underline _text_, strike-through -text-, superscript ^text, a rule a line
// of dashes, and a link [text -> target] (just [text] when the text names its target, in any case). The find
// mark's stretch, clipped to its text run, is marked >>like this<<. Runs of blank lines are collapsed and the
// result ends with one line end.
std::string RenderPlainText(std::string_view entryText, std::optional<FindMark> find = std::nullopt);

}  // namespace lv
