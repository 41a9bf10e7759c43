// The main window's menus, tool bar and commands, and the quick find.
#include <QAction>
#include <QFileInfo>
#include <QIcon>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

#include "app/app_paths.h"
#include "app/cp1252.h"
#include "app/librovance_app.h"
#include "app/main_frame.h"
#include "docview/qt/librovance_doc.h"
#include "docview/qt/librovance_view.h"
#include "docview/qt/subject_list_view.h"

namespace lv {

QAction* CMainFrame::AddAction(int commandId, const QString& text, const QString& prompt) {
  auto* action = new QAction(text, this);
  // A prompt's second line is the button's tool tip.
  const qsizetype newline = prompt.indexOf(QLatin1Char('\n'));
  action->setStatusTip(newline < 0 ? prompt : prompt.left(newline));
  if (newline >= 0) action->setToolTip(prompt.mid(newline + 1));
  action->setData(commandId);
  m_actions.insert(commandId, action);
  return action;
}

void CMainFrame::CreateActions() {
  QAction* open = AddAction(kCmdOpen, QStringLiteral("&Open...\tCtrl+O"),
                            QStringLiteral("Open an existing document\nOpen"));
  open->setShortcut(QKeySequence(QStringLiteral("Ctrl+O")));
  open->setIcon(QIcon(QStringLiteral(":/icons/open.png")));
  connect(open, &QAction::triggered, this, &CMainFrame::OnOpen);

  AddAction(kCmdImport, QStringLiteral("Import..."), QStringLiteral("Import a Tagged Text or Tab Separated file"));
  AddAction(kCmdHotSync, QStringLiteral("HotSync to PalmOS..."),
            QStringLiteral("Convert this file to Palm format and queue it for HotSyncing"));
  QAction* exit = AddAction(kCmdExit, QStringLiteral("E&xit"),
                            QStringLiteral("Quit the application; prompts to save documents\nExit"));
  connect(exit, &QAction::triggered, this, &QWidget::close);

  QAction* find = AddAction(kCmdFind, QStringLiteral("&Find \tCtrl+F"), QStringLiteral("Search within the document"));
  find->setShortcut(QKeySequence(QStringLiteral("Ctrl+F")));
  find->setIcon(QIcon(QStringLiteral(":/icons/find.png")));
  find->setToolTip(QStringLiteral("Find"));
  AddAction(kCmdFindNext, QStringLiteral("Find &Next \tF3"), QStringLiteral("Find next match"))
      ->setShortcut(QKeySequence(Qt::Key_F3));
  AddAction(kCmdPreferences, QStringLiteral("Preferences"), QStringLiteral("Edit Librovance Preferences"));

  QAction* addBookmark = AddAction(kCmdAddBookmark, QStringLiteral("&Add Bookmark \tCtrl+B"),
                                   QStringLiteral("Bookmark this page."));
  addBookmark->setShortcut(QKeySequence(QStringLiteral("Ctrl+B")));
  addBookmark->setIcon(QIcon(QStringLiteral(":/icons/bookmark.png")));
  addBookmark->setToolTip(QStringLiteral("Add Bookmark"));
  AddAction(kCmdRemoveBookmark, QStringLiteral("&Remove Bookmark"), QStringLiteral("Edit Bookmarks"));
  AddAction(kCmdAddFavourite, QStringLiteral("&Add Favourite \tCtrl+D"),
            QStringLiteral("Add this Tome to the favourites list."))
      ->setShortcut(QKeySequence(QStringLiteral("Ctrl+D")));
  AddAction(kCmdRemoveFavourite, QStringLiteral("&Remove Favourite"), QStringLiteral("Edit the favourites list"));

  QAction* back = AddAction(kCmdBack, QStringLiteral("Back"), QStringLiteral("Go back to the last page viewed"));
  back->setIcon(QIcon(QStringLiteral(":/icons/back.png")));
  connect(back, &QAction::triggered, this, &CMainFrame::OnBack);
  QAction* forward =
      AddAction(kCmdForward, QStringLiteral("Forward"), QStringLiteral("Go back to the next page in the list"));
  forward->setIcon(QIcon(QStringLiteral(":/icons/forward.png")));
  connect(forward, &QAction::triggered, this, &CMainFrame::OnForward);

  QAction* help = AddAction(kCmdHelp, QStringLiteral("Help\tF1"), QString());
  help->setShortcut(QKeySequence(Qt::Key_F1));
  help->setIcon(QIcon(QStringLiteral(":/icons/help.png")));
  help->setToolTip(QStringLiteral("Help"));
  connect(help, &QAction::triggered, this, &CMainFrame::OnHelp);
  QAction* about = AddAction(kCmdAbout, QStringLiteral("&About Librovance..."), QStringLiteral("Help"));
  connect(about, &QAction::triggered, this, [this] { m_app.Dialogs().ShowAbout(this); });

  // Commands whose dialogs are not part of this program yet are shown, but cannot be chosen.
  for (int id : {kCmdImport, kCmdHotSync, kCmdFind, kCmdFindNext, kCmdPreferences, kCmdAddBookmark,
                 kCmdRemoveBookmark, kCmdAddFavourite, kCmdRemoveFavourite}) {
    m_actions.value(id)->setEnabled(false);
  }

  // Keys without a menu item.
  QAction* print = AddAction(kCmdPrint, QStringLiteral("Print"), QString());
  print->setShortcut(QKeySequence(QStringLiteral("Ctrl+P")));
  connect(print, &QAction::triggered, this, [this] { m_entryView->Print(); });
  QAction* paste = AddAction(kCmdPaste, QStringLiteral("Paste"), QString());
  paste->setShortcuts({QKeySequence(QStringLiteral("Ctrl+V")), QKeySequence(QStringLiteral("Shift+Insert"))});
  connect(paste, &QAction::triggered, this, &CMainFrame::OnPaste);
  QAction* nextPane = AddAction(kCmdNextPane, QStringLiteral("Next Pane"), QString());
  nextPane->setShortcut(QKeySequence(Qt::Key_F6));
  connect(nextPane, &QAction::triggered, this, [this] { OnSwitchPane(true); });
  QAction* previousPane = AddAction(kCmdPreviousPane, QStringLiteral("Previous Pane"), QString());
  previousPane->setShortcut(QKeySequence(QStringLiteral("Shift+F6")));
  connect(previousPane, &QAction::triggered, this, [this] { OnSwitchPane(false); });
  addActions({print, paste, nextPane, previousPane});
}

void CMainFrame::CreateMenus() {
  m_fileMenu = menuBar()->addMenu(QStringLiteral("&File"));
  m_fileMenu->addActions({Action(kCmdOpen), Action(kCmdImport), Action(kCmdHotSync)});
  m_fileMenu->addSeparator();
  m_recentFilesEnd = m_fileMenu->addSeparator();
  m_fileMenu->addAction(Action(kCmdExit));
  RebuildRecentFileMenu();

  QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
  edit->addActions({Action(kCmdFind), Action(kCmdFindNext)});
  edit->addSeparator();
  edit->addAction(Action(kCmdPreferences));

  m_bookmarksMenu = menuBar()->addMenu(QStringLiteral("&Bookmarks"));
  m_bookmarksMenu->addActions({Action(kCmdAddBookmark), Action(kCmdRemoveBookmark)});
  m_bookmarksMenu->addSeparator();

  QMenu* favourites = menuBar()->addMenu(QStringLiteral("Favourites"));
  favourites->addActions({Action(kCmdAddFavourite), Action(kCmdRemoveFavourite)});
  favourites->addSeparator();

  QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
  help->addAction(Action(kCmdHelp));
  help->addSeparator();
  help->addAction(Action(kCmdAbout));
}

void CMainFrame::CreateToolBar() {
  m_toolBar = new QToolBar(QStringLiteral("Tool Bar"), this);
  m_toolBar->setObjectName(QStringLiteral("toolBar"));
  m_toolBar->setIconSize(QSize(24, 24));
  m_toolBar->addAction(Action(kCmdOpen));
  m_toolBar->addSeparator();
  m_toolBar->addActions({Action(kCmdBack), Action(kCmdForward), Action(kCmdFind)});
  m_toolBar->addSeparator();
  m_toolBar->addAction(Action(kCmdAddBookmark));
  m_toolBar->addSeparator();
  m_toolBar->addAction(Action(kCmdHelp));
}

void CMainFrame::RebuildRecentFileMenu() {
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
    auto* action = new QAction(
        QStringLiteral("&%1 %2").arg(i + 1).arg(RecentFileList::ShortenedForMenu(path).replace(
            QLatin1Char('&'), QStringLiteral("&&"))),
        m_fileMenu);
    action->setStatusTip(QStringLiteral("Open this document"));
    connect(action, &QAction::triggered, this, [this, path] {
      if (!m_app.OpenDocumentFile(path) && !QFileInfo::exists(path)) {
        m_app.RecentFiles().Remove(path);
        RebuildRecentFileMenu();
      }
    });
    m_recentFileActions.append(action);
  }
  m_fileMenu->insertActions(m_recentFilesEnd, m_recentFileActions);
}

