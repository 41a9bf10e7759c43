#include "search/term_matcher.h"

#include <cstring>

#include "search/windows1252_case.h"
#include "tome/markup.h"

namespace lv {
namespace {

// Follows the marks of a stored text forwards, pair by pair (TAB and its code), so that a hit can ask
// whether it starts inside a link. Positions must be asked in ascending order.
class LinkTracker {
 public:
  explicit LinkTracker(std::string_view text) : m_text(text) {}

  bool InsideLinkAt(size_t position) {
    while (m_next < position) {
      const void* tab = std::memchr(m_text.data() + m_next, kMarkByte, position - m_next);
      if (tab == nullptr) {
        m_next = position;
        break;
      }
      const size_t at = size_t(static_cast<const char*>(tab) - m_text.data());
      if (at + 1 < m_text.size()) {
        const uint8_t code = uint8_t(m_text[at + 1]);
        if (code == kLinkStart) m_insideLink = true;
        if (code == kLinkEnd) m_insideLink = false;
      }
      m_next = at + 2;
    }
    return m_insideLink;
  }

 private:
  std::string_view m_text;
  size_t m_next = 0;  // the marks before this position have been followed
  bool m_insideLink = false;
};

bool EqualUpper(const uint8_t* text, const uint8_t* upperTerm, size_t length) {
  for (size_t i = 0; i < length; ++i) {
    if (kUpper1252[text[i]] != upperTerm[i]) return false;
  }
  return true;
}

}  // namespace

TermMatcher::TermMatcher(std::string_view term, bool wholeWords)
    : m_term(UpperCase1252(term)), m_wholeWords(wholeWords) {
  const size_t m = m_term.size();
  std::array<uint32_t, 256> upperShift{};
  upperShift.fill(uint32_t(m == 0 ? 1 : m));
  for (size_t i = 0; i + 1 < m; ++i) upperShift[uint8_t(m_term[i])] = uint32_t(m - 1 - i);
  for (size_t b = 0; b < 256; ++b) m_shift[b] = upperShift[kUpper1252[b]];
}

bool TermMatcher::IsWholeWord(std::string_view text, size_t position) const {
  if (!m_wholeWords) return true;
  const size_t end = position + m_term.size();
  if (position > 0 && IsLetter1252(uint8_t(text[position - 1]))) return false;
  return end >= text.size() || !IsLetter1252(uint8_t(text[end]));
}

template <typename Accept>
int64_t TermMatcher::FindFirst(std::string_view text, Accept&& accept) const {
  const size_t n = text.size();
  const size_t m = m_term.size();
  if (m == 0) {
    // The empty term stands at every position, the end of the text included.
    for (size_t position = 0; position <= n; ++position) {
      if (accept(position)) return int64_t(position);
    }
    return -1;
  }
  if (m > n) return -1;
  const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
  const auto* term = reinterpret_cast<const uint8_t*>(m_term.data());
  const uint8_t termLast = term[m - 1];
  for (size_t position = 0; position + m <= n;) {
    const uint8_t last = bytes[position + m - 1];
    if (kUpper1252[last] == termLast && EqualUpper(bytes + position, term, m - 1) && accept(position)) {
      return int64_t(position);
    }
    position += m_shift[last];
  }
  return -1;
}

int64_t TermMatcher::FindInSubject(std::string_view subject) const {
  return FindFirst(subject, [&](size_t position) { return IsWholeWord(subject, position); });
}

int64_t TermMatcher::FindInEntry(std::string_view text) const {
  LinkTracker links(text);
  return FindFirst(text, [&](size_t position) { return IsWholeWord(text, position) && !links.InsideLinkAt(position); });
}

}  // namespace lv
