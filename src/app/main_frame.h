// CMainFrame: the main window. It owns the settings, the page history and the bars (tool bar,
// quick-find bar, font bar, status bar), holds the subject list and the entry view side by side,
// carries out the window's commands, runs the quick find and applies the chosen font.
#pragma once

#include <QDateTime>
#include <QFont>
#include <QHash>
#include <QMainWindow>
#include <functional>

#include "app/page_history.h"
#include "app/settings_store.h"

class QAction;
class QComboBox;
class QLineEdit;
class QMenu;
class QSplitter;
class QToolBar;

namespace lv {

class CLibrovanceApp;
class CLibrovanceSubjectListView;
class CLibrovanceView;

// Command ids of the menu and tool bar.
enum CommandId {
  kCmdAddBookmark = 32771,
  kCmdRemoveBookmark = 32772,
  kCmdFind = 32777,
  kCmdFindNext = 32778,
  kCmdBack = 32782,
  kCmdForward = 32783,
  kCmdImport = 32786,
  kCmdHotSync = 32787,
  kCmdPreferences = 32789,
  kCmdAddFavourite = 32817,
  kCmdRemoveFavourite = 32818,
  kCmdOpen = 57601,
  kCmdPrint = 57607,
  kCmdPaste = 57637,
  kCmdAbout = 57664,
  kCmdExit = 57665,
  kCmdHelp = 57670,
  kCmdNextPane = 57680,
  kCmdPreviousPane = 57681,
};

// The import source watched for changes after an import.
struct ReimportWatch {
  int watchFlag = 0;
  int sortFlag = 0;
  QString sourcePath;
  QDateTime modified;
};

class CMainFrame : public QMainWindow {
  Q_OBJECT

 public:
  // The seven sizes of the font bar, in order.
  static constexpr int kFontSizes[7] = {8, 10, 12, 14, 18, 24, 36};

  explicit CMainFrame(CLibrovanceApp& app);
  ~CMainFrame() override;

  // Builds panes, bars, menus and loads the settings; false when the window cannot be made.
  bool Create();

  CLibrovanceSubjectListView* SubjectList() const { return m_subjectList; }
  CLibrovanceView* EntryView() const { return m_entryView; }
  SettingsStore& Settings() { return m_settings; }
  PageHistory& History() { return m_history; }
  lv::ReimportWatch& ReimportWatch() { return m_reimportWatch; }
  QAction* Action(int commandId) const { return m_actions.value(commandId); }

  // Applies the font bar's face and size to the list, the pages and the settings.
  void ApplyFont();
  // Feeds one typed character to the quick find; false when it was not taken.
  bool QuickFindChar(int character);
  void EnableQuickFind(bool enable);
  void EnableBookmarksMenu(bool enable);
  void RebuildRecentFileMenu();
  void UpdateTitle();
  void ShowTransientStatus(const QString& text);

  // Whole seconds for the quick-find delay; tests set their own clock.
  void SetClock(std::function<qint64()> clock) { m_clock = std::move(clock); }

  // The widths of the two panes for a client area of the given width.
  static std::pair<int, int> PaneWidths(int clientWidth);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void CreatePanes();
  void CreateActions();
  void CreateMenus();
  void CreateToolBar();
  void CreateQuickFindBar();
  void CreateFontBar();
  void CreateStatusBar();
  void FillFontBar();
  QAction* AddAction(int commandId, const QString& text, const QString& prompt);

  void OnOpen();
  void OnHelp();
  void OnBack();
  void OnForward();
  void OnPaste();
  void OnSwitchPane(bool forward);
  void OnQuickFindTextChanged(const QString& text);
  bool IsShowable(int subject);

  CLibrovanceApp& m_app;
  SettingsStore m_settings;
  PageHistory m_history;
  lv::ReimportWatch m_reimportWatch;
  QSplitter* m_splitter = nullptr;
  CLibrovanceSubjectListView* m_subjectList = nullptr;
  CLibrovanceView* m_entryView = nullptr;
  QToolBar* m_toolBar = nullptr;
  QToolBar* m_quickFindBar = nullptr;
  QToolBar* m_fontBar = nullptr;
  QLineEdit* m_quickFindEdit = nullptr;
  QComboBox* m_fontCombo = nullptr;
  QComboBox* m_sizeCombo = nullptr;
  QMenu* m_fileMenu = nullptr;
  QMenu* m_bookmarksMenu = nullptr;
  QAction* m_recentFilesEnd = nullptr;
  QList<QAction*> m_recentFileActions;
  QHash<int, QAction*> m_actions;
  QFont m_listFont;

  std::function<qint64()> m_clock;
  bool m_keyTimeSet = false;
  qint64 m_lastKeyTime = 0;
  QString m_lastGoodText;
};

}  // namespace lv
