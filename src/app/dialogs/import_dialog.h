// ImportDialog ("Import "): the user picks a source (a text, or a dictd or StarDict dictionary) and
// the tome to write, may sort a tab-separated source first, and watches a status line and a progress
// bar while the import runs on a worker thread. A tome written is reported by `imported` while the
// dialog is still open, then the results show in "Import results" and the dialog closes. Cancel stops
// a running import and leaves the tome at the path as it was. A preset dialog imports as soon as it
// is shown.
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
  SourceFormat format;                                // the kind of text source; unused for a dictionary
  DictionaryKind dictionary = DictionaryKind::kNone;  // a dictionary set instead of a text source
};

class ImportDialog : public QDialog {
  Q_OBJECT

 public:
  ImportDialog(UserDialogs& dialogs, QWidget* parent);

  // The filters of the input Browse, in order.
  static const std::vector<SourceFilter>& SourceFilters();
  // Whether "Sort File" applies to a source of this kind: a tab-separated text only.
  static bool IsSortable(SourceFormat format, DictionaryKind dictionary) {
    return format == SourceFormat::kTab && dictionary == DictionaryKind::kNone;
  }
  // The tome path proposed for a source: its extension (if any) replaced by ".lv".
  static QString ProposedTomePath(const QString& sourcePath);

  // Fills the dialog in from preset; once shown, the dialog imports by itself.
  void Preset(const ImportChoice& preset);

  QString SourcePath() const;
  QString TomePath() const;
  SourceFormat Format() const { return m_format; }
  DictionaryKind Dictionary() const { return m_dictionary; }
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
  void SetKind(SourceFormat format, DictionaryKind dictionary);
  void SetBusy(bool busy);
  void ShowProgress();
  void FinishImport();
  void ReportFailure(const Status& status, ImportStage reached);
  void ShowResults(const ImportResults& results);

  UserDialogs& m_dialogs;
  ImportWorker m_worker;
  QTimer m_progressTimer;
  SourceFormat m_format = SourceFormat::kTagged;
  DictionaryKind m_dictionary = DictionaryKind::kNone;
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
