// The main window's commands in one place: every action of the menus, the tool bar and the keys
// without a menu item, its handler, and the menus and tool bar that show them.
#include <QAction>
#include <QFileInfo>
#include <QIcon>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

#include "app/dialogs/hotsync_dialog.h"
#include "app/dialogs/user_dialogs.h"
#include "app/document/document.h"
#include "app/frame/application.h"
#include "app/frame/main_window.h"
#include "app/frame/quick_find_bar.h"
#include "app/platform/help_paths.h"
#include "app/views/entry_view.h"
#include "app/views/subject_list_view.h"

namespace lv {

QAction* MainWindow::Action(CommandId command) const {
  const auto found = m_actions.find(command);
  return found == m_actions.end() ? nullptr : found->second;
}

QAction* MainWindow::AddAction(CommandId command, const QString& text, const QString& prompt) {
  auto* action = new QAction(text, this);
  // A prompt's second line is the button's tool tip.
  const qsizetype newline = prompt.indexOf(QLatin1Char('\n'));
  action->setStatusTip(newline < 0 ? prompt : prompt.left(newline));
  if (newline >= 0) action->setToolTip(prompt.mid(newline + 1));
  action->setData(static_cast<int>(command));
  m_actions[command] = action;
  return action;
}

void MainWindow::CreateActions() {
  QAction* open = AddAction(CommandId::kOpen, QStringLiteral("&Open...\tCtrl+O"),
                            QStringLiteral("Open an existing document\nOpen"));
  open->setShortcut(QKeySequence(QStringLiteral("Ctrl+O")));
  open->setIcon(QIcon(QStringLiteral(":/icons/open.png")));
  connect(open, &QAction::triggered, this, &MainWindow::OpenChosenFile);

  QAction* import = AddAction(CommandId::kImport, QStringLiteral("Import..."),
                              QStringLiteral("Import a Tagged Text or Tab Separated file"));
  connect(import, &QAction::triggered, this, [this] { ImportSourceText(nullptr); });
  QAction* hotSync = AddAction(CommandId::kHotSync, QStringLiteral("HotSync to PalmOS..."),
                               QStringLiteral("Convert this file to Palm format and queue it for HotSyncing"));
  connect(hotSync, &QAction::triggered, this, &MainWindow::OpenHotSyncWindow);
  QAction* exit = AddAction(CommandId::kExit, QStringLiteral("E&xit"),
                            QStringLiteral("Quit the application; prompts to save documents\nExit"));
  exit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
  connect(exit, &QAction::triggered, this, &QWidget::close);

  QAction* find =
      AddAction(CommandId::kFind, QStringLiteral("&Find \tCtrl+F"), QStringLiteral("Search within the document"));
  find->setShortcut(QKeySequence(QStringLiteral("Ctrl+F")));
  find->setIcon(QIcon(QStringLiteral(":/icons/find.png")));
  find->setToolTip(QStringLiteral("Find"));
  connect(find, &QAction::triggered, this, &MainWindow::Find);
  QAction* findNext =
      AddAction(CommandId::kFindNext, QStringLiteral("Find &Next \tF3"), QStringLiteral("Find next match"));
  findNext->setShortcut(QKeySequence(Qt::Key_F3));
  connect(findNext, &QAction::triggered, this, &MainWindow::FindNext);
  AddAction(CommandId::kPreferences, QStringLiteral("Preferences"), QStringLiteral("Edit Librovance Preferences"));
  connect(Action(CommandId::kPreferences), &QAction::triggered, this, &MainWindow::EditPreferences);

  QAction* addBookmark = AddAction(CommandId::kAddBookmark, QStringLiteral("&Add Bookmark \tCtrl+B"),
                                   QStringLiteral("Bookmark this page."));
  addBookmark->setShortcut(QKeySequence(QStringLiteral("Ctrl+B")));
  addBookmark->setIcon(QIcon(QStringLiteral(":/icons/bookmark.png")));
  addBookmark->setToolTip(QStringLiteral("Add Bookmark"));
  connect(addBookmark, &QAction::triggered, this, &MainWindow::AddBookmark);
  connect(AddAction(CommandId::kRemoveBookmark, QStringLiteral("&Remove Bookmark"), QStringLiteral("Edit Bookmarks")),
          &QAction::triggered, this, &MainWindow::RemoveBookmark);
  QAction* addFavourite = AddAction(CommandId::kAddFavourite, QStringLiteral("&Add Favourite \tCtrl+D"),
                                    QStringLiteral("Add this Tome to the favourites list."));
  addFavourite->setShortcut(QKeySequence(QStringLiteral("Ctrl+D")));
  connect(addFavourite, &QAction::triggered, this, &MainWindow::AddFavourite);
  connect(AddAction(CommandId::kRemoveFavourite, QStringLiteral("&Remove Favourite"),
                    QStringLiteral("Edit the favourites list")),
          &QAction::triggered, this, &MainWindow::RemoveFavourite);

  QAction* back =
      AddAction(CommandId::kBack, QStringLiteral("Back"), QStringLiteral("Go back to the last page viewed"));
  back->setIcon(QIcon(QStringLiteral(":/icons/back.png")));
  back->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Left));
  connect(back, &QAction::triggered, this, &MainWindow::GoBack);
  QAction* forward =
      AddAction(CommandId::kForward, QStringLiteral("Forward"), QStringLiteral("Go back to the next page in the list"));
  forward->setIcon(QIcon(QStringLiteral(":/icons/forward.png")));
  forward->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Right));
  connect(forward, &QAction::triggered, this, &MainWindow::GoForward);

  QAction* help = AddAction(CommandId::kHelp, QStringLiteral("Help\tF1"), QString());
  help->setShortcut(QKeySequence(Qt::Key_F1));
  help->setIcon(QIcon(QStringLiteral(":/icons/help.png")));
  help->setToolTip(QStringLiteral("Help"));
  connect(help, &QAction::triggered, this, &MainWindow::ShowHelp);
  QAction* about = AddAction(CommandId::kAbout, QStringLiteral("&About Librovance..."), QStringLiteral("Help"));
  connect(about, &QAction::triggered, this, [this] { m_app.Dialogs().ShowAbout(this); });

  // Keys without a menu item.
  QAction* print = AddAction(CommandId::kPrint, QStringLiteral("Print"), QString());
  print->setShortcut(QKeySequence(QStringLiteral("Ctrl+P")));
  connect(print, &QAction::triggered, this, [this] { m_entryView->Print(); });
  QAction* paste = AddAction(CommandId::kPaste, QStringLiteral("Paste"), QString());
  paste->setShortcuts({QKeySequence(QStringLiteral("Ctrl+V")), QKeySequence(QStringLiteral("Shift+Insert"))});
  connect(paste, &QAction::triggered, this, [this] { m_quickFindBar->Paste(); });
  QAction* nextPane = AddAction(CommandId::kNextPane, QStringLiteral("Next Pane"), QString());
  nextPane->setShortcut(QKeySequence(Qt::Key_F6));
  connect(nextPane, &QAction::triggered, this, &MainWindow::SwitchPane);
  QAction* previousPane = AddAction(CommandId::kPreviousPane, QStringLiteral("Previous Pane"), QString());
  previousPane->setShortcut(QKeySequence(QStringLiteral("Shift+F6")));
  connect(previousPane, &QAction::triggered, this, &MainWindow::SwitchPane);
  addActions({print, paste, nextPane, previousPane});
}

