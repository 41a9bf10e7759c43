// SubjectListView: every subject of the open tome in the tome's order, with a preview of its entry.
// A click or a key that moves the selection (Up, Down, PageUp, PageDown, Home, End, with Ctrl or
// without) reports the subject as activated, so the page always shows the highlighted subject; letters and digits typed
// while a tome is open are reported as quick-find keys. Its background follows the page background setting.
#pragma once

#include <QColor>
#include <QTableView>

namespace lv {

class SubjectListModel;
class TomeReader;
struct PageSettings;

class SubjectListView : public QTableView {
  Q_OBJECT

 public:
  static constexpr int kPreviewColumnWidth = 600;

  // reader and pageSettings are read at every reset and must outlive the list.
  SubjectListView(TomeReader& reader, const PageSettings& pageSettings, QWidget* parent);

  // Rebuilds columns, count, selection and colour (documentOpen: whether any document is open).
  void Reset(bool documentOpen);
  // No rows (the tome was closed or replaced).
  void Clear();
  // Stores and applies the background colour; answers the previous one.
  QColor SetBackgroundColour(const QColor& colour);
  QColor BackgroundColour() const { return m_background; }
  // The row of the selection mark, -1 when none.
  int SelectionMark() const;
  // Marks, selects and focuses subject, scrolling so that up to five of its successors show.
  void SelectSubject(int subject);
  // The list font of the font bar; rows keep one height.
  void ApplyListFont(const QFont& font);
  SubjectListModel* Model() const { return m_model; }

  // The list colour for the page background (with no document open: 203, 194, 181).
  static QColor ListColour(const PageSettings& pageSettings, bool documentOpen);

 signals:
  // The user chose subject with a click or a key that moves the selection.
  void subjectActivated(int subject);
  // A character for the quick find was typed (see quick_find_keys.h).
  void quickFindKey(int character);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void keyboardSearch(const QString& search) override;

 private:
  static constexpr int kNotAMoveKey = -2;
  // The row a key that moves the selection leads to (-1: nowhere), or kNotAMoveKey.
  int RowForMoveKey(QKeyEvent* event);

  TomeReader& m_reader;
  const PageSettings& m_pageSettings;
  SubjectListModel* m_model = nullptr;
  QColor m_background{203, 194, 181};
};

}  // namespace lv
