#include "search/pass_scanner.h"

#include <optional>
#include <string>

#include "tome/tome_reader.h"

namespace lv {
namespace {

// Subjects examined between two looks at the cancel flag and the other scanner's hit (well under a
// millisecond of work), and between two progress reports.
constexpr int kPollInterval = 256;
constexpr int kProgressInterval = 4096;

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

}  // namespace

bool PassScanner::ShouldStop(int step, ScanEnd& end) const {
  if (m_control.cancel != nullptr && m_control.cancel->load(std::memory_order_relaxed)) {
    end = ScanEnd::kCancelled;
    return true;
  }
  if (m_shared.firstHitStep.load(std::memory_order_relaxed) < step) {
    end = ScanEnd::kOvertaken;
    return true;
  }
  return false;
}

ScanEnd PassScanner::Scan(int from, int to, const std::function<bool(const SearchHit&, int step)>& onHit,
                          bool reportProgress) {
  ScanEnd end = ScanEnd::kExhausted;
  int pending = 0;  // examined but not yet added to the shared count
  for (int step = from; step < to; ++step, ++pending) {
    if (pending == kPollInterval || step == from) {
      m_shared.examined.fetch_add(pending, std::memory_order_relaxed);
      pending = 0;
      if (ShouldStop(step, end)) return end;
      if (reportProgress && m_control.progress && (step - from) % kProgressInterval == 0) {
        m_control.progress->SetPosition(m_shared.examined.load(std::memory_order_relaxed));
      }
    }
    SearchHit hit;
    hit.subjectIndex = m_order.SubjectAt(step);
    ReaderTexts texts(m_reader, hit.subjectIndex);
    if (!m_matcher.Matches(texts, hit) || onHit(hit, step)) continue;
    int earliest = m_shared.firstHitStep.load();
    while (step < earliest && !m_shared.firstHitStep.compare_exchange_weak(earliest, step)) {
    }
    return ScanEnd::kHit;
  }
  m_shared.examined.fetch_add(pending, std::memory_order_relaxed);
  return end;
}

}  // namespace lv
