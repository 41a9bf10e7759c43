// CLibrovanceSubjectListView: every subject of the open tome in the tome's order, with a preview of
// its entry. A click, Up or Down shows a subject through the entry view; typed letters and digits go
// to the quick find. Its background follows the page background setting.
#pragma once

#include <QColor>
#include <QTableView>

namespace lv {

class CLibrovanceApp;
class SubjectListModel;
struct SettingsStore;

class CLibrovanceSubjectListView : public QTableView {
  Q_OBJECT

 public:
  static constexpr int kPreviewColumnWidth = 600;

  CLibrovanceSubjectListView(CLibrovanceApp& app, QWidget* parent);

  // Rebuilds columns, count, selection and colour, then shows the first entry of a tome.
  void Reset();
  // No rows (the tome was closed or replaced).
  void EmptyList();
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

  // The list colour for a page background style (with no document open: 203, 194, 181).
  static QColor ColourForStyle(int style, const SettingsStore& settings, bool documentOpened);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void keyboardSearch(const QString& search) override;

 private:
  void ShowSubject(int subject);

  CLibrovanceApp& m_app;
  SubjectListModel* m_model = nullptr;
  QColor m_background{203, 194, 181};
};

}  // namespace lv
