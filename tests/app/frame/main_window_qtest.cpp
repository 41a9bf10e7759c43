// The whole program on a real window without a display: start-up order, the panes wired together,
// menus and keys, status prompts, the font bar, the quick find and Back/Forward, opening files.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QSplitter>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include <QClipboard>
#include <QGuiApplication>
#include <QSignalSpy>

#include "app/views/subject_list_model.h"
#include "app_fixture.h"

using namespace lv;

namespace {

QString ShownSubject(AppHarness& harness) {
  return harness.List().Model()->index(harness.List().SelectionMark(), 0).data().toString();
}

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void firstStartHasNoTomeAndDefaultSettings() {
    AppHarness harness;
    harness.Start();
    QCOMPARE(harness.Doc().Kind(), DocumentKind::kNothing);
    QCOMPARE(harness.Window().windowTitle(), QStringLiteral("Untitled - Librovance"));
    QVERIFY(!harness.QuickFindEdit()->isEnabled());
    QCOMPARE(harness.ShownPageName(), QStringLiteral("startup.htm"));
    QCOMPARE(harness.List().Model()->rowCount(), 0);
    QCOMPARE(harness.List().BackgroundColour(), QColor(203, 194, 181));
    QCOMPARE(harness.Window().statusBar()->currentMessage(), QStringLiteral("Ready"));
    harness.Close();
    QCOMPARE(harness.ReadSetting(QStringLiteral("LastTome")).toString(), QString());
    QCOMPARE(harness.ReadSetting(QStringLiteral("QuickFindDelay")).toInt(), 15);
    QCOMPARE(harness.ReadSetting(QStringLiteral("FontSize")).toString(), QStringLiteral("12"));
  }

  void commandLineFileWinsOverLastFile() {
    AppHarness harness;
    const QString other = MakeTome(harness.Dir(), QStringLiteral("other book.lv"), {"Zebra\tStriped."});
    harness.WriteSettings({{"LoadLastFile", 1}, {"LastTome", harness.FruitTome()}});
    harness.Start({QStringLiteral("\"%1\"").arg(other)});
    QCOMPARE(harness.Doc().Path(), other);
    QCOMPARE(harness.Window().windowTitle(), QStringLiteral("other book.lv - Librovance"));
    QCOMPARE(harness.List().Model()->rowCount(), 1);
    QCOMPARE(harness.ShownPageName(), QStringLiteral("data.htm"));
    harness.Close();
    QCOMPARE(harness.ReadSetting(QStringLiteral("LastTome")).toString(), other);
  }

  void lastFileOpensWhenAsked() {
    AppHarness harness;
    harness.WriteSettings({{"LoadLastFile", 1}, {"LastTome", harness.FruitTome()}});
    harness.Start();
    QCOMPARE(harness.Doc().Kind(), DocumentKind::kTome);
    QCOMPARE(harness.List().Model()->rowCount(), FruitLines().size());
    QCOMPARE(harness.List().SelectionMark(), 0);
    QVERIFY(harness.QuickFindEdit()->isEnabled());
    QVERIFY(harness.PageBytes().contains("<h2>Abacus</h2>"));
  }

  void lastFileStaysClosedWithoutTheSetting() {
    AppHarness harness;
    harness.WriteSettings({{"LoadLastFile", 0}, {"LastTome", harness.FruitTome()}});
    harness.Start();
    QCOMPARE(harness.Doc().Kind(), DocumentKind::kNothing);
  }

  // The defaults of a first start, as the user meets them in the first pages.
  void defaultsShapeTheFirstPages() {
    AppHarness harness;
    harness.Start({harness.FruitTome()});
    QCOMPARE(harness.Window().findChild<QComboBox*>(QStringLiteral("sizeCombo"))->currentText(), QStringLiteral("12"));
    QVERIFY(harness.PageBytes().contains("<body background=\"res://librovance.exe/#2/#192\"><font size=3 face="));
    QCOMPARE(harness.List().BackgroundColour(), QColor(203, 194, 181));
    // The quick-find text goes on for 15 seconds after a key, and starts afresh after that.
    harness.QuickFind().TypeCharacter('a');
    harness.now += 15;
    harness.QuickFind().TypeCharacter('b');
    QCOMPARE(harness.QuickFindEdit()->text(), QStringLiteral("ab"));
    harness.now += 16;
    harness.QuickFind().TypeCharacter('c');
    QCOMPARE(harness.QuickFindEdit()->text(), QStringLiteral("c"));
  }

