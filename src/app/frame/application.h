// Application: owns the parts of the running program and brings them up in a fixed order (settings,
// document, main window, then the file named on the command line or the last tome); carries the
// open-file operation and the saving of the settings at close.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>

#include "app/platform/page_folder.h"
#include "app/platform/recent_files.h"
#include "app/platform/settings_store.h"
#include "docview/renderer.h"

class QSettings;

namespace lv {

class Document;
class InstallQueue;
class MainWindow;
class TerminationSignals;
class UserDialogs;

class Application : public QObject {
  Q_OBJECT

 public:
  struct Options {
    QString settingsFile;  // an INI file to use instead of the user's own settings (tests)
    UserDialogs* dialogs;  // answers questions instead of real dialogs when not null (tests)
    QString programDir;    // where the installed help is looked for; the program's folder when empty
  };

  Application() : Application(Options{QString(), nullptr, QString()}) {}
  explicit Application(Options options);
  ~Application() override;

  // Runs the start-up order. arguments are the program's (the first is the program itself).
  // False when the main window cannot be created.
  bool Start(const QStringList& arguments);

  // Opens path as the document and brings the panes up to date; false when it did not open.
  bool OpenFile(const QString& path);

  // Called by the main window as it closes: remembers the open file and writes every setting.
  void SaveAtClose();
  // From now on SIGTERM, SIGINT and SIGHUP close the program as File > Exit does.
  void CloseOnTerminationSignals();

  MainWindow* Window() const { return m_window.get(); }
  Document& CurrentDocument() const { return *m_document; }
  UserDialogs& Dialogs() const { return *m_dialogs; }
  const PageFolder& Pages() const { return m_pages; }
  SettingsStore& Settings() { return m_settings; }
  // The page settings the views and the document render with; UpdatePageSettings takes them from
  // the settings again after a change.
  const PageSettings& CurrentPageSettings() const { return m_pageSettings; }
  void UpdatePageSettings();
  // The HTML font size (1..7) of entry pages: the font bar's choice, kept across UpdatePageSettings.
  void SetEntryFontSize(int size) { m_pageSettings.entryFontSize = size; }
  RecentFileList& RecentFiles() { return m_recentFiles; }
  // The HotSync install queue in the folder of the setting "HotSyncPath" (or the default folder).
  InstallQueue& HotSyncQueue() const { return *m_hotSyncQueue; }
  const QString& HotSyncFolder() const { return m_hotSyncFolder; }
  QString ProgramDir() const { return m_programDir; }

  // The raw command-line text as a path (after a leading "--" that ends the options): one pair of
  // surrounding double quotes removed.
  static QString CommandLinePath(const QStringList& arguments);

 private:
  std::unique_ptr<QSettings> m_storage;
  std::unique_ptr<UserDialogs> m_ownDialogs;
  UserDialogs* m_dialogs = nullptr;
  QString m_programDir;
  PageFolder m_pages;
  RecentFileList m_recentFiles;
  SettingsStore m_settings;
  PageSettings m_pageSettings;
  QString m_hotSyncFolder;
  std::unique_ptr<InstallQueue> m_hotSyncQueue;
  std::unique_ptr<Document> m_document;
  std::unique_ptr<MainWindow> m_window;
  std::unique_ptr<TerminationSignals> m_terminationSignals;
};

}  // namespace lv
