#include "docview/qt/subject_list_view.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>

#include <algorithm>

#include "app/librovance_app.h"
#include "app/main_frame.h"
#include "app/settings_store.h"
#include "docview/qt/librovance_doc.h"
#include "docview/qt/librovance_view.h"
#include "docview/qt/subject_list_model.h"

namespace lv {

CLibrovanceSubjectListView::CLibrovanceSubjectListView(CLibrovanceApp& app, QWidget* parent)
    : QTableView(parent), m_app(app) {
  setObjectName(QStringLiteral("subjectList"));
  m_model = new SubjectListModel(app.Document().Reader(), this);
  setModel(m_model);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setShowGrid(false);
  setWordWrap(false);
  setSortingEnabled(false);
  setTabKeyNavigation(false);
  verticalHeader()->hide();
  // One row height for all rows: the view never measures rows it does not draw.
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  horizontalHeader()->setSectionsClickable(false);
  horizontalHeader()->setHighlightSections(false);
  SetBackgroundColour(m_background);
}

QColor CLibrovanceSubjectListView::ColourForStyle(int style, const SettingsStore& settings, bool documentOpened) {
  if (!documentOpened) return QColor(203, 194, 181);
  switch (style) {
    case 0:
      return QColor(settings.backRValue & 0xFF, settings.backGValue & 0xFF, settings.backBValue & 0xFF);
    case 2:
      return QColor(182, 180, 182);
    case 3:
      return QColor(253, 242, 112);
    case 4:
      return QColor(204, 204, 204);
    case 5:
      return QColor(228, 228, 228);
    default:
      return QColor(203, 194, 181);
  }
}

void CLibrovanceSubjectListView::Reset() {
  m_model->ResetFromReader();
  setColumnWidth(0, viewport()->width() / 2);
  setColumnWidth(1, kPreviewColumnWidth);
  clearSelection();
  if (m_model->rowCount() > 0) {
    selectionModel()->setCurrentIndex(m_model->index(0, 0), QItemSelectionModel::NoUpdate);
  }
  const CLibrovanceDoc& document = m_app.Document();
  const SettingsStore& settings = m_app.MainFrame()->Settings();
  SetBackgroundColour(ColourForStyle(settings.pageBackground, settings, document.Kind() != CLibrovanceDoc::kNothing));
  if (document.Kind() == CLibrovanceDoc::kTome) ShowSubject(0);
}

void CLibrovanceSubjectListView::EmptyList() { m_model->ResetFromReader(); }

QColor CLibrovanceSubjectListView::SetBackgroundColour(const QColor& colour) {
  const QColor previous = m_background;
  m_background = colour;
  QPalette colours = palette();
  colours.setColor(QPalette::Base, colour);
  colours.setColor(QPalette::Text, Qt::black);
  setPalette(colours);
  viewport()->update();
  return previous;
}

int CLibrovanceSubjectListView::SelectionMark() const {
  const QModelIndex current = currentIndex();
  return current.isValid() ? current.row() : -1;
}

void CLibrovanceSubjectListView::SelectSubject(int subject) {
  const int count = m_model->rowCount();
  if (subject < 0 || subject >= count) return;
  const QModelIndex index = m_model->index(subject, 0);
  selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  // The row up to five below the subject need only be partly visible; the subject itself fully.
  const int successors = std::min(count - subject, 5);
  if (subject + successors < count) {
    const QModelIndex successor = m_model->index(subject + successors, 0);
    if (!viewport()->rect().intersects(visualRect(successor))) scrollTo(successor, EnsureVisible);
  }
  scrollTo(index, EnsureVisible);
}

void CLibrovanceSubjectListView::ApplyListFont(const QFont& font) {
  scrollToTop();
  setFont(font);
  verticalHeader()->setDefaultSectionSize(QFontMetrics(font).height() + 4);
  const int mark = SelectionMark();
  if (mark >= 0) scrollTo(m_model->index(mark, 0), EnsureVisible);
}

void CLibrovanceSubjectListView::ShowSubject(int subject) {
  m_app.MainFrame()->EntryView()->ShowSubject(subject, -1, -1);
}

void CLibrovanceSubjectListView::keyPressEvent(QKeyEvent* event) {
  const int mark = SelectionMark();
  if (event->key() == Qt::Key_Up) {
    if (mark > 0) ShowSubject(mark - 1);
    event->accept();
    return;
  }
  if (event->key() == Qt::Key_Down) {
    if (mark >= 0 && mark + 1 < m_model->rowCount()) ShowSubject(mark + 1);
    event->accept();
    return;
  }
  // A key pressed with Alt is a menu key, not a typed character.
  const QString text = event->text();
  const bool typed = text.size() == 1 && !(event->modifiers() & Qt::AltModifier);
  if (typed && m_app.MainFrame()->QuickFindChar(text.at(0).unicode())) {
    event->accept();
    return;
  }
  QTableView::keyPressEvent(event);
}

// A click shows its row; the selection moves only with the entry shown, so the view's own press and
// drag handling (which would select rows by itself) is left out.
void CLibrovanceSubjectListView::mousePressEvent(QMouseEvent* event) {
  setFocus(Qt::MouseFocusReason);
  event->accept();
  if (event->button() != Qt::LeftButton) return;
  const QModelIndex index = indexAt(event->position().toPoint());
  if (index.isValid()) ShowSubject(index.row());
}

void CLibrovanceSubjectListView::mouseMoveEvent(QMouseEvent* event) {
  if (event->buttons() != Qt::NoButton) {
    event->accept();
    return;
  }
  QTableView::mouseMoveEvent(event);
}

// Typed characters that quick find does not take are not searched for row by row: on a tome of a
// million subjects that would read every subject.
void CLibrovanceSubjectListView::keyboardSearch(const QString& search) { Q_UNUSED(search); }

}  // namespace lv