void MainWindow::CreateMenus() {
  m_fileMenu = menuBar()->addMenu(QStringLiteral("&File"));
  m_fileMenu->addActions({Action(CommandId::kOpen), Action(CommandId::kImport), Action(CommandId::kHotSync)});
  m_fileMenu->addSeparator();
  m_recentFilesEnd = m_fileMenu->addSeparator();
  m_fileMenu->addAction(Action(CommandId::kExit));
  RebuildRecentFileMenu();

  QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
  edit->addActions({Action(CommandId::kFind), Action(CommandId::kFindNext)});
  edit->addSeparator();
  edit->addAction(Action(CommandId::kPreferences));

  m_bookmarksMenu = menuBar()->addMenu(QStringLiteral("&Bookmarks"));
  m_bookmarksMenu->addActions({Action(CommandId::kAddBookmark), Action(CommandId::kRemoveBookmark)});
  m_bookmarksMenu->addSeparator();
  m_bookmarksMenu->setEnabled(false);  // until a tome is open

  m_favouritesMenu = menuBar()->addMenu(QStringLiteral("Favourites"));
  m_favouritesMenu->addActions({Action(CommandId::kAddFavourite), Action(CommandId::kRemoveFavourite)});
  m_favouritesMenu->addSeparator();

  QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
  help->addAction(Action(CommandId::kHelp));
  help->addSeparator();
  help->addAction(Action(CommandId::kAbout));
}