  // Each key runs its command; the commands whose dialogs are still to come are shown but do not run.
  void keysRunTheirCommands_data() {
    QTest::addColumn<QString>("keys");
    QTest::addColumn<int>("command");
    QTest::addColumn<bool>("runs");
    QTest::newRow("open") << "Ctrl+O" << int(CommandId::kOpen) << true;
    QTest::newRow("print") << "Ctrl+P" << int(CommandId::kPrint) << true;
    QTest::newRow("paste") << "Ctrl+V" << int(CommandId::kPaste) << true;
    QTest::newRow("paste, old key") << "Shift+Ins" << int(CommandId::kPaste) << true;
    QTest::newRow("help") << "F1" << int(CommandId::kHelp) << true;
    QTest::newRow("next pane") << "F6" << int(CommandId::kNextPane) << true;
    QTest::newRow("previous pane") << "Shift+F6" << int(CommandId::kPreviousPane) << true;
    QTest::newRow("find") << "Ctrl+F" << int(CommandId::kFind) << true;
    QTest::newRow("find next") << "F3" << int(CommandId::kFindNext) << true;
    QTest::newRow("add bookmark") << "Ctrl+B" << int(CommandId::kAddBookmark) << true;
    QTest::newRow("add favourite") << "Ctrl+D" << int(CommandId::kAddFavourite) << true;
  }
  void keysRunTheirCommands() {
    QFETCH(QString, keys);
    QFETCH(int, command);
    QFETCH(bool, runs);
    AppHarness harness;
    harness.Start({harness.FruitTome()});
    harness.Window().show();
    QVERIFY(QTest::qWaitForWindowActive(&harness.Window()));
    harness.List().setFocus();
    QSignalSpy triggered(harness.Window().Action(CommandId(command)), &QAction::triggered);
    QTest::keySequence(QApplication::focusWidget(), QKeySequence(keys));
    QCOMPARE(triggered.size(), runs ? 1 : 0);
  }

  void commandsDoWhatTheySay() {
    AppHarness harness;
    harness.Start({harness.FruitTome()});
    harness.Window().show();
    QVERIFY(QTest::qWaitForWindowActive(&harness.Window()));
    MainWindow& window = harness.Window();
    window.Action(CommandId::kOpen)->trigger();
    QCOMPARE(harness.dialogs.openRequests, 1);
    window.Action(CommandId::kPrint)->trigger();
    QCOMPARE(harness.dialogs.printerRequests, 1);
    window.Action(CommandId::kAbout)->trigger();
    QCOMPARE(harness.dialogs.aboutRequests, 1);
    harness.List().setFocus();
    window.Action(CommandId::kNextPane)->trigger();
    QVERIFY(harness.View().hasFocus());
    window.Action(CommandId::kPreviousPane)->trigger();
    QVERIFY(harness.List().hasFocus());
    window.Action(CommandId::kExit)->trigger();
    QVERIFY(!window.isVisible());
    QCOMPARE(harness.ReadSetting(QStringLiteral("LastTome")).toString(), harness.FruitTome());
  }

  // The menus offer their commands in order; a highlighted command shows its prompt in the status
  // bar, and a tool bar button its tool tip.
  void menusOfferTheirCommands() {
    AppHarness harness;
    harness.Start();
    QStringList titles;
    QList<QList<CommandId>> commands;
    for (QAction* menu : harness.Window().menuBar()->actions()) {
      titles << menu->text();
      QList<CommandId> items;
      for (QAction* item : menu->menu()->actions()) {
        if (item->data().isValid()) items << CommandId(item->data().toInt());
      }
      commands << items;
    }
    QCOMPARE(titles, (QStringList{"&File", "&Edit", "&Bookmarks", "Favourites", "&Help"}));
    using enum CommandId;
    QCOMPARE(commands, (QList<QList<CommandId>>{{kOpen, kImport, kHotSync, kExit},
                                                {kFind, kFindNext, kPreferences},
                                                {kAddBookmark, kRemoveBookmark},
                                                {kAddFavourite, kRemoveFavourite},
                                                {kHelp, kAbout}}));
    QList<CommandId> buttons;
    for (QAction* button : harness.Window().findChild<QToolBar*>(QStringLiteral("toolBar"))->actions()) {
      if (button->data().isValid()) buttons << CommandId(button->data().toInt());
    }
    QCOMPARE(buttons, (QList<CommandId>{kOpen, kBack, kForward, kFind, kAddBookmark, kHelp}));
  }

