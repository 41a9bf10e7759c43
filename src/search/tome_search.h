// Whole-tome search: finds the next subject whose subject text, or subject and entry text, hold up to
// three terms joined by AND, OR and NOT. The search opens its own read-only reader(s) on the tome file,
// so it can run on a worker thread while the window keeps reading through its own reader.
//
// The term test, for one term T and subject i:
//  1. T is looked for in the subject text; a hit there ends the test with offset -1 (nothing marked).
//  2. With kSubjectsAndEntries, T is then looked for in the stored entry text; a hit ends the test with
//     its byte offset in the stored text.
// Letters are compared after one Windows-1252 upper-casing rule (UpperCase1252), applied alike to the
// terms and to the texts. With whole words, a hit counts only when the bytes before and after it are
// absent or not letters (IsLetter1252: digits and punctuation end a word). In the entry text a hit that
// starts inside a link (between the link-start and link-end marks, the target included) never counts.
// An empty term is found at the first position that satisfies the whole-words rule.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

#include "tome/progress.h"
#include "tome/status.h"

namespace lv {

enum class SearchOperator { kAnd = 0, kOr = 1, kNot = 2 };
enum class SearchScope { kSubjectsOnly = 2, kSubjectsAndEntries = 3 };

struct SearchQuery {
  std::string terms[3];                             // Windows-1252, as typed; the search trims and upper-cases them
  SearchOperator operator1 = SearchOperator::kAnd;  // term 1 with the rest
  SearchOperator operator2 = SearchOperator::kAnd;  // term 2 with term 3
  SearchScope scope = SearchScope::kSubjectsAndEntries;
  bool wholeWords = true;
};

// Where a matching subject is marked. The mark is the hit of one term with that term's own length: the
// first of terms 1, 2, 3 that occurs in the subject and counts towards the match (term 1 whenever it
// occurs; term 2 or 3 only when the match came through OR without term 1). A term under NOT is never
// marked.
struct SearchHit {
  int subjectIndex = -1;
  int64_t textOffset = -1;  // byte offset in the stored entry text to mark, -1 = hit in the subject
  int markLength = 0;       // length of the marked stretch (0 with textOffset -1)
};

enum class SearchResult { kFound, kNotFound, kCancelled, kFailed };
struct SearchOutcome {
  SearchResult result = SearchResult::kNotFound;
  SearchHit hit;
  Status status;  // why, with kFailed (the tome cannot be opened or read)
};

struct SearchControl {
  const std::atomic<bool>* cancel = nullptr;  // polled often (stop within ~0.1 s)
  Progress* progress = nullptr;               // range 0..subject count; called on the caller's thread only
};

// One pass over the tome at tomePath from subject `start` (wrapping once to start-1), opening its own
// read-only reader(s) so it can run on a worker thread while the window keeps its own reader. A start
// outside 0..count-1 begins at subject 0. The first matching subject in pass order is the hit.
SearchOutcome SearchTome(const std::string& tomePath, const SearchQuery& query, int start,
                         const SearchControl& control);

// The same pass, calling visit for every matching subject in pass order (each subject at most once)
// until visit returns false. The outcome is kFound when visit was called at least once.
SearchOutcome SearchTomeAll(const std::string& tomePath, const SearchQuery& query, int start,
                            const SearchControl& control, const std::function<bool(const SearchHit&)>& visit);

}  // namespace lv
