// The Search dialog ("Search..."): up to three terms joined by two operator lists, "Match whole words
// only" and "Search within subjects only.", "Go!" and "Cancel". Its simple form (PalmDOC texts) leaves
// only the first term to fill in. It opens with its initial states every time; it does not show the
// previous search.
#pragma once

#include <QDialog>
#include <QString>

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace lv {

enum class SearchDialogForm { kFull, kSimple };

// What the dialog holds when "Go!" is pressed: the terms as typed, the operator lists' positions (0
// "AND", 1 "OR", 2 "NOT"), and the check boxes.
struct SearchDialogValues {
  QString terms[3];
  int operator1 = 0;
  int operator2 = 0;
  bool wholeWords = true;
  bool subjectsOnly = false;
};

class SearchDialog : public QDialog {
  Q_OBJECT

 public:
  SearchDialog(SearchDialogForm form, QWidget* parent);

  SearchDialogValues Values() const;

 private:
  QComboBox* MakeOperatorList(const QString& name);

  QLineEdit* m_terms[3] = {};
  QComboBox* m_operator1 = nullptr;
  QComboBox* m_operator2 = nullptr;
  QCheckBox* m_wholeWords = nullptr;
  QCheckBox* m_subjectsOnly = nullptr;
};

}  // namespace lv
