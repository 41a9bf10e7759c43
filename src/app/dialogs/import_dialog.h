// ImportDialog ("Import "): the user picks a source text and the tome to write, may sort a
// tab-separated source first, and watches a status line and a progress bar while the import runs on a
// worker thread. A tome written is reported by `imported` while the dialog is still open, then the
// results show in "Import results" and the dialog closes. Cancel stops a running import and leaves
// the tome at the path as it was. A preset dialog imports as soon as it is shown.
#pragma once

#include <QDialog>
#include <QString>
#include <QTimer>
#include <vector>

#include "app/dialogs/import_worker.h"
#include "app/dialogs/user_dialogs.h"

class QCheckBox;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace lv {

// One filter of the input Browse: its text (Qt's form) and the kind of source it stands for. The
// filter the user had selected decides the kind, whatever the file's own extension.
struct SourceFilter {
  QString text;
  SourceFormat format;
};

class ImportDialog : public QDialog {
  Q_OBJECT

 public:
  ImportDialog(UserDialogs& dialogs, QWidget* parent);

  // The filters of the input Browse, in order.
  static const std::vector<SourceFilter>& SourceFilters();
  // Whether "Sort File" applies to a source of this kind.
  static bool IsSortable(SourceFormat format) { return format == SourceFormat::kTab; }
  // The tome path proposed for a source: its extension (if any) replaced by ".lv".
  static QString ProposedTomePath(const QString& sourcePath);

  // Fills the dialog in from preset; once shown, the dialog imports by itself.
  void Preset(const ImportChoice& preset);

  QString SourcePath() const;
  QString TomePath() const;
  SourceFormat Format() const { return m_format; }
  QString StatusText() const;
  bool IsImporting() const { return m_worker.IsRunning(); }

  // Starts the import of the files shown, as "Import" does.
  void StartImport();
  // Cancel, Escape and the window's close button: a running import is stopped first.
  void reject() override;

 signals:
  // A tome was written; the dialog is still open and shows the results after this.
  void imported(const ImportReport& report);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void BuildControls();
  void ChooseSource();
  void ChooseTome();
  void SetFormat(SourceFormat format);
  void SetBusy(bool busy);
  void ShowProgress();
  void FinishImport();
  void ReportFailure(const Status& status, ImportStage reached);
  void ShowResults(const ImportOutcome& outcome);

  UserDialogs& m_dialogs;
  ImportWorker m_worker;
  QTimer m_progressTimer;
  SourceFormat m_format = SourceFormat::kTagged;
  QString m_selectedFilter;
  bool m_presetPending = false;
  bool m_closeWhenStopped = false;
  bool m_sorting = false;
  QLineEdit* m_sourceEdit = nullptr;
  QLineEdit* m_tomeEdit = nullptr;
  QPushButton* m_sourceBrowse = nullptr;
  QPushButton* m_tomeBrowse = nullptr;
  QCheckBox* m_sortBox = nullptr;
  QLineEdit* m_statusLine = nullptr;
  QProgressBar* m_progressBar = nullptr;
  QPushButton* m_importButton = nullptr;
  QPushButton* m_cancelButton = nullptr;
};

}  // namespace lv
