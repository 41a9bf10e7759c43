// What the desktop tests share: dialogs answered from a script, small tomes made on the spot, the
// collaborators a single view or the document is built with, and a running program with its own
// temporary folder and settings file.
#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QStringList>
#include <QTemporaryDir>
#include <QUrl>
#include <QVariantMap>
#include <memory>

#include "app/dialogs/user_dialogs.h"
#include "app/document/document.h"
#include "app/frame/application.h"
#include "app/frame/main_window.h"
#include "app/frame/quick_find_bar.h"
#include "app/platform/page_folder.h"
#include "app/views/entry_view.h"
#include "app/views/subject_list_view.h"
#include "docview/renderer.h"
#include "tome/tome_reader.h"

class QLineEdit;

namespace lv {

class ScriptedDialogs : public UserDialogs {
 public:
  struct Shown {
    QString caption;
    QString text;
    bool question = false;
    MessageIcon icon = MessageIcon::kExclamation;
  };
  QList<Shown> shown;        // every message and question, in order
  QList<bool> yesNoAnswers;  // answers to the questions in order; No once they run out
  QStringList filesToSave;   // answers of the Save As dialog; cancelled once they run out
  QStringList filesToOpen;   // answers of the Open dialog; cancelled once they run out
  QStringList openFolders;   // the folder each Open dialog started in
  QList<QUrl> openedLinks;   // links handed to the desktop's browser or mail program
  int printerRequests = 0;
  int openRequests = 0;
  int aboutRequests = 0;
  // The filtered Open dialog: the filters it was shown with, and its answers as (path, filter).
  QStringList filteredOpenFilters;
  QList<QPair<QString, QString>> filteredFilesToOpen;
  // The Import dialog: each preset it was opened with (empty for none), and what it does; cancelled
  // when no answer is set.
  QList<std::optional<ImportChoice>> importRequests;
  std::function<void(const std::optional<ImportChoice>&, const ImportFinished&)> importAnswer;
  // The Preferences dialog: how it edits the settings and whether it ends with OK; cancelled when no
  // answer is set.
  int preferencesRequests = 0;
  std::function<bool(SettingsStore&)> preferencesAnswer;
  // The colour dialog's answers; cancelled once they run out.
  QList<QColor> colours;
  QStringList hotSyncUserAnswers;       // answers of Select HotSync User; cancelled once they run out
  QList<QStringList> hotSyncUserLists;  // the users each Select HotSync User offered
  QStringList hotSyncFolders;           // the folder each Select HotSync User named
  QList<bool> noticeAnswers;            // "Dont show this information again." ticked; not once they run out
  int noticeRequests = 0;

  void ShowMessage(QWidget*, const QString& caption, const QString& text, MessageIcon) override;
  bool AskYesNo(QWidget*, const QString& caption, const QString& text, MessageIcon) override;
  QString ChooseFileToOpen(QWidget*, const QString& folder, const QString&) override;
  QString ChooseFileToSave(QWidget*, const QString&, const QString&, const QString&) override;
  std::optional<QColor> ChooseColor(QWidget*) override;
  bool ChoosePrinter(QWidget*, QPrinter&) override;
  void ShowAbout(QWidget*) override { ++aboutRequests; }
  void OpenExternalLink(QWidget*, const QUrl& url) override { openedLinks.append(url); }

