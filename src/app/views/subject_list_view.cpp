#include "app/views/subject_list_view.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>

#include <algorithm>

#include "app/views/quick_find_keys.h"
#include "app/views/subject_list_model.h"
#include "docview/renderer.h"
#include "tome/tome_reader.h"

namespace lv {
namespace {

// Background style 0 is the page colour of the settings; styles 1..5 are bitmaps, each with a list
// colour of its own (index = style); any other style is drawn as style 1.
constexpr int kColourBackground = 0;
constexpr QRgb kBitmapListColours[6] = {
    0, qRgb(203, 194, 181), qRgb(182, 180, 182), qRgb(253, 242, 112), qRgb(204, 204, 204), qRgb(228, 228, 228)};
constexpr QRgb kNoDocumentColour = qRgb(203, 194, 181);

}  // namespace

SubjectListView::SubjectListView(TomeReader& reader, const PageSettings& pageSettings, QWidget* parent)
    : QTableView(parent), m_reader(reader), m_pageSettings(pageSettings) {
  setObjectName(QStringLiteral("subjectList"));
  m_model = new SubjectListModel(reader, this);
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

QColor SubjectListView::ListColour(const PageSettings& pageSettings, bool documentOpen) {
  if (!documentOpen) return QColor(kNoDocumentColour);
  const int style = pageSettings.backgroundStyle;
  if (style == kColourBackground) {
    return QColor(pageSettings.backRed & 0xFF, pageSettings.backGreen & 0xFF, pageSettings.backBlue & 0xFF);
  }
  return QColor(kBitmapListColours[style >= 1 && style <= 5 ? style : 1]);
}

void SubjectListView::Reset(bool documentOpen) {
  m_model->ResetFromReader();
  setColumnWidth(0, viewport()->width() / 2);
  setColumnWidth(1, kPreviewColumnWidth);
  clearSelection();
  if (m_model->rowCount() > 0) {
    selectionModel()->setCurrentIndex(m_model->index(0, 0), QItemSelectionModel::NoUpdate);
  }
  SetBackgroundColour(ListColour(m_pageSettings, documentOpen));
}

void SubjectListView::Clear() { m_model->ResetFromReader(); }

QColor SubjectListView::SetBackgroundColour(const QColor& colour) {
  const QColor previous = m_background;
  m_background = colour;
  QPalette colours = palette();
  colours.setColor(QPalette::Base, colour);
  colours.setColor(QPalette::Text, Qt::black);
  setPalette(colours);
  viewport()->update();
  return previous;
}

int SubjectListView::SelectionMark() const {
  const QModelIndex current = currentIndex();
  return current.isValid() ? current.row() : -1;
}

void SubjectListView::SelectSubject(int subject) {
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

void SubjectListView::ApplyListFont(const QFont& font) {
  scrollToTop();
  setFont(font);
  verticalHeader()->setDefaultSectionSize(QFontMetrics(font).height() + 4);
  const int mark = SelectionMark();
  if (mark >= 0) scrollTo(m_model->index(mark, 0), EnsureVisible);
}

void SubjectListView::keyPressEvent(QKeyEvent* event) {
  const int target = RowForMoveKey(event);
  if (target != kNotAMoveKey) {
    if (target >= 0 && target != SelectionMark()) emit subjectActivated(target);
    event->accept();
    return;
  }
  // A key pressed with Alt is a menu key, not a typed character.
  const QString text = event->text();
  const bool typed = text.size() == 1 && !(event->modifiers() & Qt::AltModifier);
  if (typed && m_reader.IsOpen() && IsQuickFindCharacter(text.at(0).unicode())) {
    emit quickFindKey(text.at(0).unicode());
    event->accept();
    return;
  }
  QTableView::keyPressEvent(event);
}

// Up and Down step one row from the selection mark (none at the ends, none without a mark); PageUp
// and PageDown move a page as the view would; Home and End, with Ctrl or without, go to the first and
// the last subject.
int SubjectListView::RowForMoveKey(QKeyEvent* event) {
  const int mark = SelectionMark();
  const int count = m_model->rowCount();
  switch (event->key()) {
    case Qt::Key_Up: return mark > 0 ? mark - 1 : -1;
    case Qt::Key_Down: return mark >= 0 && mark + 1 < count ? mark + 1 : -1;
    case Qt::Key_Home: return count > 0 ? 0 : -1;
    case Qt::Key_End: return count - 1;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown: {
      if (count == 0) return -1;
      const auto action = event->key() == Qt::Key_PageUp ? MovePageUp : MovePageDown;
      const QModelIndex moved = moveCursor(action, event->modifiers());
      return moved.isValid() ? moved.row() : (action == MovePageUp ? 0 : count - 1);
    }
    default: return kNotAMoveKey;
  }
}

// A click shows its row; the selection moves only with the entry shown, so the view's own press and
// drag handling (which would select rows by itself) is left out.
void SubjectListView::mousePressEvent(QMouseEvent* event) {
  setFocus(Qt::MouseFocusReason);
  event->accept();
  if (event->button() != Qt::LeftButton) return;
  const QModelIndex index = indexAt(event->position().toPoint());
  if (index.isValid()) emit subjectActivated(index.row());
}

void SubjectListView::mouseMoveEvent(QMouseEvent* event) {
  if (event->buttons() != Qt::NoButton) {
    event->accept();
    return;
  }
  QTableView::mouseMoveEvent(event);
}

// Typed characters that quick find does not take are not searched for row by row: on a tome of a
// million subjects that would read every subject.
void SubjectListView::keyboardSearch(const QString& search) { Q_UNUSED(search); }

}  // namespace lv
