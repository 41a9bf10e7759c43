// PrepareTextForPalm: stored entry text prepared for the handheld reader of a Palm tome.
//   codes 1-7, 10, 13-16   kept as TAB and code
//   8 (line break)         one newline; a single space right after the code is dropped
//   9 (paragraph)          two newlines; a single space right after the code is dropped
//   11, 12                 removed
//   17 (link start)        resolved: TAB 17, the target's subject number in decimal, ">" and the
//                          visible text; an unknown target leaves its name and text as plain text
//   18 (link end)          kept only when it closes a resolved link
//   0, 19 and above        removed with the code byte
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "palm/subject_index.h"

namespace lv {

// At most this many bytes of a target name are read.
inline constexpr size_t kLinkTargetMaxLength = 1022;
// An implicit link's visible text (its target name) is cut to this many bytes.
inline constexpr size_t kLinkVisibleMaxLength = 253;

// Writes the prepared form of text to out, at most limit bytes.
void PrepareTextForPalm(std::string_view text, const SortedSubjectIndex& subjects, size_t limit, std::string& out);

}  // namespace lv
