#include "search/query_matcher.h"

#include "search/windows1252_case.h"

namespace lv {

QueryMatcher::QueryMatcher(const SearchQuery& query)
    : m_operator1(query.operator1),
      m_operator2(query.operator2),
      m_entries(query.scope == SearchScope::kSubjectsAndEntries) {
  for (const std::string& term : query.terms) m_terms.emplace_back(TrimWhiteSpace(term), query.wholeWords);
}

QueryMatcher::TermOutcome QueryMatcher::Test(int term, SubjectTexts& texts) const {
  const TermMatcher& matcher = m_terms[size_t(term)];
  if (matcher.FindInSubject(texts.Subject()) >= 0) return {true, -1};
  if (!m_entries) return {};
  const std::optional<std::string_view> entry = texts.EntryText();
  if (!entry) return {};
  const int64_t offset = matcher.FindInEntry(*entry);
  return {offset >= 0, offset};
}

// Terms 2 and 3 together (R): term 2 alone when term 3 is empty, else joined by operator 2.
bool QueryMatcher::MatchesRest(SubjectTexts& texts, TermOutcome (&outcomes)[3]) const {
  outcomes[1] = Test(1, texts);
  if (m_terms[2].IsEmpty()) return outcomes[1].occurs;
  switch (m_operator2) {
    case SearchOperator::kAnd: return outcomes[1].occurs && (outcomes[2] = Test(2, texts)).occurs;
    case SearchOperator::kOr: return outcomes[1].occurs || (outcomes[2] = Test(2, texts)).occurs;
    case SearchOperator::kNot: return outcomes[1].occurs && !(outcomes[2] = Test(2, texts)).occurs;
  }
  return false;
}

bool QueryMatcher::Matches(SubjectTexts& texts, SearchHit& hit) const {
  TermOutcome outcomes[3];
  outcomes[0] = Test(0, texts);
  bool matches = false;
  if (m_terms[1].IsEmpty()) {
    matches = outcomes[0].occurs;
  } else {
    switch (m_operator1) {
      case SearchOperator::kAnd: matches = outcomes[0].occurs && MatchesRest(texts, outcomes); break;
      case SearchOperator::kOr: matches = outcomes[0].occurs || MatchesRest(texts, outcomes); break;
      case SearchOperator::kNot: matches = outcomes[0].occurs && !MatchesRest(texts, outcomes); break;
    }
  }
  if (!matches) return false;
  // The first term that occurs and counts towards the match: term 1 whenever it occurs; otherwise the
  // match came through OR, from term 2 or (through a second OR) term 3.
  for (int term = 0; term < 3; ++term) {
    if (!outcomes[term].occurs) continue;
    hit.textOffset = outcomes[term].offset;
    hit.markLength = outcomes[term].offset < 0 ? 0 : m_terms[size_t(term)].Length();
    break;
  }
  return true;
}

}  // namespace lv