void CMainFrame::OnOpen() {
  const QString path = m_app.Dialogs().ChooseFileToOpen(
      this, QStringLiteral("Librovance Files (*.lv);;Palm Databases (*.pdb);;Text Files (*.txt)"));
  if (!path.isEmpty()) m_app.OpenDocumentFile(path);
}

void CMainFrame::OnHelp() {
  m_entryView->NavigateTo(HelpIndexPath(m_settings.helpPath, m_app.ProgramDir()));
}

bool CMainFrame::IsShowable(int subject) {
  TomeReader& reader = m_app.Document().Reader();
  return !reader.IsOpen() || (subject >= 0 && subject < reader.SubjectCount());
}

void CMainFrame::OnBack() {
  const int subject = m_history.Back([this](int s) { return IsShowable(s); });
  if (subject >= 0) m_entryView->ShowSubject(subject, -1, -1);
}

void CMainFrame::OnForward() {
  const int subject = m_history.Forward([this](int s) { return IsShowable(s); });
  if (subject >= 0) m_entryView->ShowSubject(subject, -1, -1);
}

void CMainFrame::OnPaste() {
  if (m_quickFindEdit->isEnabled()) m_quickFindEdit->paste();
}

void CMainFrame::OnSwitchPane(bool forward) {
  Q_UNUSED(forward);  // with two panes both directions lead to the other one
  if (m_subjectList->hasFocus()) {
    m_entryView->setFocus();
  } else {
    m_subjectList->setFocus();
  }
}

