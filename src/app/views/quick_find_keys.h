// The characters the views hand to the quick find: ASCII letters and digits, Backspace (deletes the
// last character) and Escape (empties the text).
#pragma once

namespace lv {

inline constexpr int kQuickFindBackspace = 8;
inline constexpr int kQuickFindEscape = 27;

inline bool IsQuickFindCharacter(int character) {
  return (character >= 'a' && character <= 'z') || (character >= 'A' && character <= 'Z') ||
         (character >= '0' && character <= '9') || character == kQuickFindBackspace || character == kQuickFindEscape;
}

}  // namespace lv
