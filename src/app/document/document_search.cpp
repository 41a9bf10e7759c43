// Find and Find Next: the search state and the pass that runs on a worker thread.
#include <QFile>

#include "app/dialogs/search_dialog.h"
#include "app/document/document.h"
#include "app/platform/windows1252_text.h"

namespace lv {

SearchQuery SearchQueryFrom(const SearchDialogValues& values) {
  SearchQuery query;
  for (int i = 0; i < 3; ++i) query.terms[i] = EncodeWindows1252(values.terms[i]);
  query.operator1 = static_cast<SearchOperator>(values.operator1);
  query.operator2 = static_cast<SearchOperator>(values.operator2);
  query.scope = values.subjectsOnly ? SearchScope::kSubjectsOnly : SearchScope::kSubjectsAndEntries;
  query.wholeWords = values.wholeWords;
  return query;
}

void Document::Find(const SearchQuery& query, int start) {
  if (m_kind != DocumentKind::kTome || !m_reader.IsOpen()) return;
  m_search.defined = true;
  m_search.query = query;
  RunSearch(start);
}

bool Document::FindNext(int fallbackStart) {
  if (!m_search.defined) return false;
  if (m_kind != DocumentKind::kTome || !m_reader.IsOpen()) return true;
  // A start past the last subject (a hit in a larger tome) wraps to the first.
  const int count = m_reader.SubjectCount();
  int start = m_search.lastHit < 0 ? fallbackStart : m_search.lastHit + 1;
  if (start < 0 || start >= count) start = 0;
  RunSearch(start);
  return true;
}

void Document::RunSearch(int start) {
  m_searcher.Start(QFile::encodeName(m_openedPath).toStdString(), m_search.query, start);
}

void Document::TakeSearchOutcome(const SearchOutcome& outcome) {
  switch (outcome.result) {
    case SearchResult::kFound: {
      const SearchHit& hit = outcome.hit;
      m_search.lastHit = hit.subjectIndex;
      m_search.hitOffset = hit.textOffset;
      std::optional<FindMark> mark;
      if (hit.textOffset >= 0) mark = FindMark{hit.textOffset, hit.markLength};
      emit searchHit(hit.subjectIndex, mark);
      break;
    }
    case SearchResult::kFailed: emit searchFailed(QString::fromStdString(outcome.status.Message())); break;
    case SearchResult::kNotFound:
    case SearchResult::kCancelled: break;  // the page and the selection stay as they are
  }
}

}  // namespace lv