  void highlightedCommandsShowTheirPrompts_data() {
    QTest::addColumn<int>("command");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("prompt");
    QTest::addColumn<QString>("toolTip");
    QTest::newRow("open") << int(CommandId::kOpen) << "&Open...\tCtrl+O"
                          << "Open an existing document"
                          << "Open";
    QTest::newRow("import") << int(CommandId::kImport) << "Import..."
                            << "Import a Tagged Text or Tab Separated file"
                            << "";
    QTest::newRow("hotsync") << int(CommandId::kHotSync) << "HotSync to PalmOS..."
                             << "Convert this file to Palm format and queue it for HotSyncing"
                             << "";
    QTest::newRow("exit") << int(CommandId::kExit) << "E&xit"
                          << "Quit the application; prompts to save documents"
                          << "Exit";
    QTest::newRow("find") << int(CommandId::kFind) << "&Find \tCtrl+F"
                          << "Search within the document"
                          << "Find";
    QTest::newRow("find next") << int(CommandId::kFindNext) << "Find &Next \tF3"
                               << "Find next match"
                               << "";
    QTest::newRow("preferences") << int(CommandId::kPreferences) << "Preferences"
                                 << "Edit Librovance Preferences"
                                 << "";
    QTest::newRow("add bookmark") << int(CommandId::kAddBookmark) << "&Add Bookmark \tCtrl+B"
                                  << "Bookmark this page."
                                  << "Add Bookmark";
    QTest::newRow("remove bookmark") << int(CommandId::kRemoveBookmark) << "&Remove Bookmark"
                                     << "Edit Bookmarks"
                                     << "";
    QTest::newRow("add favourite") << int(CommandId::kAddFavourite) << "&Add Favourite \tCtrl+D"
                                   << "Add this Tome to the favourites list."
                                   << "";
    QTest::newRow("remove favourite") << int(CommandId::kRemoveFavourite) << "&Remove Favourite"
                                      << "Edit the favourites list"
                                      << "";
    QTest::newRow("back") << int(CommandId::kBack) << "Back"
                          << "Go back to the last page viewed"
                          << "";
    QTest::newRow("forward") << int(CommandId::kForward) << "Forward"
                             << "Go back to the next page in the list"
                             << "";
    QTest::newRow("help") << int(CommandId::kHelp) << "Help\tF1"
                          << ""
                          << "Help";
    QTest::newRow("about") << int(CommandId::kAbout) << "&About Librovance..."
                           << "Help"
                           << "";
  }
  void highlightedCommandsShowTheirPrompts() {
    QFETCH(int, command);
    QFETCH(QString, text);
    QFETCH(QString, prompt);
    QFETCH(QString, toolTip);
    AppHarness harness;
    harness.Start();
    QAction* action = harness.Window().Action(CommandId(command));
    QCOMPARE(action->text(), text);
    QMenu* menu = nullptr;
    for (QObject* holder : action->associatedObjects()) {
      if (auto* found = qobject_cast<QMenu*>(holder)) menu = found;
    }
    if (menu != nullptr && menu->isEnabled() && action->isEnabled()) {
      harness.Window().show();
      QVERIFY(QTest::qWaitForWindowExposed(&harness.Window()));
      menu->popup(harness.Window().geometry().center());
      QVERIFY(QTest::qWaitForWindowExposed(menu));
      menu->setActiveAction(action);
      // Between prompts the bar says "Ready".
      QCOMPARE(harness.Window().statusBar()->currentMessage(), prompt.isEmpty() ? QStringLiteral("Ready") : prompt);
    } else {
      // A disabled item (or one in a disabled menu) shows no prompt, and a tool bar button shows it on hover.
      QCOMPARE(action->statusTip(), prompt);
    }
    if (!toolTip.isEmpty()) QCOMPARE(action->toolTip(), toolTip);
  }

