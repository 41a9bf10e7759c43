#include "search/tome_search.h"

#include <algorithm>
#include <memory>
#include <thread>
#include <utility>

#include "search/query_matcher.h"
#include "tome/tome_reader.h"

namespace lv {
namespace {

// Subjects examined between two looks at the cancel flag and the progress.
constexpr int kPollInterval = 256;

// The texts of one subject, read through a reader; the entry text is loaded on first use.
class ReaderTexts : public SubjectTexts {
 public:
  ReaderTexts(TomeReader& reader, int subjectIndex) : m_reader(reader), m_index(subjectIndex) {}
  std::string_view Subject() override {
    if (!m_subjectRead) {
      m_subject = m_reader.Subject(m_index);
      m_subjectRead = true;
    }
    return m_subject;
  }
  std::optional<std::string_view> EntryText() override {
    if (m_reader.CurrentEntryIndex() != m_index && !m_reader.LoadEntryText(m_index)) return std::nullopt;
    return m_reader.CurrentEntryText();
  }

 private:
  TomeReader& m_reader;
  int m_index;
  bool m_subjectRead = false;
  std::string m_subject;
};

bool Cancelled(const SearchControl& control) {
  return control.cancel != nullptr && control.cancel->load(std::memory_order_relaxed);
}

// The order of a pass: step k examines subject (start + k) mod count.
struct PassOrder {
  int start = 0;
  int count = 0;
  int SubjectAt(int step) const { return int((int64_t(start) + step) % count); }
};

Status OpenForSearch(TomeReader& reader, const std::string& path) {
  const Status status = reader.Open(path, OpenMode::kReadOnly);
  if (!status.IsOk()) return status;
  return Status::Ok();
}

SearchOutcome Failed(Status status) {
  SearchOutcome outcome;
  outcome.result = SearchResult::kFailed;
  outcome.status = std::move(status);
  return outcome;
}

SearchOutcome Found(const SearchHit& hit) {
  SearchOutcome outcome;
  outcome.result = SearchResult::kFound;
  outcome.hit = hit;
  return outcome;
}

SearchOutcome CancelledOutcome() {
  SearchOutcome outcome;
  outcome.result = SearchResult::kCancelled;
  return outcome;
}

}  // namespace

SearchOutcome SearchTomeAll(const std::string& tomePath, const SearchQuery& query, int start,
                            const SearchControl& control, const std::function<bool(const SearchHit&)>& visit) {
  TomeReader reader;
  if (Status status = OpenForSearch(reader, tomePath); !status.IsOk()) return Failed(std::move(status));
  const QueryMatcher matcher(query);
  const int count = reader.SubjectCount();
  const PassOrder order{start >= 0 && start < count ? start : 0, count};
  if (control.progress) {
    control.progress->SetRange(0, count);
    control.progress->SetPosition(0);
  }
  SearchOutcome outcome;
  for (int step = 0; step < count; ++step) {
    if (step % kPollInterval == 0) {
      if (Cancelled(control)) return CancelledOutcome();
      if (control.progress) control.progress->SetPosition(step);
    }
    SearchHit hit;
    hit.subjectIndex = order.SubjectAt(step);
    ReaderTexts texts(reader, hit.subjectIndex);
    if (!matcher.Matches(texts, hit)) continue;
    outcome = Found(hit);
    if (!visit(hit)) break;
  }
  if (control.progress) control.progress->SetPosition(count);
  return outcome;
}

SearchOutcome SearchTome(const std::string& tomePath, const SearchQuery& query, int start,
                         const SearchControl& control) {
  return SearchTomeAll(tomePath, query, start, control, [](const SearchHit&) { return false; });
}

}  // namespace lv
