// A prepared query: its terms trimmed and upper-cased, and the test of one subject against all of
// them with AND, OR and NOT.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "search/term_matcher.h"
#include "search/tome_search.h"

namespace lv {

// The texts of one subject. The entry text is asked for at most once per subject, and only when a
// term is not in the subject text.
class SubjectTexts {
 public:
  virtual ~SubjectTexts() = default;
  virtual std::string_view Subject() = 0;
  // The stored entry text, or nullopt when it cannot be loaded (no term occurs in it then).
  virtual std::optional<std::string_view> EntryText() = 0;
};

class QueryMatcher {
 public:
  explicit QueryMatcher(const SearchQuery& query);

  // True when the subject matches; hit then holds the marked stretch (subjectIndex is left alone).
  bool Matches(SubjectTexts& texts, SearchHit& hit) const;

 private:
  struct TermOutcome {
    bool occurs = false;
    int64_t offset = -1;
  };
  TermOutcome Test(int term, SubjectTexts& texts) const;
  bool MatchesRest(SubjectTexts& texts, TermOutcome (&outcomes)[3]) const;

  std::vector<TermMatcher> m_terms;  // three, trimmed and upper-cased
  SearchOperator m_operator1;
  SearchOperator m_operator2;
  bool m_entries;
};

}  // namespace lv
