// Every question, message, choice and dialog the program puts to the user goes through UserDialogs, so
// that tests can answer them; QtUserDialogs (qt_user_dialogs.h) shows the real Qt dialogs.
//
// Each dialog of its own lives in this folder as one file pair (about_dialog.h/.cpp), is shown by
// QtUserDialogs and is opened by a command handler of the main window. The dialogs still to come
// (Import, Search, Select Bookmark, Preferences, HotSync, Select HotSync User and the notice about
// the 2.8 Palm format) join the same way: a file pair here, a method below that answers with what the
// user chose, and the handler of their command in frame/main_window_commands.cpp.
#pragma once

#include <QColor>
#include <QString>
#include <optional>

#include "app/dialogs/search_dialog.h"
#include "app/dialogs/select_bookmark_dialog.h"
#include "tome/messages.h"

class QPrinter;
class QUrl;
class QWidget;

namespace lv {

class UserDialogs {
 public:
  virtual ~UserDialogs() = default;
  // A modal message with an OK button.
  virtual void ShowMessage(QWidget* parent, const QString& caption, const QString& text, MessageIcon icon) = 0;
  // A modal Yes/No question; true for Yes.
  virtual bool AskYesNo(QWidget* parent, const QString& caption, const QString& text, MessageIcon icon) = 0;
  // Starts in folder; filter in Qt's form ("Librovance Files (*.lv);;Text Files (*.txt)"); empty when
  // cancelled.
  virtual QString ChooseFileToOpen(QWidget* parent, const QString& folder, const QString& filter) = 0;
  // Asks before overwriting; empty when cancelled.
  virtual QString ChooseFileToSave(QWidget* parent, const QString& proposedPath, const QString& filter,
                                   const QString& defaultSuffix) = 0;
  virtual std::optional<QColor> ChooseColor(QWidget* parent) = 0;
  // Sets up printer; false when cancelled.
  virtual bool ChoosePrinter(QWidget* parent, QPrinter& printer) = 0;
  // The About box (about_dialog.h).
  virtual void ShowAbout(QWidget* parent) = 0;
  // Hands a web or mail link to the desktop's own browser or mail program.
  virtual void OpenExternalLink(QWidget* parent, const QUrl& url) = 0;
  // The Search dialog (search_dialog.h) in the given form; nothing when cancelled.
  virtual std::optional<SearchDialogValues> AskSearch(QWidget* parent, SearchDialogForm form) = 0;
  // The "Select Bookmark" dialog (select_bookmark_dialog.h): the number of the item chosen with
  // "Remove", or -1 when none was chosen or the dialog was cancelled.
  virtual int SelectBookmark(QWidget* parent, SelectBookmarkMode mode, const QList<SelectBookmarkItem>& items) = 0;
};

}  // namespace lv
