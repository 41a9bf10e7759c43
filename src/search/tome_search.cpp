#include "search/tome_search.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

#include "search/pass_scanner.h"
#include "search/query_matcher.h"
#include "tome/tome_reader.h"

namespace lv {
namespace {

// Below this many subjects the pass runs on the caller's thread alone.
constexpr int kParallelThreshold = 20000;
// How often the caller reports progress while it waits for the other half.
constexpr auto kWaitReportInterval = std::chrono::milliseconds(20);

SearchOutcome Failed(Status status) {
  SearchOutcome outcome;
  outcome.result = SearchResult::kFailed;
  outcome.status = std::move(status);
  return outcome;
}

SearchOutcome Ended(SearchResult result, const SearchHit& hit = {}) {
  SearchOutcome outcome;
  outcome.result = result;
  outcome.hit = hit;
  return outcome;
}

PassOrder OrderFor(const TomeReader& reader, int start) {
  const int count = reader.SubjectCount();
  return PassOrder{start >= 0 && start < count ? start : 0, count};
}

void StartProgress(const SearchControl& control, int count) {
  if (!control.progress) return;
  control.progress->SetRange(0, count);
  control.progress->SetPosition(0);
}

// The second half of a pass, on a thread of its own with a reader of its own.
class HalfWorker {
 public:
  HalfWorker(TomeReader& reader, const QueryMatcher& matcher, PassOrder order, const SearchControl& control,
             PassShared& shared, int from)
      : m_thread([this, &reader, &matcher, order, &control, &shared, from] {
          PassScanner scanner(reader, matcher, order, control, shared);
          const ScanEnd end = scanner.Scan(
              from, order.count,
              [this](const SearchHit& hit, int) {
                m_hit = hit;
                return false;
              },
              false);
          const std::lock_guard lock(m_mutex);
          m_end = end;
          m_done = true;
          m_doneChanged.notify_all();
        }) {}
  ~HalfWorker() { m_thread.join(); }
  HalfWorker(const HalfWorker&) = delete;
  HalfWorker& operator=(const HalfWorker&) = delete;

  // Waits until the half is done, calling tick every few milliseconds meanwhile.
  template <typename Tick>
  ScanEnd Wait(Tick&& tick) {
    std::unique_lock lock(m_mutex);
    while (!m_doneChanged.wait_for(lock, kWaitReportInterval, [this] { return m_done; })) tick();
    return m_end;
  }
  const SearchHit& Hit() const { return m_hit; }

 private:
  std::mutex m_mutex;
  std::condition_variable m_doneChanged;
  bool m_done = false;
  ScanEnd m_end = ScanEnd::kExhausted;
  SearchHit m_hit;
  std::thread m_thread;  // last: it starts once everything above is ready
};

// Both halves at once: the caller's thread takes the first, a worker the second. A hit in the first
// half wins and stops the worker; a hit in the second counts only when the first half has none.
SearchOutcome SearchInHalves(TomeReader& first, TomeReader& second, const QueryMatcher& matcher, PassOrder order,
                             const SearchControl& control) {
  PassShared shared;
  const int half = order.count / 2;
  HalfWorker worker(second, matcher, order, control, shared, half);
  PassScanner scanner(first, matcher, order, control, shared);
  SearchHit hit;
  const ScanEnd firstEnd = scanner.Scan(
      0, half,
      [&hit](const SearchHit& found, int) {
        hit = found;
        return false;
      },
      true);
  if (firstEnd == ScanEnd::kHit) return Ended(SearchResult::kFound, hit);
  if (firstEnd == ScanEnd::kCancelled) return Ended(SearchResult::kCancelled);
  const ScanEnd secondEnd = worker.Wait([&] {
    if (control.progress) control.progress->SetPosition(shared.examined.load(std::memory_order_relaxed));
  });
  if (secondEnd == ScanEnd::kHit) return Ended(SearchResult::kFound, worker.Hit());
  if (secondEnd == ScanEnd::kCancelled) return Ended(SearchResult::kCancelled);
  if (control.progress) control.progress->SetPosition(order.count);
  return Ended(SearchResult::kNotFound);
}

// The whole pass on the caller's thread; the outcome holds the first hit visited.
SearchOutcome SearchInOrder(TomeReader& reader, const QueryMatcher& matcher, PassOrder order,
                            const SearchControl& control, const std::function<bool(const SearchHit&)>& visit) {
  StartProgress(control, order.count);
  PassShared shared;
  PassScanner scanner(reader, matcher, order, control, shared);
  SearchOutcome outcome;
  const ScanEnd end = scanner.Scan(
      0, order.count,
      [&](const SearchHit& hit, int) {
        if (outcome.result != SearchResult::kFound) outcome = Ended(SearchResult::kFound, hit);
        return visit(hit);
      },
      true);
  if (end == ScanEnd::kCancelled) return Ended(SearchResult::kCancelled);
  if (control.progress && end == ScanEnd::kExhausted) control.progress->SetPosition(order.count);
  return outcome;
}

}  // namespace

SearchOutcome SearchTomeAll(const std::string& tomePath, const SearchQuery& query, int start,
                            const SearchControl& control, const std::function<bool(const SearchHit&)>& visit) {
  TomeReader reader;
  if (Status status = reader.Open(tomePath, OpenMode::kReadOnly); !status.IsOk()) return Failed(std::move(status));
  return SearchInOrder(reader, QueryMatcher(query), OrderFor(reader, start), control, visit);
}

SearchOutcome SearchTome(const std::string& tomePath, const SearchQuery& query, int start,
                         const SearchControl& control) {
  TomeReader first;
  if (Status status = first.Open(tomePath, OpenMode::kReadOnly); !status.IsOk()) return Failed(std::move(status));
  const QueryMatcher matcher(query);
  const PassOrder order = OrderFor(first, start);
  if (order.count < kParallelThreshold || std::thread::hardware_concurrency() < 2) {
    return SearchInOrder(first, matcher, order, control, [](const SearchHit&) { return false; });
  }
  TomeReader second;
  if (Status status = second.Open(tomePath, OpenMode::kReadOnly); !status.IsOk()) return Failed(std::move(status));
  StartProgress(control, order.count);
  try {
    return SearchInHalves(first, second, matcher, order, control);
  } catch (const std::system_error&) {
    // No second thread to be had: the whole pass on this one.
    return SearchInOrder(first, matcher, order, control, [](const SearchHit&) { return false; });
  }
}

}  // namespace lv
