#include "app/dialogs/import_worker.h"

#include <QMetaObject>

#include "tome/tome_builder.h"

namespace lv {
namespace {

bool HasNotes(const ImportOutcome& outcome) { return outcome.longSubjectFlag != 0 || outcome.cutSubjectCount > 0; }

bool HasNotes(const DictionaryImportOutcome& outcome) {
  return HasNotes(outcome.import) || outcome.unreadableEntries > 0 || outcome.replacedCharacters > 0 ||
         outcome.skippedResources > 0 || !outcome.notes.empty();
}

}  // namespace

void ImportWorker::SharedProgress::SetRange(int64_t, int64_t highValue) {
  high.store(highValue < 1 ? 1 : highValue);
  EnterStage(ImportStage::kImporting);
}

void ImportWorker::SharedProgress::EnterStage(ImportStage next) {
  stage.store(next);
  ImportWorker* target = &worker;
  QMetaObject::invokeMethod(
      target, [target, next] { emit target->stageChanged(next); }, Qt::QueuedConnection);
}

ImportWorker::ImportWorker(QObject* parent) : QObject(parent) {}

ImportWorker::~ImportWorker() {
  Cancel();
  Join();
}

void ImportWorker::Join() {
  if (m_thread.joinable()) m_thread.join();
}

bool ImportWorker::Start(Request request) {
  if (m_running) return false;
  Join();
  m_running = true;
  m_outcome = ImportOutcome();
  m_results = ImportResults();
  m_progress.cancel.store(false);
  m_progress.position.store(0);
  m_progress.high.store(1);
  m_progress.stage.store(request.sortFirst ? ImportStage::kSorting : ImportStage::kPreparing);
  emit stageChanged(m_progress.stage.load());
  m_thread = std::thread([this, request = std::move(request)] { Run(request); });
  return true;
}

// On the worker thread. The outcome is handed over when the thread ends: `finished` is queued to the
// window's thread, where the thread is joined before anyone reads the outcome.
void ImportWorker::Run(const Request& request) {
  ImportOutcome outcome;
  ImportResults results;
  if (request.sortFirst) {
    // A source that cannot be sorted is imported as it is; the results then say it is not sorted.
    // A cancelled sort leaves the source as it was.
    SortTabFile(request.sourcePath, [this] { return m_progress.CancelRequested(); });
    m_progress.EnterStage(ImportStage::kPreparing);
  }
  if (m_progress.CancelRequested()) {
    outcome.status = Status::Cancelled("the import was cancelled");
  } else {
    outcome = Import(request, results);
  }
  QMetaObject::invokeMethod(
      this,
      [this, outcome = std::move(outcome), results = std::move(results)]() mutable {
        Join();
        m_outcome = std::move(outcome);
        m_results = std::move(results);
        m_lastStage = m_progress.stage.exchange(ImportStage::kIdle);
        m_running = false;
        emit finished();
      },
      Qt::QueuedConnection);
}

ImportOutcome ImportWorker::Import(const Request& request, ImportResults& results) {
  if (request.dictionary == DictionaryKind::kNone) {
    ImportOutcome outcome = ImportSource(request.sourcePath, request.tomePath, request.format, &m_progress);
    if (outcome.status.IsOk()) results = {FormatImportResults(outcome), HasNotes(outcome)};
    return outcome;
  }
  DictionaryImportOutcome outcome =
      ImportDictionary(request.sourcePath, request.tomePath, request.dictionary, &m_progress);
  if (outcome.import.status.IsOk()) results = {FormatDictionaryImportResults(outcome), HasNotes(outcome)};
  return std::move(outcome.import);
}

}  // namespace lv