void MainWindow::CreateToolBar() {
  m_toolBar = new QToolBar(QStringLiteral("Tool Bar"), this);
  m_toolBar->setObjectName(QStringLiteral("toolBar"));
  m_toolBar->setIconSize(QSize(24, 24));
  m_toolBar->addAction(Action(CommandId::kOpen));
  m_toolBar->addSeparator();
  m_toolBar->addActions({Action(CommandId::kBack), Action(CommandId::kForward), Action(CommandId::kFind)});
  m_toolBar->addSeparator();
  m_toolBar->addAction(Action(CommandId::kAddBookmark));
  m_toolBar->addSeparator();
  m_toolBar->addAction(Action(CommandId::kHelp));
}

void MainWindow::RebuildRecentFileMenu() {
  for (QAction* action : m_recentFileActions) {
    m_fileMenu->removeAction(action);
    action->deleteLater();
  }
  m_recentFileActions.clear();
  const QStringList& paths = m_app.RecentFiles().Paths();
  if (paths.isEmpty()) {
    auto* placeholder = new QAction(QStringLiteral("Recent File"), m_fileMenu);
    placeholder->setEnabled(false);
    m_recentFileActions.append(placeholder);
  }
  for (int i = 0; i < paths.size(); ++i) {
    const QString path = paths[i];
    auto* action = new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(RecentFileList::ShortenedForMenu(path).replace(
                                   QLatin1Char('&'), QStringLiteral("&&"))),
                               m_fileMenu);
    action->setStatusTip(QStringLiteral("Open this document"));
    connect(action, &QAction::triggered, this, [this, path] {
      if (!m_app.OpenFile(path) && !QFileInfo::exists(path)) {
        m_app.RecentFiles().Remove(path);
        RebuildRecentFileMenu();
      }
    });
    m_recentFileActions.append(action);
  }
  m_fileMenu->insertActions(m_recentFilesEnd, m_recentFileActions);
}

// The dialog starts in the folder it last opened a file from (at first: the open document's).
void MainWindow::OpenChosenFile() {
  SettingsStore& settings = m_app.Settings();
  QString folder = settings.lastFolder;
  if (folder.isEmpty() && !m_document.Path().isEmpty()) folder = QFileInfo(m_document.Path()).absolutePath();
  const QString path = m_app.Dialogs().ChooseFileToOpen(
      this, folder, QStringLiteral("Librovance Files (*.lv);;Palm Databases (*.pdb);;Text Files (*.txt)"));
  if (path.isEmpty()) return;
  settings.lastFolder = QFileInfo(path).absolutePath();
  m_app.OpenFile(path);
}

// A new modeless HotSync window for the open document; it closes itself.
void MainWindow::OpenHotSyncWindow() {
  HotSyncSource source;
  source.path = m_document.Path();
  source.title = m_document.Title();
  switch (m_document.Kind()) {
    case DocumentKind::kTome:
      if (m_document.IsTomeOpen()) source.kind = HotSyncSource::Kind::kTome;
      break;
    case DocumentKind::kTextFile: source.kind = HotSyncSource::Kind::kTextFile; break;
    case DocumentKind::kPalmDoc: source.kind = HotSyncSource::Kind::kPalmDatabase; break;
    case DocumentKind::kNothing: break;
  }
  auto* window = new HotSyncDialog(source, m_app.Dialogs(), m_app.Settings(), m_app.Pages(),
                                   HotSyncTarget{m_app.HotSyncQueue(), m_app.HotSyncFolder()}, this);
  window->Open();
}

void MainWindow::ShowHelp() { m_entryView->NavigateTo(HelpIndexPath(m_app.Settings().helpPath, m_app.ProgramDir())); }

bool MainWindow::IsShowable(int subject) {
  TomeReader& reader = m_document.Reader();
  return !reader.IsOpen() || (subject >= 0 && subject < reader.SubjectCount());
}

void MainWindow::GoBack() {
  const int subject = m_history.Back([this](int s) { return IsShowable(s); });
  if (subject >= 0) m_entryView->ShowSubject(subject);
  UpdateHistoryActions();
}

void MainWindow::GoForward() {
  const int subject = m_history.Forward([this](int s) { return IsShowable(s); });
  if (subject >= 0) m_entryView->ShowSubject(subject);
  UpdateHistoryActions();
}

void MainWindow::StartNewHistory() {
  m_history.Clear();
  UpdateHistoryActions();
}

void MainWindow::UpdateHistoryActions() {
  Action(CommandId::kBack)->setEnabled(m_history.CanGoBack());
  Action(CommandId::kForward)->setEnabled(m_history.CanGoForward());
}

// With two panes, Next Pane and Previous Pane both lead to the other one.
void MainWindow::SwitchPane() {
  if (m_subjectList->hasFocus()) {
    m_entryView->setFocus();
  } else {
    m_subjectList->setFocus();
  }
}

}  // namespace lv