  // The Search dialog: each answer in turn (nothing: cancelled); cancelled once they run out.
  QList<std::optional<SearchDialogValues>> searchAnswers;
  QList<SearchDialogForm> searchForms;  // the form of every Search dialog shown
  std::optional<SearchDialogValues> AskSearch(QWidget*, SearchDialogForm form) override;
  // The "Select Bookmark" dialog: the item numbers chosen in turn; -1 once they run out.
  QList<int> bookmarkChoices;
  struct BookmarkDialogShown {
    SelectBookmarkMode mode;
    QList<SelectBookmarkItem> items;
  };
  QList<BookmarkDialogShown> bookmarkDialogs;  // every "Select Bookmark" dialog shown
  int SelectBookmark(QWidget*, SelectBookmarkMode mode, const QList<SelectBookmarkItem>& items) override;
  QString ChooseFileToOpenFiltered(QWidget*, const QString& filters, QString& selectedFilter) override;
  void RunImport(QWidget*, const std::optional<ImportChoice>& preset, const ImportFinished& finished) override;
  bool EditPreferences(QWidget*, SettingsStore& settings) override;
  QString SelectHotSyncUser(QWidget*, const QStringList& users, const QString& hotSyncFolder) override;
  bool ShowNewFormatNotice(QWidget*) override;
};

// An import answer that imports as the dialog would, synchronously, and reports the tome written.
void ImportLikeTheDialog(const ImportChoice& choice, const ImportFinished& finished);

// Builds dir/name from tab-separated lines ("subject\ttext", tags allowed) with the tome store's
// import; fails the test when the import fails.
// Writes bytes to path (the test stops when it cannot) and returns path; reads a file whole (empty when
// it cannot be read).
QString WriteFile(const QString& path, const QByteArray& bytes);
QByteArray ReadFile(const QString& path);

QString MakeTome(const QString& dir, const QString& name, const QStringList& lines);
// Writes a version-1 tome (base version 1: stored text as plain bytes).
QString MakeVersion1Tome(const QString& dir, const QString& name, const QList<QPair<QByteArray, QByteArray>>& entries);
// The fruit tome most tests read: 12 subjects in order, links, a line break and a strike-through.
QStringList FruitLines();

// Writes a PalmDOC database at path whose text records are records, stored as they are or with
// PalmDOC compression; answers path.
QString MakePalmDoc(const QString& path, const QList<QByteArray>& records, bool compressed = false);

// The index of subject in the fruit tome.
int Fruit(const char* subject);

// What a single view or the document is built with: a temporary folder, a tome reader, page
// settings, the page folder and scripted dialogs. No window, no application.
class Collaborators {
 public:
  Collaborators();
  ~Collaborators();

  QString Dir() const { return m_dir.path(); }
  QString Path(const QString& name) const { return m_dir.filePath(name); }
  // Opens the fruit tome (made once) in the reader.
  void OpenFruitTome();
  QByteArray PageBytes() const;  // the current page file

  TomeReader reader;
  PageSettings pageSettings;
  PageFolder pages;
  ScriptedDialogs dialogs;

 private:
  QTemporaryDir m_dir;
  QString m_fruitTome;
};

// The file name and fragment of the page view displays.
QString ShownPageName(const EntryView& view);

class AppHarness {
 public:
  AppHarness();
  ~AppHarness();

  QString Dir() const { return m_dir.path(); }
  QString Path(const QString& name) const { return m_dir.filePath(name); }
  QString SettingsFile() const { return m_dir.filePath(QStringLiteral("settings.ini")); }
  QString FruitTome();  // made once per harness
  // Values for the group "Settings" before the program starts.
  void WriteSettings(const QVariantMap& values);
  QVariant ReadSetting(const QString& name);

  // Starts the program with these arguments after the program's name (again: a new run of it).
  Application& Start(const QStringList& arguments = {});
  void Close();  // closes the main window as the user would

  Application& App() { return *m_app; }
  MainWindow& Window() { return *m_app->Window(); }
  Document& Doc() { return m_app->CurrentDocument(); }
  EntryView& View() { return *m_app->Window()->EntryView(); }
  SubjectListView& List() { return *m_app->Window()->SubjectList(); }
  QuickFindBar& QuickFind() { return *m_app->Window()->QuickFindBar(); }
  QLineEdit* QuickFindEdit();
  QByteArray PageBytes() const;  // the current page file
  QString ShownPageName();       // file name and fragment of the page on display

  ScriptedDialogs dialogs;
  qint64 now = 1000;  // the quick find's clock, in seconds

 private:
  QTemporaryDir m_dir;
  QString m_fruitTome;
  std::unique_ptr<Application> m_app;
};

}  // namespace lv
