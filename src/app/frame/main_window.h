// MainWindow: the main window. It holds the subject list and the entry view side by side with the bars
// (tool bar, quick-find bar, font bar, status bar) and the menus; it wires the panes and the document
// together (news from them arrives by signals), keeps the Back/Forward history, carries out the
// window's commands and applies the chosen font.
#pragma once

#include <QFont>
#include <QMainWindow>
#include <map>

#include "app/frame/command_id.h"
#include "app/frame/page_history.h"

class QAction;
class QComboBox;
class QMenu;
class QSplitter;
class QToolBar;

namespace lv {

class Application;
class Document;
class EntryView;
class QuickFindBar;
class SearchStatus;
struct ImportChoice;
struct ImportReport;
class SubjectListView;

class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  // The seven sizes of the font bar, in order.
  static constexpr int kFontSizes[7] = {8, 10, 12, 14, 18, 24, 36};

  explicit MainWindow(Application& app);
  ~MainWindow() override;

  // Builds panes, bars and menus and applies the settings; false when the window cannot be made.
  bool Create();

  SubjectListView* SubjectList() const { return m_subjectList; }
  lv::EntryView* EntryView() const { return m_entryView; }
  lv::QuickFindBar* QuickFindBar() const { return m_quickFindBar; }
  PageHistory& History() { return m_history; }
  QAction* Action(CommandId command) const;
  lv::SearchStatus* SearchStatus() const { return m_searchStatus; }

  // After start-up and after every open: the start page unless the document is a plain page, the
  // list rebuilt, and the first entry of a tome.
  void ShowOpenedDocument();
  // Shows the page on display again with the current settings.
  void RefreshPage();
  // Applies the font bar's face and size to the list, the pages and the settings.
  void ApplyFont();
  void RebuildRecentFileMenu();
  void UpdateTitle();
  void ShowTransientStatus(const QString& text);
  // Another file is open: the Back/Forward trail starts afresh.
  void StartNewHistory();
  // The bookmarks of the open tome (nothing changes with no tome open) and the favourites.
  void RebuildBookmarksMenu();
  void RebuildFavouritesMenu();
  // When the watched import source has changed since the import, offers to import it again.
  void CheckReimport();

 protected:
  bool event(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void CreatePanes();
  void ConnectPanes();
  void ConnectDocument();
  void CreateActions();
  void CreateMenus();
  void CreateToolBar();
  void CreateFontBar();
  void CreateStatusBar();
  void FillFontBar();
  QAction* AddAction(CommandId command, const QString& text, const QString& prompt);

  // Command handlers (main_window_commands.cpp).
  void OpenChosenFile();
  void OpenHotSyncWindow();
  void ShowHelp();
  void GoBack();
  void GoForward();
  void SwitchPane();
  bool IsShowable(int subject);
  // Back and Forward are offered only when they lead somewhere.
  void UpdateHistoryActions();

  // Bookmarks and favourites (main_window_bookmarks.cpp).
  void AddBookmark();
  void RemoveBookmark();
  void GoToBookmark(int slot);
  void AddFavourite();
  void RemoveFavourite();
  void OpenFavourite(int index);

  // Find and Find Next (main_window_search.cpp).
  void ConnectSearch();
  bool IsTomeShown() const;
  void Find();
  void FindNext();
  // Import and Preferences (main_window_import.cpp).
  void ImportSourceText(const ImportChoice* preset);
  void OpenImportedTome(const ImportReport& report);
  void EditPreferences();

  Application& m_app;
  Document& m_document;
  PageHistory m_history;
  QSplitter* m_splitter = nullptr;
  SubjectListView* m_subjectList = nullptr;
  lv::EntryView* m_entryView = nullptr;
  QToolBar* m_toolBar = nullptr;
  lv::QuickFindBar* m_quickFindBar = nullptr;
  QToolBar* m_fontBar = nullptr;
  QComboBox* m_fontCombo = nullptr;
  QComboBox* m_sizeCombo = nullptr;
  QMenu* m_fileMenu = nullptr;
  QMenu* m_bookmarksMenu = nullptr;
  QMenu* m_favouritesMenu = nullptr;
  lv::SearchStatus* m_searchStatus = nullptr;
  QAction* m_recentFilesEnd = nullptr;
  QList<QAction*> m_recentFileActions;
  std::map<CommandId, QAction*> m_actions;
  QFont m_listFont;
  bool m_checkingReimport = false;
};

}  // namespace lv
