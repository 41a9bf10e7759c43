// One prepared search term: finds its first accepted hit in a subject or in a stored entry text.
// Letters compare after UpperCase1252 byte by byte as the text is scanned, so no upper-cased copy of
// a text is ever made.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace lv {

class TermMatcher {
 public:
  // term as typed (it is upper-cased here; trimming is the caller's).
  TermMatcher(std::string_view term, bool wholeWords);

  // The offset of the first hit in the subject text, or -1.
  int64_t FindInSubject(std::string_view subject) const;
  // The offset of the first hit in a stored entry text that does not start inside a link, or -1.
  int64_t FindInEntry(std::string_view text) const;

  bool IsEmpty() const { return m_term.empty(); }
  int Length() const { return int(m_term.size()); }

 private:
  template <typename Accept>
  int64_t FindFirst(std::string_view text, Accept&& accept) const;
  bool IsWholeWord(std::string_view text, size_t position) const;

  std::string m_term;  // upper-cased
  bool m_wholeWords;
};

}  // namespace lv