  // Tool bar, quick-find bar and font bar stand in one row, in that order, with their labels.
  void barsStandInOneRow() {
    AppHarness harness;
    harness.Start();
    harness.Window().show();
    QVERIFY(QTest::qWaitForWindowExposed(&harness.Window()));
    auto* tools = harness.Window().findChild<QToolBar*>(QStringLiteral("toolBar"));
    auto* quickFind = harness.Window().findChild<QToolBar*>(QStringLiteral("quickFindBar"));
    auto* font = harness.Window().findChild<QToolBar*>(QStringLiteral("fontBar"));
    QCOMPARE(quickFind->y(), tools->y());
    QCOMPARE(font->y(), tools->y());
    QVERIFY(tools->x() < quickFind->x());
    QVERIFY(quickFind->x() < font->x());
    auto labelsOf = [](QWidget* widget) {
      QStringList texts;
      for (const QLabel* label : widget->findChildren<QLabel*>()) texts << label->text();
      return texts;
    };
    QCOMPARE(labelsOf(quickFind), QStringList{QStringLiteral("Quick Find:")});
    QCOMPARE(labelsOf(font), (QStringList{QStringLiteral("Font:"), QStringLiteral("Size:")}));
  }

  void splitterGivesTheListAQuarter() {
    AppHarness harness;
    harness.Start({harness.FruitTome()});
    harness.Window().show();
    QVERIFY(QTest::qWaitForWindowExposed(&harness.Window()));
    auto* splitter = harness.Window().findChild<QSplitter*>(QStringLiteral("splitter"));
    QCOMPARE(splitter->widget(0), static_cast<QWidget*>(&harness.List()));
    QCOMPARE(splitter->widget(1), static_cast<QWidget*>(&harness.View()));
    const int list = harness.List().width();
    const int view = harness.View().width();
    const int handle = splitter->handleWidth();
    QVERIFY2(list * 3 <= view + handle + 4 && list * 3 >= view - handle - 4,
             qPrintable(QStringLiteral("list %1, view %2").arg(list).arg(view)));
  }

  // A subject chosen in the list is shown by the entry view, marked in the list and recorded in the
  // history; keys typed in either pane go to the quick find.
  void panesWorkTogether() {
    AppHarness harness;
    harness.Start({harness.FruitTome()});
    harness.Window().show();
    QVERIFY(QTest::qWaitForWindowExposed(&harness.Window()));
    SubjectListView& list = harness.List();
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.visualRect(list.Model()->index(3, 0)).center());
    QCOMPARE(list.SelectionMark(), 3);
    QVERIFY(harness.PageBytes().contains("<h2>Banana</h2>"));
    QTest::keyClick(&list, Qt::Key_Down);
    QCOMPARE(list.SelectionMark(), 4);
    QVERIFY(harness.PageBytes().contains("<h2>Big Ben</h2>"));
    QCOMPARE(harness.Window().History().EntryAt(harness.Window().History().Cursor()), 4);

    QTest::keyClicks(&list, QStringLiteral("ch"));
    QCOMPARE(harness.QuickFindEdit()->text(), QStringLiteral("ch"));
    QCOMPARE(list.SelectionMark(), Fruit("Cherry"));
    QVERIFY(harness.PageBytes().contains("<h2>Cherry</h2>"));

