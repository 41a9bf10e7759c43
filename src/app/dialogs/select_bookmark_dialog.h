// The "Select Bookmark" dialog: a list of bookmarks (or, captioned "Remove Favourite", of favourites)
// with "Remove" and "Cancel". Each item carries a number (a bookmark's slot, a favourite's index);
// the dialog's result is the number of the item chosen with "Remove", -1 when none was chosen.
#pragma once

#include <QDialog>
#include <QList>
#include <QString>

class QListWidget;

namespace lv {

enum class SelectBookmarkMode { kBookmarks = 0, kFavourites = 1 };

struct SelectBookmarkItem {
  QString text;
  int number = -1;
};

class SelectBookmarkDialog : public QDialog {
  Q_OBJECT

 public:
  SelectBookmarkDialog(SelectBookmarkMode mode, const QList<SelectBookmarkItem>& items, QWidget* parent);

  // The number of the selected item once "Remove" was pressed; -1 before, after "Cancel", or with no
  // item selected.
  int Result() const { return m_result; }

 private:
  void Remove();

  QListWidget* m_list = nullptr;
  int m_result = -1;
};

}  // namespace lv
