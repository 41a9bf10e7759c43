// HotSyncDialog: the modeless "HotSync To PalmOS..." window. It exports the open tome or text file as
// a Palm tome (on a worker thread, with its progress bar) and queues the result for a HotSync user or
// that user's expansion card. Opened on a Palm database it only offers to queue that file; with
// nothing to export it says so and closes. It deletes itself when it closes.
#pragma once

#include <QDialog>
#include <QString>
#include <string>

#include "app/dialogs/palm_install.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QToolButton;

namespace lv {

class ExportWorker;
class PageFolder;
class UserDialogs;
struct SettingsStore;

// What the window exports: the open document as the window sees it.
struct HotSyncSource {
  enum class Kind { kNothing, kTome, kTextFile, kPalmDatabase };
  Kind kind = Kind::kNothing;
  QString path;
  QString title;  // the document's title, e.g. "dict.part.lv"
};

inline constexpr const char* kNothingToExportText = "No file open or unsuitable file format.";
inline constexpr const char* kInvalidExportText =
    "Invalid output filename or Palm Librovance name or there is no file open.";

class HotSyncDialog : public QDialog {
  Q_OBJECT

 public:
  // settings, pages and the target's queue must outlive the window.
  HotSyncDialog(const HotSyncSource& source, UserDialogs& dialogs, SettingsStore& settings, const PageFolder& pages,
                const HotSyncTarget& target, QWidget* parent);
  ~HotSyncDialog() override;

  // Shows the window for a tome or a text file. For a Palm database it runs the install and closes;
  // with nothing to export it says so and closes. True when the window is shown.
  bool Open();

  bool IsExporting() const;

 signals:
  // An export ended; ok when the Palm tome was written.
  void exportFinished(bool ok);

 protected:
  void closeEvent(QCloseEvent* event) override;

 public slots:
  void accept() override;
  void reject() override;

 private:
  void CreateControls();
  void SetOutputFile(const QString& path);
  void NameAfterOutputFile(const QString& path);
  void Browse();
  void ToggleAdvanced();
  void ChooseFormat(int index);
  void SetBusy(bool busy);
  void FinishExport();
  // The Windows-1252 text of the Palm tome name.
  std::string PalmName() const;

  HotSyncSource m_source;
  UserDialogs& m_dialogs;
  SettingsStore& m_settings;
  const PageFolder& m_pages;
  HotSyncTarget m_target;
  ExportWorker* m_worker = nullptr;

  QLineEdit* m_outputFile = nullptr;
  QLineEdit* m_palmName = nullptr;
  QCheckBox* m_queueForHotSync = nullptr;
  QToolButton* m_browse = nullptr;
  QPushButton* m_advanced = nullptr;
  QProgressBar* m_progress = nullptr;
  QWidget* m_advancedPart = nullptr;
  QComboBox* m_format = nullptr;
  QComboBox* m_acceleration = nullptr;
  QCheckBox* m_placeOnCard = nullptr;
  QPushButton* m_ok = nullptr;
  QPushButton* m_cancel = nullptr;
};

}  // namespace lv