    harness.now += 100;
    QTest::keyRelease(&harness.View(), Qt::Key_G);
    QCOMPARE(harness.QuickFindEdit()->text(), QStringLiteral("G"));
    QCOMPARE(list.SelectionMark(), Fruit("Grape"));
    QTest::keyRelease(&harness.View(), Qt::Key_Backspace);
    QCOMPARE(harness.QuickFindEdit()->text(), QString());
    // A link in the page moves the list too.
    QVERIFY(harness.View().FollowLink(QStringLiteral("tome::Date")));
    QCOMPARE(list.SelectionMark(), Fruit("Date"));
  }

  void pasteKeysFillTheQuickFindFromAnyPane() {
    AppHarness harness;
    harness.Start({harness.FruitTome()});
    harness.Window().show();
    QVERIFY(QTest::qWaitForWindowExposed(&harness.Window()));
    QGuiApplication::clipboard()->setText(QStringLiteral("ch"));
    harness.View().setFocus();
    QTest::keyClick(&harness.View(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(harness.QuickFindEdit()->text(), QStringLiteral("ch"));
    QCOMPARE(harness.List().SelectionMark(), Fruit("Cherry"));
    harness.QuickFindEdit()->clear();
    harness.List().setFocus();
    QTest::keyClick(&harness.List(), Qt::Key_Insert, Qt::ShiftModifier);
    QCOMPARE(harness.QuickFindEdit()->text(), QStringLiteral("ch"));
  }

  void textFileSetsTheTomeCommandsAside() {
    AppHarness harness;
    harness.Start({harness.FruitTome()});
    QVERIFY(!harness.App().OpenFile(harness.Path(QStringLiteral("absent.txt"))));
    // A text file that cannot be read changes nothing: the tome stays, with its commands.
    QCOMPARE(harness.ShownPageName(), QStringLiteral("data.htm"));
    QVERIFY(harness.QuickFindEdit()->isEnabled());
    QVERIFY(harness.Window().menuBar()->actions().at(2)->isEnabled());

    const QString text = harness.Path(QStringLiteral("notes.txt"));
    QFile file(text);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("First line\r\nSecond line");
    file.close();
    QVERIFY(harness.App().OpenFile(text));
    QVERIFY(!harness.QuickFindEdit()->isEnabled());
    QVERIFY(!harness.Window().menuBar()->actions().at(2)->isEnabled());
    QCOMPARE(harness.List().Model()->rowCount(), 0);
    QVERIFY(harness.PageBytes().contains("<font size=\"3\" face="));
    QCOMPARE(harness.ShownPageName(), QStringLiteral("data.htm"));
    QVERIFY(harness.View().toPlainText().contains(QStringLiteral("Second line")));
    QCOMPARE(harness.Window().windowTitle(), QStringLiteral("notes.txt - Librovance"));
    // A new font size builds the text page again.
    auto* sizes = harness.Window().findChild<QComboBox*>(QStringLiteral("sizeCombo"));
    sizes->setCurrentIndex(sizes->findText(QStringLiteral("24")));
    QVERIFY(harness.PageBytes().contains("<font size=\"6\" face="));
    // A tome opened afterwards enables the tome's commands again.
    QVERIFY(harness.App().OpenFile(harness.FruitTome()));
    QVERIFY(harness.QuickFindEdit()->isEnabled());
    QVERIFY(harness.Window().menuBar()->actions().at(2)->isEnabled());
  }

  void pageBackgroundSettingReachesListAndPage() {
    AppHarness harness;
    harness.WriteSettings({{"PageBackground", 0}, {"BackRValue", 0}, {"BackGValue", 128}, {"BackBValue", 15}});
    harness.Start({harness.FruitTome()});
    QCOMPARE(harness.List().BackgroundColour(), QColor(0, 128, 15));
    QVERIFY(harness.PageBytes().contains("<body bgcolor = \"00800f\">"));
  }

  void commandLinePath_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("path");
    QTest::newRow("none") << QStringList{"librovance"} << QString();
    QTest::newRow("plain") << QStringList{"librovance", "/b/x.lv"} << QStringLiteral("/b/x.lv");
    QTest::newRow("quoted with blanks") << QStringList{"librovance", "\"/b/my book.lv\""}
                                        << QStringLiteral("/b/my book.lv");
    QTest::newRow("split by the shell") << QStringList{"librovance", "/b/my", "book.lv"}
                                        << QStringLiteral("/b/my book.lv");
  }
  void commandLinePath() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, path);
    QCOMPARE(Application::CommandLinePath(arguments), path);
  }

  void applyFontSetsListPagesAndSettings() {
    AppHarness harness;
    // The first face beginning with the setting, in any case; the first size beginning with "1" after "8".
    harness.WriteSettings({{"FontType", "liberation ser"}, {"FontSize", "1"}});
    harness.Start({harness.FruitTome()});
    auto* sizes = harness.Window().findChild<QComboBox*>(QStringLiteral("sizeCombo"));
    auto* faces = harness.Window().findChild<QComboBox*>(QStringLiteral("fontCombo"));
    QCOMPARE(sizes->currentText(), QStringLiteral("10"));
    QCOMPARE(faces->currentText(), QStringLiteral("Liberation Serif"));
    QCOMPARE(harness.List().font().pixelSize(), 14);
    QCOMPARE(harness.App().CurrentPageSettings().entryFontSize, 2);

    harness.View().ShowSubject(Fruit("Cherry"));
    sizes->setCurrentIndex(sizes->findText(QStringLiteral("36")));
    QCOMPARE(harness.List().font().pixelSize(), 40);
    QCOMPARE(harness.App().CurrentPageSettings().entryFontSize, 7);
    QCOMPARE(harness.Doc().PlainPageFontSize(), 7);
    QCOMPARE(harness.App().Settings().fontSize, QStringLiteral("36"));
    // The entry on display is drawn again with the new size.
    QVERIFY(harness.PageBytes().contains("<font size=7 face="));
    QVERIFY(harness.PageBytes().contains("<h2>Cherry</h2>"));

    const int other = faces->currentIndex() == 0 ? 1 : 0;
    faces->setCurrentIndex(other);
    QCOMPARE(harness.App().Settings().fontType, faces->itemText(other));
    QCOMPARE(harness.Doc().PlainPageFontFace(), faces->itemText(other));
    QVERIFY(harness.PageBytes().contains(("face=\"" + faces->itemText(other) + "\"").toLatin1()));
    harness.Close();
    QCOMPARE(harness.ReadSetting(QStringLiteral("FontSize")).toString(), QStringLiteral("36"));
  }

  void quickFindTypesAndRestores() {
    AppHarness harness;
    harness.Start({harness.FruitTome()});
    QuickFindBar& quickFind = harness.QuickFind();
    QLineEdit* box = harness.QuickFindEdit();
    QVERIFY(quickFind.TypeCharacter('a'));
    QVERIFY(quickFind.TypeCharacter('p'));
    QCOMPARE(box->text(), QStringLiteral("ap"));
    QCOMPARE(harness.List().SelectionMark(), Fruit("Apple"));
    // "apz" matches nothing: the last good text comes back and the display stays.
    QVERIFY(quickFind.TypeCharacter('z'));
    QCOMPARE(box->text(), QStringLiteral("ap"));
    QCOMPARE(harness.List().SelectionMark(), Fruit("Apple"));
    QVERIFY(quickFind.TypeCharacter(8));
    QCOMPARE(box->text(), QStringLiteral("a"));
    QVERIFY(quickFind.TypeCharacter(27));
    QCOMPARE(box->text(), QString());
    QVERIFY(quickFind.TypeCharacter(8));  // Backspace on an empty box leaves it empty
    QCOMPARE(box->text(), QString());
    for (int refused : {int(' '), int('.'), int('-'), 0xE9, 0x20AC}) QVERIFY(!quickFind.TypeCharacter(refused));
  }

  void quickFindStartsAfreshAfterTheDelay() {
    AppHarness harness;
    harness.WriteSettings({{"QuickFindDelay", 2}});
    harness.Start({harness.FruitTome()});
    QuickFindBar& quickFind = harness.QuickFind();
    quickFind.TypeCharacter('a');
    quickFind.TypeCharacter('b');
    QVERIFY(ShownSubject(harness).startsWith(QStringLiteral("Ab")));
    harness.now += 2;  // not more than the delay: the text goes on
    quickFind.TypeCharacter('b');
    QCOMPARE(harness.QuickFindEdit()->text(), QStringLiteral("abb"));
    QCOMPARE(harness.List().SelectionMark(), Fruit("Abbey"));
    harness.now += 3;  // more than the delay: a new text
    quickFind.TypeCharacter('c');
    QCOMPARE(harness.QuickFindEdit()->text(), QStringLiteral("c"));
    QVERIFY(ShownSubject(harness).startsWith(QStringLiteral("C")));
  }

  void quickFindRestoreStopsWhenNothingMatches() {
    AppHarness harness;
    harness.Start({harness.FruitTome()});
    harness.QuickFind().TypeCharacter('g');
    QCOMPARE(harness.List().SelectionMark(), Fruit("Grape"));
    // In a tome without a "g" subject even the last good text finds nothing: no endless restoring.
    const QString other = MakeTome(harness.Dir(), QStringLiteral("z.lv"), {"Xylophone\tMusic.", "Zebra\tStriped."});
    QVERIFY(harness.App().OpenFile(other));
    harness.QuickFindEdit()->setText(QStringLiteral("q"));
    QCOMPARE(harness.QuickFindEdit()->text(), QStringLiteral("g"));
    QCOMPARE(harness.List().SelectionMark(), 0);
    harness.now += 100;  // after a pause the text starts afresh
    QVERIFY(harness.QuickFind().TypeCharacter('z'));
    QCOMPARE(harness.List().SelectionMark(), 1);
  }

  void quickFindNeedsATome() {
    AppHarness harness;
    harness.Start();
    QVERIFY(!harness.QuickFind().TypeCharacter('a'));
  }

  void backAndForwardWalkTheHistory() {
    AppHarness harness;
    harness.Start({harness.FruitTome()});
    for (const char* subject : {"Banana", "Date", "Fig"}) harness.View().ShowSubject(Fruit(subject));
    harness.Window().Action(CommandId::kBack)->trigger();
    QCOMPARE(harness.List().SelectionMark(), Fruit("Date"));
    harness.Window().Action(CommandId::kBack)->trigger();
    QCOMPARE(harness.List().SelectionMark(), Fruit("Banana"));
    harness.Window().Action(CommandId::kForward)->trigger();
    QCOMPARE(harness.List().SelectionMark(), Fruit("Date"));
    QVERIFY(harness.PageBytes().contains("<h2>Date</h2>"));
    // In a smaller tome, entries it does not have are passed over.
    const QString small = MakeTome(harness.Dir(), QStringLiteral("small.lv"), {"One\t1", "Two\t2"});
    QVERIFY(harness.App().OpenFile(small));
    harness.View().ShowSubject(1);
    harness.Window().Action(CommandId::kBack)->trigger();
    QCOMPARE(harness.List().SelectionMark(), 0);
  }

  void failedOpenLeavesNoPathBehind() {
    AppHarness harness;
    harness.Start({harness.FruitTome()});
    const QString broken = harness.Path(QStringLiteral("broken.lv"));
    QFile file(broken);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("not a tome at all");
    file.close();
    QVERIFY(!harness.App().OpenFile(broken));
    QVERIFY(harness.Doc().Path().isEmpty());
    QCOMPARE(harness.Window().windowTitle(), QStringLiteral("Untitled - Librovance"));
    QCOMPARE(harness.List().Model()->rowCount(), 0);
    QCOMPARE(harness.ShownPageName(), QStringLiteral("startup.htm"));
    harness.Close();
    QCOMPARE(harness.ReadSetting(QStringLiteral("LastTome")).toString(), QString());
  }

  void openCommandUsesTheChosenFile() {
    AppHarness harness;
    harness.Start();
    harness.dialogs.filesToOpen << harness.FruitTome();
    harness.Window().Action(CommandId::kOpen)->trigger();
    QCOMPARE(harness.Doc().Kind(), DocumentKind::kTome);
    QCOMPARE(harness.App().RecentFiles().Paths().value(0), harness.FruitTome());
    harness.Window().Action(CommandId::kOpen)->trigger();  // cancelled: nothing changes
    QCOMPARE(harness.Doc().Path(), harness.FruitTome());
  }

  void droppedFilesAreOpened() {
    AppHarness harness;
    harness.Start();
    const QString other = MakeTome(harness.Dir(), QStringLiteral("dropped.lv"), {"Zebra\tStriped."});
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(harness.FruitTome()), QUrl::fromLocalFile(other)});
    QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&harness.Window(), &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&harness.Window(), &drop);
    // One document at a time: the last file dropped stays open.
    QCOMPARE(harness.Doc().Path(), other);
    QCOMPARE(harness.App().RecentFiles().Paths(), (QStringList{other, harness.FruitTome()}));
  }

  void recentFilesAreRememberedAndOffered() {
    AppHarness harness;
    harness.Start({harness.FruitTome()});
    harness.Close();
    harness.Start();  // the next run of the program, with the same settings
    QVERIFY(harness.Doc().Path().isEmpty());
    QList<QAction*> items = harness.Window().findChildren<QAction*>();
    QAction* recent = nullptr;
    for (QAction* item : items) {
      if (item->text().startsWith(QStringLiteral("&1 "))) recent = item;
    }
    QVERIFY(recent != nullptr);
    recent->trigger();
    QCOMPARE(harness.Doc().Path(), harness.FruitTome());
  }

  void helpShowsTheHelpIndex() {
    AppHarness harness;
    harness.Start();
    harness.Window().Action(CommandId::kHelp)->trigger();
    QCOMPARE(harness.ShownPageName(), QStringLiteral("index.html"));
    QVERIFY(harness.View().toPlainText().contains(QStringLiteral("Librovance Help")));
  }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_qtest.moc"
