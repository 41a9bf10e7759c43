// CLibrovanceApp: brings the program up in its fixed order (settings, document, main window, then
// the file named on the command line or the last tome) and carries the open-document operation.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>

#include "app/app_paths.h"
#include "app/recent_files.h"
#include "app/user_dialogs.h"

class QSettings;

namespace lv {

class CLibrovanceDoc;
class CMainFrame;

class CLibrovanceApp : public QObject {
  Q_OBJECT

 public:
  struct Options {
    QString settingsFile;  // an INI file to use instead of the user's own settings (tests)
    UserDialogs* dialogs;  // answers questions instead of real dialogs when not null (tests)
    QString programDir;  // where the installed help is looked for; the program's folder when empty
  };

  CLibrovanceApp() : CLibrovanceApp(Options{QString(), nullptr, QString()}) {}
  explicit CLibrovanceApp(Options options);
  ~CLibrovanceApp() override;

  // Runs the start-up order. arguments are the program's (the first is the program itself).
  // False when the main window cannot be created.
  bool InitInstance(const QStringList& arguments);

  // Opens path as the document and brings the panes up to date; false when it did not open.
  bool OpenDocumentFile(const QString& path);

  // Called by the main window as it closes: remembers the open file and writes every setting.
  void SaveAtClose();

  CMainFrame* MainFrame() const { return m_frame.get(); }
  CLibrovanceDoc& Document() const { return *m_document; }
  UserDialogs& Dialogs() const { return *m_dialogs; }
  const PageDirectory& Pages() const { return m_pages; }
  QSettings& Settings() const { return *m_settings; }
  RecentFileList& RecentFiles() { return m_recentFiles; }
  bool IsStarted() const { return m_started; }
  QString ProgramDir() const { return m_programDir; }

  // The raw command-line text as a path: one pair of surrounding double quotes removed.
  static QString CommandLinePath(const QStringList& arguments);

 private:
  std::unique_ptr<QSettings> m_settings;
  std::unique_ptr<UserDialogs> m_ownDialogs;
  UserDialogs* m_dialogs = nullptr;
  QString m_programDir;
  PageDirectory m_pages;
  RecentFileList m_recentFiles;
  std::unique_ptr<CLibrovanceDoc> m_document;
  std::unique_ptr<CMainFrame> m_frame;
  bool m_openOnStart = false;
  bool m_started = false;
};

}  // namespace lv
