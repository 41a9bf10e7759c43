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

 protected:
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
  QAction* m_recentFilesEnd = nullptr;
  QList<QAction*> m_recentFileActions;
  std::map<CommandId, QAction*> m_actions;
  QFont m_listFont;
};

}  // namespace lv
