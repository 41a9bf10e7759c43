// What the desktop tests share: dialogs answered from a script, small tomes made on the spot, the
// collaborators a single view or the document is built with, and a running program with its own
// temporary folder and settings file.
#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QStringList>
#include <QTemporaryDir>
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
  int printerRequests = 0;
  int openRequests = 0;
  int aboutRequests = 0;
  QStringList hotSyncUserAnswers;       // answers of Select HotSync User; cancelled once they run out
  QList<QStringList> hotSyncUserLists;  // the users each Select HotSync User offered
  QStringList hotSyncFolders;           // the folder each Select HotSync User named
  QList<bool> noticeAnswers;            // "Dont show this information again." ticked; not once they run out
  int noticeRequests = 0;

  void ShowMessage(QWidget*, const QString& caption, const QString& text, MessageIcon) override;
  bool AskYesNo(QWidget*, const QString& caption, const QString& text, MessageIcon) override;
  QString ChooseFileToOpen(QWidget*, const QString&) override;
  QString ChooseFileToSave(QWidget*, const QString&, const QString&, const QString&) override;
  std::optional<QColor> ChooseColor(QWidget*) override { return std::nullopt; }
  bool ChoosePrinter(QWidget*, QPrinter&) override;
  void ShowAbout(QWidget*) override { ++aboutRequests; }
  QString SelectHotSyncUser(QWidget*, const QStringList& users, const QString& hotSyncFolder) override;
  bool ShowNewFormatNotice(QWidget*) override;
};

// Builds dir/name from tab-separated lines ("subject\ttext", tags allowed) with the tome store's
// import; fails the test when the import fails.
QString MakeTome(const QString& dir, const QString& name, const QStringList& lines);
// Writes a version-1 tome (base version 1: stored text as plain bytes).
QString MakeVersion1Tome(const QString& dir, const QString& name, const QList<QPair<QByteArray, QByteArray>>& entries);
// The fruit tome most tests read: 12 subjects in order, links, a line break and a strike-through.
QStringList FruitLines();

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
