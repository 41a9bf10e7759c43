// One walk over stored entry text, shared by the entry page, the tagged export and the plain-text
// rendering, so that the link rule and the handling of malformed text live in one place.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "tome/markup.h"

namespace lv {

// Walks text (stored entry text; it ends at its first 0x00 byte, if any) and tells the visitor:
//   visitor.Run(begin, end)   a text run [begin, end) of bytes between marks;
//   visitor.Mark(code)        a mark with a code from 1 to 24 other than the link start;
//   visitor.LinkStart(target) a link start with its target.
// A code outside 1..24 is consumed with its TAB and produces nothing.
//
// Link start (TAB, 17): the target is the bytes up to the first ">" or TAB. After a ">" the walk goes
// on behind it (explicit target); otherwise it goes on at the target's first byte, so that the same
// bytes are also the visible text (implicit target).
//
// Malformed text never makes the walk read past the end: a TAB as the last byte ends the walk, and a
// link start with neither ">" nor TAB behind it takes the rest of the text as its target and its
// visible text.
template <typename Visitor>
void WalkStoredText(std::string_view text, Visitor& visitor) {
  const size_t terminator = text.find('\0');
  if (terminator != std::string_view::npos) text = text.substr(0, terminator);
  const size_t n = text.size();
  size_t i = 0;
  while (i < n) {
    if (text[i] != kMarkByte) {
      size_t end = text.find(kMarkByte, i);
      if (end == std::string_view::npos) end = n;
      visitor.Run(i, end);
      i = end;
      continue;
    }
    if (i + 1 >= n) break;  // a TAB with no code byte behind it
    const uint8_t code = static_cast<uint8_t>(text[i + 1]);
    i += 2;
    if (code == kLinkStart) {
      size_t targetEnd = i;
      while (targetEnd < n && text[targetEnd] != '>' && text[targetEnd] != kMarkByte) ++targetEnd;
      visitor.LinkStart(text.substr(i, targetEnd - i));
      if (targetEnd < n && text[targetEnd] == '>') i = targetEnd + 1;
    } else if (IsMarkupCode(code)) {
      visitor.Mark(code);
    }
  }
}

// A stretch of the entry text marked as found: length bytes from byte offset (a negative length counts
// as 0; the mark's anchor is still placed).
struct FindMark {
  long long offset = 0;
  long long length = 0;
};

// The highlighted part [begin, end) of the run [runBegin, runEnd): present when the find mark's offset
// lies inside the run, and clipped to the run. No mark, or a negative offset, highlights nothing.
struct Highlight {
  bool present = false;
  size_t begin = 0;
  size_t end = 0;
};

inline Highlight HighlightWithin(size_t runBegin, size_t runEnd, const std::optional<FindMark>& find) {
  Highlight h;
  if (!find || find->offset < 0) return h;
  const auto offset = static_cast<unsigned long long>(find->offset);
  if (offset < runBegin || offset >= runEnd) return h;
  h.present = true;
  h.begin = static_cast<size_t>(offset);
  const unsigned long long wanted = offset + static_cast<unsigned long long>(std::max(find->length, 0LL));
  h.end = wanted < runEnd ? static_cast<size_t>(wanted) : runEnd;
  return h;
}

// Appends the run [begin, end) of text, with its highlighted part (if any) between open and close.
inline void AppendRunWithHighlight(std::string& out, std::string_view text, size_t begin, size_t end,
                                   const std::optional<FindMark>& find, std::string_view open, std::string_view close) {
  const Highlight h = HighlightWithin(begin, end, find);
  if (!h.present) {
    out.append(text.substr(begin, end - begin));
    return;
  }
  out.append(text.substr(begin, h.begin - begin));
  out.append(open);
  out.append(text.substr(h.begin, h.end - h.begin));
  out.append(close);
  out.append(text.substr(h.end, end - h.end));
}

}  // namespace lv