bool CMainFrame::QuickFindChar(int character) {
  if (!m_app.Document().IsTomeOpen()) return false;
  const qint64 now = m_clock();
  if (!m_keyTimeSet) {
    m_lastKeyTime = now;
    m_keyTimeSet = true;
  }
  QString text = m_quickFindEdit->text();
  if (now - m_lastKeyTime > m_settings.quickFindDelay) text.clear();
  const bool letterOrDigit = (character >= 'a' && character <= 'z') || (character >= 'A' && character <= 'Z') ||
                             (character >= '0' && character <= '9');
  if (character == 8) {
    text.chop(1);
  } else if (character == 27) {
    text.clear();
  } else if (letterOrDigit) {
    text.append(QChar(character));
  } else {
    return false;
  }
  if (text == m_quickFindEdit->text()) {
    OnQuickFindTextChanged(text);  // the box would not report an unchanged text
  } else {
    m_quickFindEdit->setText(text);
  }
  m_lastKeyTime = now;
  return true;
}

void CMainFrame::OnQuickFindTextChanged(const QString& text) {
  CLibrovanceDoc& document = m_app.Document();
  if (!document.IsTomeOpen()) return;
  const int subject = document.Reader().FindSubject(SubjectMatch::kPrefix, EncodeWindows1252(text));
  if (subject >= 0) {
    m_entryView->ShowSubject(subject, -1, -1);
    m_lastGoodText = text;
    return;
  }
  // Put the last good text back; when even that finds nothing in this tome, stop there.
  if (text != m_lastGoodText) m_quickFindEdit->setText(m_lastGoodText);
}

}  // namespace lv
