#include "search/term_matcher.h"

#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// The other byte that upper-cases to the capital upper (its small letter), or upper itself.
constexpr std::array<uint8_t, 256> MakeOtherCaseTable() {
  std::array<uint8_t, 256> table{};
  for (int b = 0; b < 256; ++b) table[size_t(b)] = uint8_t(b);
  for (int b = 0; b < 256; ++b) {
    const uint8_t upper = kUpper1252[size_t(b)];
    if (upper != b) table[upper] = uint8_t(b);
  }
  return table;
}

}  // namespace

TermMatcher::TermMatcher(std::string_view term, bool wholeWords)
    : m_term(UpperCase1252(term)), m_wholeWords(wholeWords) {}

bool TermMatcher::IsWholeWord(std::string_view text, size_t position) const {
  if (!m_wholeWords) return true;
  const size_t end = position + m_term.size();
  if (position > 0 && IsLetter1252(uint8_t(text[position - 1]))) return false;
  return end >= text.size() || !IsLetter1252(uint8_t(text[end]));
}

// Candidates are the positions whose first and last bytes match the term's (in either case); those
// are compared whole and offered to accept in ascending order. With SSE2, sixteen positions are tested
// at once.
template <typename Accept>
int64_t TermMatcher::FindFirst(std::string_view text, Accept&& accept) const {
  static constexpr std::array<uint8_t, 256> kOtherCase = MakeOtherCaseTable();
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
  size_t position = 0;
#if defined(__SSE2__)
  const __m128i first = _mm_set1_epi8(char(term[0]));
  const __m128i firstOther = _mm_set1_epi8(char(kOtherCase[term[0]]));
  const __m128i last = _mm_set1_epi8(char(term[m - 1]));
  const __m128i lastOther = _mm_set1_epi8(char(kOtherCase[term[m - 1]]));
  for (; position + m - 1 + 16 <= n; position += 16) {
    const __m128i heads = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + position));
    const __m128i tails = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + position + m - 1));
    const __m128i both = _mm_and_si128(_mm_or_si128(_mm_cmpeq_epi8(heads, first), _mm_cmpeq_epi8(heads, firstOther)),
                                       _mm_or_si128(_mm_cmpeq_epi8(tails, last), _mm_cmpeq_epi8(tails, lastOther)));
    for (unsigned mask = unsigned(_mm_movemask_epi8(both)); mask != 0; mask &= mask - 1) {
      const size_t candidate = position + size_t(std::countr_zero(mask));
      if (EqualUpper(bytes + candidate, term, m) && accept(candidate)) return int64_t(candidate);
    }
  }
#endif
  for (; position + m <= n; ++position) {
    if (kUpper1252[bytes[position]] == term[0] && EqualUpper(bytes + position, term, m) && accept(position)) {
      return int64_t(position);
    }
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
