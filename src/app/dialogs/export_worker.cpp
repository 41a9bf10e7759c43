#include "app/dialogs/export_worker.h"

#include <QMetaObject>
#include <QMutex>
#include <QProgressBar>
#include <QThread>
#include <algorithm>

namespace lv {
namespace {

// Hands the writer's progress to a bar that lives in another thread. The bar outlives the export (its
// window waits for the export before it goes); a report that arrives after the bar is gone is dropped.
class ProgressRelay : public Progress {
 public:
  explicit ProgressRelay(QProgressBar* bar) : m_bar(bar) {}
  void SetRange(int64_t low, int64_t high) override {
    m_low = low;
    m_high = high;
    m_position = low;
    Post([bar = m_bar, low = Clamp(low), high = Clamp(high)] {
      bar->setRange(low, high);
      bar->setValue(low);
    });
  }
  void SetPosition(int64_t position) override {
    m_position = position;
    PostPosition();
  }
  void SetStep(int64_t step) override { m_step = step; }
  void Step() override {
    m_position += m_step;
    PostPosition();
  }

 private:
  static int Clamp(int64_t value) { return static_cast<int>(std::clamp<int64_t>(value, 0, INT32_MAX)); }
  void PostPosition() {
    Post([bar = m_bar, position = Clamp(std::clamp(m_position, m_low, m_high))] { bar->setValue(position); });
  }
  template <typename Function>
  void Post(Function function) {
    if (m_bar) QMetaObject::invokeMethod(m_bar, std::move(function), Qt::QueuedConnection);
  }

  QProgressBar* m_bar;
  int64_t m_low = 0;
  int64_t m_high = 0;
  int64_t m_position = 0;
  int64_t m_step = 1;
};

// Keeps the writer's messages for the window to show once the export has ended.
class KeptMessages : public MessageSink {
 public:
  void ShowMessage(std::string_view text, MessageIcon) override {
    const QMutexLocker lock(&m_mutex);
    m_texts.append(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
  }
  QStringList Texts() {
    const QMutexLocker lock(&m_mutex);
    return m_texts;
  }

 private:
  QMutex m_mutex;
  QStringList m_texts;
};

}  // namespace

ExportWorker::ExportWorker(QObject* parent) : QObject(parent) {}

ExportWorker::~ExportWorker() {
  Wait();
  delete m_thread;
}

bool ExportWorker::IsRunning() const { return m_thread != nullptr; }

void ExportWorker::Wait() {
  if (m_thread) m_thread->wait();
}

void ExportWorker::Start(const HandheldExportRequest& request, QProgressBar* progressBar) {
  m_outcome = HandheldExportOutcome();
  m_messages.clear();
  auto relay = std::make_shared<ProgressRelay>(progressBar);
  auto kept = std::make_shared<KeptMessages>();
  auto outcome = std::make_shared<HandheldExportOutcome>();
  m_thread = QThread::create(
      [request, relay, kept, outcome] { *outcome = ExportForHandheld(request, relay.get(), kept.get()); });
  connect(m_thread, &QThread::finished, this, [this, kept, outcome] {
    m_outcome = *outcome;
    m_messages = kept->Texts();
    m_thread->deleteLater();
    m_thread = nullptr;
    emit finished();
  });
  m_thread->start();
}

}  // namespace lv
