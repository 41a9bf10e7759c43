// ImportWorker: runs one import (the optional sort of a tab-separated source, then the tome store's
// import of a text source or of a dictionary set) on a thread of its own, so that the window stays responsive. The
// window's side polls how far it has come (range, position), hears of each new stage by `stageChanged` and of the end
// by `finished`; Cancel stops the work between two entries or two compressed blocks, and the tome at the path, if any,
// is then left as it was.
#pragma once

#include <QObject>
#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

#include "dictionaries/dictionary_import.h"
#include "tome/progress.h"
#include "tome/tome_import.h"

namespace lv {

// The steps of an import, in the order they come.
enum class ImportStage { kIdle, kSorting, kPreparing, kImporting, kSaving };

// What the results box of an import shows: its text (Windows-1252) and whether it holds a note.
struct ImportResults {
  std::string text;
  bool noted = false;
};

class ImportWorker : public QObject {
  Q_OBJECT

 public:
  struct Request {
    std::string sourcePath;
    std::string tomePath;
    SourceFormat format = SourceFormat::kTagged;
    DictionaryKind dictionary = DictionaryKind::kNone;  // a dictionary set, read instead of a text source
    bool sortFirst = false;                             // sort the tab-separated source in place before the import
  };

  explicit ImportWorker(QObject* parent = nullptr);
  // Cancels any import still running and waits for its thread.
  ~ImportWorker() override;
  ImportWorker(const ImportWorker&) = delete;
  ImportWorker& operator=(const ImportWorker&) = delete;

  // Starts the import; false when one is still running.
  bool Start(Request request);
  // Asks the running import to stop; it then finishes with a Cancelled status.
  void Cancel() { m_progress.cancel.store(true); }
  bool IsRunning() const { return m_running; }

  // How far the import has come; read at any time on the window's thread.
  int64_t RangeHigh() const { return m_progress.high.load(); }
  int64_t Position() const { return m_progress.position.load(); }

  // The outcome of the last import; valid once `finished` has been emitted.
  const ImportOutcome& Outcome() const { return m_outcome; }
  // The results of the last import that wrote a tome; valid with Outcome().
  const ImportResults& Results() const { return m_results; }
  // The stage the last import had reached when it ended.
  ImportStage LastStage() const { return m_lastStage; }

 signals:
  // The import went on to stage (each stage once, in order).
  void stageChanged(ImportStage stage);
  // The import ended (written, failed or cancelled): Outcome() tells which.
  void finished();

 private:
  // Progress of the core import, kept in atomics for the window's thread to read.
  struct SharedProgress : Progress {
    explicit SharedProgress(ImportWorker& owner) : worker(owner) {}
    void SetRange(int64_t, int64_t highValue) override;
    void SetPosition(int64_t value) override { position.store(value, std::memory_order_relaxed); }
    void SetStep(int64_t value) override { step = value; }
    void Step() override { position.fetch_add(step, std::memory_order_relaxed); }
    void WritingStarted() override { EnterStage(ImportStage::kSaving); }
    bool CancelRequested() const override { return cancel.load(std::memory_order_relaxed); }
    // Stores the stage and tells the window's thread.
    void EnterStage(ImportStage next);

    ImportWorker& worker;
    std::atomic<ImportStage> stage{ImportStage::kIdle};
    std::atomic<int64_t> high{1};
    std::atomic<int64_t> position{0};
    std::atomic<bool> cancel{false};
    int64_t step = 1;  // the worker thread's own
  };

  void Run(const Request& request);
  // The import itself, once any sort is done; fills results when a tome was written.
  ImportOutcome Import(const Request& request, ImportResults& results);
  void Join();

  SharedProgress m_progress{*this};
  std::thread m_thread;
  bool m_running = false;
  ImportOutcome m_outcome;
  ImportResults m_results;
  ImportStage m_lastStage = ImportStage::kIdle;
};

}  // namespace lv
