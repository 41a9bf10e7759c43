// SearchRunner: runs one whole-tome search pass on a worker thread, so the window stays responsive
// while a large tome is searched. The pass opens its own reader on the tome file; the runner reports
// the outcome on the thread that owns it, and tells where the pass is for a progress display.
#pragma once

#include <QObject>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "search/tome_search.h"

namespace lv {

class SearchRunner : public QObject {
  Q_OBJECT

 public:
  explicit SearchRunner(QObject* parent = nullptr);
  ~SearchRunner() override;  // stops a running pass and waits for it
  SearchRunner(const SearchRunner&) = delete;
  SearchRunner& operator=(const SearchRunner&) = delete;

  // The pass itself: SearchTome unless tests put another in its place.
  using SearchFunction = std::function<SearchOutcome(const std::string& tomePath, const SearchQuery& query, int start,
                                                     const SearchControl& control)>;
  void SetSearchFunction(SearchFunction search) { m_search = std::move(search); }

  // Starts a pass from subject start. A pass still running is stopped first and reports nothing.
  void Start(const std::string& tomePath, const SearchQuery& query, int start);
  // Ends the running pass for its caller at once: it reports kCancelled now, and whatever its thread
  // still finds is dropped. Nothing happens when none runs.
  void Cancel();
  // Stops the running pass at once, waiting for its thread; it reports nothing.
  void Stop();
  bool IsRunning() const { return m_running; }

  // The subjects the running pass has examined and its subject count (both 0 before it knows).
  struct Position {
    int64_t done = 0;
    int64_t total = 0;
  };
  Position CurrentPosition() const;

 signals:
  // A pass began.
  void started();
  // The pass ended: found, not found, cancelled or failed.
  void finished(const lv::SearchOutcome& outcome);

 private:
  class SharedProgress;

  void Finish(unsigned run, const SearchOutcome& outcome);
  void Join();

  SearchFunction m_search;
  std::shared_ptr<SharedProgress> m_progress;
  std::shared_ptr<std::atomic<bool>> m_cancel;
  std::thread m_worker;
  bool m_running = false;
  unsigned m_run = 0;  // numbers the passes, so that a stopped pass's late report is dropped
};

}  // namespace lv
