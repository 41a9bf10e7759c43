// ExportWorker: runs one export for the handheld (handheld_export.h) on a thread of its own, so that
// the window that started it stays responsive. Progress reaches a progress bar through the bar's own
// thread; the writer's messages are kept and handed over with the outcome.
#pragma once

#include <QObject>
#include <QStringList>
#include <memory>

#include "palm/handheld_export.h"

class QProgressBar;
class QThread;

namespace lv {

class ExportWorker : public QObject {
  Q_OBJECT

 public:
  explicit ExportWorker(QObject* parent = nullptr);
  // Waits for a running export to end: whoever owns the progress bar destroys the worker first.
  ~ExportWorker() override;

  // Starts the export; progressBar (may be null) follows it. REQUIRES: !IsRunning().
  void Start(const HandheldExportRequest& request, QProgressBar* progressBar);
  bool IsRunning() const;
  // Waits for the running export to end; returns at once when none runs.
  void Wait();

  // Valid once finished() was emitted.
  const HandheldExportOutcome& Outcome() const { return m_outcome; }
  const QStringList& Messages() const { return m_messages; }

 signals:
  // The export ended (in the thread of the worker's owner).
  void finished();

 private:
  QThread* m_thread = nullptr;
  HandheldExportOutcome m_outcome;
  QStringList m_messages;
};

}  // namespace lv
