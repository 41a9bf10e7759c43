// Every question, message, choice and dialog the program puts to the user goes through UserDialogs, so
// that tests can answer them; QtUserDialogs (qt_user_dialogs.h) shows the real Qt dialogs.
//
// Each dialog of its own lives in this folder as one file pair (about_dialog.h/.cpp), is shown by
// QtUserDialogs and is opened by a command handler of the main window. A new dialog joins the same
// way: a file pair here, a method below that answers with what the user chose, and the
// handler of their command in frame/main_window_commands.cpp.
#pragma once

#include <QColor>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "app/dialogs/search_dialog.h"
#include "app/dialogs/select_bookmark_dialog.h"
#include "tome/messages.h"
#include "tome/tome_import.h"

class QPrinter;
class QUrl;
class QWidget;

namespace lv {

struct SettingsStore;

// The files and the sort choice of an import. Given to the Import dialog as a preset, it fills the
// dialog in and the dialog imports at once (the reimport of a changed source).
struct ImportChoice {
  QString sourcePath;
  QString tomePath;
  bool sortFile = false;  // in a report: whether the source was sorted first
};

// A tome the Import dialog has written: what was chosen and what the import gave.
struct ImportReport {
  ImportChoice choice;
  ImportOutcome outcome;
};
using ImportFinished = std::function<void(const ImportReport&)>;

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
  // The file-open dialog with several filters (Qt's form); selectedFilter names the filter selected at
  // the start and answers the one the user had selected. Empty when cancelled.
  virtual QString ChooseFileToOpenFiltered(QWidget* parent, const QString& filters, QString& selectedFilter) = 0;
  // The Import dialog (import_dialog.h), modal. With a preset it is filled in from it and imports at
  // once. finished runs for a tome written, while the dialog is still open; then the results show.
  virtual void RunImport(QWidget* parent, const std::optional<ImportChoice>& preset,
                         const ImportFinished& finished) = 0;
  // The Preferences dialog (preferences_dialog.h), modal, on settings; true when closed with OK.
  virtual bool EditPreferences(QWidget* parent, SettingsStore& settings) = 0;
  // "Select HotSync User" (select_hotsync_user_dialog.h): the chosen user, empty when cancelled.
  virtual QString SelectHotSyncUser(QWidget* parent, const QStringList& users, const QString& hotSyncFolder) = 0;
  // The notice about the 2.8 Palm format (new_format_notice.h): true when "Dont show this information
  // again." was ticked.
  virtual bool ShowNewFormatNotice(QWidget* parent) = 0;
};

}  // namespace lv
