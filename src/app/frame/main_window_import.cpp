// The main window's Import and Preferences commands, and the reimport check: after an import the
// window watches the source, and when it gains the focus with the source changed it offers to import
// it again.
#include <QEvent>
#include <QFileInfo>
#include <QScopedValueRollback>
#include <QTimer>

#include "app/dialogs/user_dialogs.h"
#include "app/document/document.h"
#include "app/frame/application.h"
#include "app/frame/main_window.h"
#include "app/frame/quick_find_bar.h"
#include "app/views/subject_list_view.h"

namespace lv {

bool MainWindow::event(QEvent* event) {
  // The check runs once the activation has been handled, so that its question finds the window ready.
  if (event->type() == QEvent::WindowActivate) QTimer::singleShot(0, this, &MainWindow::CheckReimport);
  return QMainWindow::event(event);
}

void MainWindow::ImportSourceText(const ImportChoice* preset) {
  const std::optional<ImportChoice> choice = preset ? std::optional<ImportChoice>(*preset) : std::nullopt;
  m_app.Dialogs().RunImport(this, choice, [this](const ImportReport& report) { OpenImportedTome(report); });
}

// The new tome is opened afresh, also when it is the tome on display, and its source is watched.
void MainWindow::OpenImportedTome(const ImportReport& report) {
  m_app.OpenFile(report.choice.tomePath);
  ReimportWatch& watch = m_document.Reimport();
  watch.sourcePath = QFileInfo(report.choice.sourcePath).absoluteFilePath();
  watch.modified = QFileInfo(watch.sourcePath).lastModified();
  watch.sortFlag = report.choice.sortFile ? 1 : 0;
  watch.watchFlag = 1;
}

void MainWindow::CheckReimport() {
  ReimportWatch& watch = m_document.Reimport();
  if (watch.watchFlag == 0 || m_checkingReimport) return;
  const QFileInfo source(watch.sourcePath);
  if (!source.exists()) return;
  const QDateTime modified = source.lastModified();
  if (modified == watch.modified) return;
  watch.modified = modified;
  const QScopedValueRollback<bool> checking(m_checkingReimport, true);
  if (!m_app.Dialogs().AskYesNo(this, QStringLiteral("Librovance"),
                                QStringLiteral("The original file for this tome has changed.\nWould you like to "
                                               "reimport?"),
                                MessageIcon::kQuestion)) {
    watch.watchFlag = 0;
    return;
  }
  const ImportChoice preset{watch.sourcePath, m_document.Path(), watch.sortFlag != 0};
  ImportSourceText(&preset);
  // The list is rebuilt from the tome now open, keeping the subject on display marked.
  const int mark = m_subjectList->SelectionMark();
  m_subjectList->Reset(m_document.Kind() != DocumentKind::kNothing);
  if (mark >= 0 && mark < m_document.Reader().SubjectCount()) m_subjectList->SelectSubject(mark);
}

// "OK" brings the list colour, the quick-find delay and the page up to date at once. A colour picked
// and then cancelled is in the settings too; it shows on the next page drawn.
void MainWindow::EditPreferences() {
  SettingsStore& settings = m_app.Settings();
  const bool accepted = m_app.Dialogs().EditPreferences(this, settings);
  m_app.UpdatePageSettings();
  if (!accepted) return;
  m_subjectList->SetBackgroundColour(SubjectListView::ListColour(m_app.CurrentPageSettings(), true));
  m_quickFindBar->SetDelay(settings.quickFindDelay);
  RefreshPage();
}

}  // namespace lv
