// Find (the Search dialog, then a pass from the selected subject) and Find Next (a pass from the
// subject after the last hit). The pass runs on a worker thread; its hit is shown with the found
// stretch marked, and the status bar shows its progress when it takes more than a moment. In a
// PalmDOC both look for a single term in its text, at once.
#include <QStatusBar>

#include <algorithm>

#include "app/dialogs/user_dialogs.h"
#include "app/document/document.h"
#include "app/frame/application.h"
#include "app/frame/main_window.h"
#include "app/frame/search_status.h"
#include "app/views/entry_view.h"
#include "app/views/subject_list_view.h"

namespace lv {

void MainWindow::ConnectSearch() {
  m_searchStatus = new lv::SearchStatus(m_document.Searcher(), statusBar(), this);
  connect(&m_document, &Document::searchHit, this,
          [this](int subject, std::optional<FindMark> mark) { m_entryView->ShowSubject(subject, mark); });
  connect(&m_document, &Document::searchFailed, this,
          [this](const QString& cause) { ShowTransientStatus(QStringLiteral("The search stopped: %1").arg(cause)); });
}

bool MainWindow::IsTomeShown() const { return m_document.Kind() == DocumentKind::kTome && m_document.IsTomeOpen(); }

void MainWindow::Find() {
  if (m_document.Kind() == DocumentKind::kPalmDoc) {
    const std::optional<SearchDialogValues> values = m_app.Dialogs().AskSearch(this, SearchDialogForm::kSimple);
    if (values) m_document.FindInPalmDoc(values->terms[0]);
    return;
  }
  if (!IsTomeShown()) return;
  const std::optional<SearchDialogValues> values = m_app.Dialogs().AskSearch(this, SearchDialogForm::kFull);
  if (!values) return;
  m_document.Find(SearchQueryFrom(*values), std::max(0, m_subjectList->SelectionMark()));
}

void MainWindow::FindNext() {
  if (m_document.Kind() == DocumentKind::kPalmDoc) {
    m_document.FindNextInPalmDoc();
    return;
  }
  if (!IsTomeShown()) return;
  m_document.FindNext(std::max(0, m_subjectList->SelectionMark()));
}

}  // namespace lv
