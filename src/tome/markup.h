// Stored entry text: single-byte text ended by 0x00 in which every formatting mark is the byte
// 0x09 (TAB) followed by one markup code from 1 to 24. Any other byte stands for itself.
#pragma once

#include <cstdint>
#include <string_view>

namespace lv {

inline constexpr char kMarkByte = '\t';

enum MarkupCode : uint8_t {
  kBoldOn = 1,
  kBoldOff = 2,
  kItalicOn = 3,
  kItalicOff = 4,
  kUnderlineOn = 5,
  kUnderlineOff = 6,
  kHorizontalRule = 7,
  kLineBreak = 8,
  kParagraph = 9,
  kListItem = 10,
  kNumberedListStart = 11,
  kNumberedListEnd = 12,
  kBulletListStart = 13,
  kBulletListEnd = 14,
  kCentreOn = 15,
  kCentreOff = 16,
  kLinkStart = 17,
  kLinkEnd = 18,
  kStrikeOn = 19,
  kStrikeOff = 20,
  kSuperscriptOn = 21,
  kSuperscriptOff = 22,
  kSubscriptOn = 23,
  kSubscriptOff = 24,
};

inline constexpr uint8_t kFirstMarkupCode = 1;
inline constexpr uint8_t kLastMarkupCode = 24;

inline bool IsMarkupCode(uint8_t code) { return code >= kFirstMarkupCode && code <= kLastMarkupCode; }

// The tagged-text spelling of each code (index = code; index 0 unused). The link start is spelled
// "<a:" and is followed by the target and ">" (see the renderer for the implicit-target rule).
inline constexpr std::string_view kTaggedForm[kLastMarkupCode + 1] = {
    "",     "<b>",      "</b>",      "<i>",   "</i>",   "<u>",   "</u>",     "<hr>",      "<br>",
    "<p>",  "<li>",     "<ol>",      "</ol>", "<ul>",   "</ul>", "<center>", "</center>", "<a:",
    "</a>", "<strike>", "</strike>", "<sup>", "</sup>", "<sub>", "</sub>",
};

}  // namespace lv
