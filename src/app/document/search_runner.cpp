#include "app/document/search_runner.h"

#include <QMetaObject>
#include <QPointer>

namespace lv {

// Progress written by the worker and read by the window's thread.
class SearchRunner::SharedProgress : public Progress {
 public:
  void SetRange(int64_t low, int64_t high) override {
    m_low = low;
    m_high = high;
  }
  void SetPosition(int64_t position) override { m_position = position; }
  void SetStep(int64_t step) override { m_step = step; }
  void Step() override { m_position += m_step.load(); }

  Position Read() const {
    const int64_t low = m_low;
    return {m_position - low, m_high - low};
  }

 private:
  std::atomic<int64_t> m_low{0};
  std::atomic<int64_t> m_high{0};
  std::atomic<int64_t> m_position{0};
  std::atomic<int64_t> m_step{1};
};

SearchRunner::SearchRunner(QObject* parent) : QObject(parent), m_search(SearchTome) {}

SearchRunner::~SearchRunner() { Stop(); }

void SearchRunner::Start(const std::string& tomePath, const SearchQuery& query, int start) {
  Stop();
  const unsigned run = ++m_run;
  m_progress = std::make_shared<SharedProgress>();
  m_cancel = std::make_shared<std::atomic<bool>>(false);
  m_running = true;
  QPointer<SearchRunner> self(this);
  m_worker =
      std::thread([self, run, tomePath, query, start, search = m_search, progress = m_progress, cancel = m_cancel] {
        const SearchOutcome outcome = search(tomePath, query, start, SearchControl{cancel.get(), progress.get()});
        // The report travels to the runner's own thread; a runner gone by then receives nothing.
        QMetaObject::invokeMethod(
            self.data(),
            [self, run, outcome] {
              if (self) self->Finish(run, outcome);
            },
            Qt::QueuedConnection);
      });
  emit started();
}

void SearchRunner::Cancel() {
  if (!m_running) return;
  *m_cancel = true;
  ++m_run;  // its thread ends soon; the next Start, Stop or the destructor waits for it
  m_running = false;
  SearchOutcome cancelled;
  cancelled.result = SearchResult::kCancelled;
  emit finished(cancelled);
}

void SearchRunner::Stop() {
  if (m_cancel) *m_cancel = true;
  ++m_run;
  Join();
  m_running = false;
}

void SearchRunner::Join() {
  if (m_worker.joinable()) m_worker.join();
}

SearchRunner::Position SearchRunner::CurrentPosition() const { return m_progress ? m_progress->Read() : Position{}; }

void SearchRunner::Finish(unsigned run, const SearchOutcome& outcome) {
  if (run != m_run) return;  // a stopped pass
  Join();
  m_running = false;
  emit finished(outcome);
}

}  // namespace lv
