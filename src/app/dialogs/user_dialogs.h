// Every question, message, choice and dialog the program puts to the user goes through UserDialogs, so
// that tests can answer them; QtUserDialogs (qt_user_dialogs.h) shows the real Qt dialogs.
//
// Each dialog of its own lives in this folder as one file pair (about_dialog.h/.cpp), is shown by
// QtUserDialogs and is opened by a command handler of the main window. The dialogs still to come
// (Import, Search, Select Bookmark, Preferences) join the same way: a file pair here, a method below that answers with
// what the user chose, and the handler of their command in frame/main_window_commands.cpp.
#pragma once

#include <QColor>
#include <QString>
#include <QStringList>
#include <optional>

#include "tome/messages.h"

class QPrinter;
class QWidget;

namespace lv {

class UserDialogs {
 public:
  virtual ~UserDialogs() = default;
  // A modal message with an OK button.
  virtual void ShowMessage(QWidget* parent, const QString& caption, const QString& text, MessageIcon icon) = 0;
  // A modal Yes/No question; true for Yes.
  virtual bool AskYesNo(QWidget* parent, const QString& caption, const QString& text, MessageIcon icon) = 0;
  // filter in Qt's form ("Librovance Files (*.lv);;Text Files (*.txt)"); empty when cancelled.
  virtual QString ChooseFileToOpen(QWidget* parent, const QString& filter) = 0;
  // Asks before overwriting; empty when cancelled.
  virtual QString ChooseFileToSave(QWidget* parent, const QString& proposedPath, const QString& filter,
                                   const QString& defaultSuffix) = 0;
  virtual std::optional<QColor> ChooseColor(QWidget* parent) = 0;
  // Sets up printer; false when cancelled.
  virtual bool ChoosePrinter(QWidget* parent, QPrinter& printer) = 0;
  // The About box (about_dialog.h).
  virtual void ShowAbout(QWidget* parent) = 0;
  // "Select HotSync User" (select_hotsync_user_dialog.h): the chosen user, empty when cancelled.
  virtual QString SelectHotSyncUser(QWidget* parent, const QStringList& users, const QString& hotSyncFolder) = 0;
  // The notice about the 2.8 Palm format (new_format_notice.h): true when "Dont show this information
  // again." was ticked.
  virtual bool ShowNewFormatNotice(QWidget* parent) = 0;
};

}  // namespace lv
