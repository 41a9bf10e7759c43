// The main window: start-up order, menus and keys, status prompts, the font bar, the quick find
// and Back/Forward, driven on a real window without a display.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QMenuBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include "app_fixture.h"
#include "docview/qt/subject_list_model.h"

using namespace lv;

namespace {

int IndexOf(const QStringList& lines, const QString& subject) {
  for (int i = 0; i < lines.size(); ++i) {
    if (lines[i].startsWith(subject + QLatin1Char('\t'))) return i;
  }
  return -1;
}

int Fruit(const char* subject) { return IndexOf(FruitLines(), QString::fromLatin1(subject)); }

QString ShownSubject(AppHarness& harness) {
  return harness.List().Model()->index(harness.List().SelectionMark(), 0).data().toString();
}

}  // namespace

class MainFrameTest : public QObject {
  Q_OBJECT

 private slots:
  void firstStartHasNoTomeAndDefaultSettings() {
    AppHarness harness;
    harness.Start();
    QCOMPARE(harness.Doc().Kind(), int(CLibrovanceDoc::kNothing));
    QCOMPARE(harness.Frame().windowTitle(), QStringLiteral("Untitled - Librovance"));
    QVERIFY(!harness.QuickFindEdit()->isEnabled());
    QCOMPARE(harness.ShownPageName(), QStringLiteral("startup.htm"));
    QCOMPARE(harness.List().Model()->rowCount(), 0);
    QCOMPARE(harness.List().BackgroundColour(), QColor(203, 194, 181));
    QCOMPARE(harness.Frame().statusBar()->currentMessage(), QStringLiteral("Ready"));
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
    QCOMPARE(harness.Doc().PathName(), other);
    QCOMPARE(harness.Frame().windowTitle(), QStringLiteral("other book.lv - Librovance"));
    QCOMPARE(harness.List().Model()->rowCount(), 1);
    QCOMPARE(harness.ShownPageName(), QStringLiteral("data.htm"));
    harness.Close();
    QCOMPARE(harness.ReadSetting(QStringLiteral("LastTome")).toString(), other);
  }

  void lastFileOpensWhenAsked() {
    AppHarness harness;
    harness.WriteSettings({{"LoadLastFile", 1}, {"LastTome", harness.FruitTome()}});
    harness.Start();
    QCOMPARE(harness.Doc().Kind(), int(CLibrovanceDoc::kTome));
    QCOMPARE(harness.List().Model()->rowCount(), FruitLines().size());
    QCOMPARE(harness.List().SelectionMark(), 0);
    QVERIFY(harness.QuickFindEdit()->isEnabled());
    QVERIFY(harness.PageBytes().contains("<h2>Abacus</h2>"));
  }

  void lastFileStaysClosedWithoutTheSetting() {
    AppHarness harness;
    harness.WriteSettings({{"LoadLastFile", 0}, {"LastTome", harness.FruitTome()}});
    harness.Start();
    QCOMPARE(harness.Doc().Kind(), int(CLibrovanceDoc::kNothing));
  }

  void menusCarryTheirTextsAndKeys_data() {
    QTest::addColumn<int>("command");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("prompt");
    QTest::newRow("open") << int(kCmdOpen) << "&Open...\tCtrl+O" << "Ctrl+O" << "Open an existing document";
    QTest::newRow("import") << int(kCmdImport) << "Import..." << "" << "Import a Tagged Text or Tab Separated file";
    QTest::newRow("hotsync") << int(kCmdHotSync) << "HotSync to PalmOS..." << ""
                             << "Convert this file to Palm format and queue it for HotSyncing";
    QTest::newRow("exit") << int(kCmdExit) << "E&xit" << "" << "Quit the application; prompts to save documents";
    QTest::newRow("find") << int(kCmdFind) << "&Find \tCtrl+F" << "Ctrl+F" << "Search within the document";
    QTest::newRow("find next") << int(kCmdFindNext) << "Find &Next \tF3" << "F3" << "Find next match";
    QTest::newRow("preferences") << int(kCmdPreferences) << "Preferences" << "" << "Edit Librovance Preferences";
    QTest::newRow("add bookmark") << int(kCmdAddBookmark) << "&Add Bookmark \tCtrl+B" << "Ctrl+B"
                                  << "Bookmark this page.";
    QTest::newRow("remove bookmark") << int(kCmdRemoveBookmark) << "&Remove Bookmark" << "" << "Edit Bookmarks";
    QTest::newRow("add favourite") << int(kCmdAddFavourite) << "&Add Favourite \tCtrl+D" << "Ctrl+D"
                                   << "Add this Tome to the favourites list.";
    QTest::newRow("remove favourite") << int(kCmdRemoveFavourite) << "&Remove Favourite" << ""
                                      << "Edit the favourites list";
    QTest::newRow("back") << int(kCmdBack) << "Back" << "" << "Go back to the last page viewed";
    QTest::newRow("forward") << int(kCmdForward) << "Forward" << "" << "Go back to the next page in the list";
    QTest::newRow("help") << int(kCmdHelp) << "Help\tF1" << "F1" << "";
    QTest::newRow("about") << int(kCmdAbout) << "&About Librovance..." << "" << "Help";
    QTest::newRow("print") << int(kCmdPrint) << "Print" << "Ctrl+P" << "";
    QTest::newRow("paste") << int(kCmdPaste) << "Paste" << "Ctrl+V" << "";
    QTest::newRow("next pane") << int(kCmdNextPane) << "Next Pane" << "F6" << "";
  }
  void menusCarryTheirTextsAndKeys() {
    QFETCH(int, command);
    QFETCH(QString, text);
    QFETCH(QString, keys);
    QFETCH(QString, prompt);
    AppHarness harness;
    harness.Start();
    QAction* action = harness.Frame().Action(command);
    QVERIFY(action != nullptr);
    QCOMPARE(action->text(), text);
    QCOMPARE(action->shortcut().toString(), keys);
    QCOMPARE(action->statusTip(), prompt);
  }

  void menuBarOrderAndOpenTooltip() {
    AppHarness harness;
    harness.Start();
    QStringList titles;
    for (QAction* menu : harness.Frame().menuBar()->actions()) titles << menu->text();
    QCOMPARE(titles, (QStringList{"&File", "&Edit", "&Bookmarks", "Favourites", "&Help"}));
    QCOMPARE(harness.Frame().Action(kCmdOpen)->toolTip(), QStringLiteral("Open"));
    QVERIFY(harness.Frame().Action(kCmdBack)->isEnabled());
    QVERIFY(!harness.Frame().Action(kCmdImport)->isEnabled());
  }

  void barsAndAboutCarryTheirTexts() {
    AppHarness harness;
    harness.Start();
    auto labelsOf = [](QWidget* widget) {
      QStringList texts;
      for (const QLabel* label : widget->findChildren<QLabel*>()) {
        if (!label->text().isEmpty()) texts << label->text();
      }
      return texts;
    };
    QCOMPARE(labelsOf(harness.Frame().findChild<QToolBar*>(QStringLiteral("quickFindBar"))),
             QStringList{QStringLiteral("Quick Find:")});
    QCOMPARE(labelsOf(harness.Frame().findChild<QToolBar*>(QStringLiteral("fontBar"))),
             (QStringList{QStringLiteral("Font:"), QStringLiteral("Size:")}));
    // The About box: its caption, a picture and the text "Version 2.8".
    QStringList aboutTexts;
    QString aboutCaption;
    QTimer::singleShot(0, [&] {
      QWidget* about = QApplication::activeModalWidget();
      if (about == nullptr) return;
      aboutCaption = about->windowTitle();
      aboutTexts = labelsOf(about);
      about->close();
    });
    QtUserDialogs().ShowAbout(&harness.Frame());
    QCOMPARE(aboutCaption, QStringLiteral("About Librovance"));
    QCOMPARE(aboutTexts, QStringList{QStringLiteral("Version 2.8")});
  }

  void splitterGivesTheListAQuarter() {
    AppHarness harness;
    harness.Start();
    auto* splitter = harness.Frame().findChild<QSplitter*>(QStringLiteral("splitter"));
    QVERIFY(splitter != nullptr);
    splitter->setSizes({250, 750});
    QCOMPARE(splitter->widget(0), static_cast<QWidget*>(&harness.List()));
    QCOMPARE(splitter->widget(1), static_cast<QWidget*>(&harness.View()));
    const QList<int> sizes = splitter->sizes();
    QVERIFY(sizes[0] * 3 <= sizes[1] + 3 && sizes[0] * 3 >= sizes[1] - 3);
  }

  void applyFontSetsListPagesAndSettings() {
    AppHarness harness;
    // The first face beginning with the setting, in any case; the first size beginning with "1" after "8".
    harness.WriteSettings({{"FontType", "liberation ser"}, {"FontSize", "1"}});
    harness.Start({harness.FruitTome()});
    auto* sizes = harness.Frame().findChild<QComboBox*>(QStringLiteral("sizeCombo"));
    auto* faces = harness.Frame().findChild<QComboBox*>(QStringLiteral("fontCombo"));
    QCOMPARE(sizes->currentText(), QStringLiteral("10"));
    QCOMPARE(faces->currentText(), QStringLiteral("Liberation Serif"));
    QCOMPARE(harness.List().font().pixelSize(), 14);
    QCOMPARE(harness.Doc().EntryPageFontSize(), 2);

    harness.View().ShowSubject(Fruit("Cherry"), -1, -1);
    sizes->setCurrentIndex(sizes->findText(QStringLiteral("36")));
    QCOMPARE(harness.List().font().pixelSize(), 40);
    QCOMPARE(harness.Doc().EntryPageFontSize(), 7);
    QCOMPARE(harness.Doc().PlainPageFontSize(), 7);
    QCOMPARE(harness.Frame().Settings().fontSize, QStringLiteral("36"));
    // The entry on display is drawn again with the new size.
    QVERIFY(harness.PageBytes().contains("<font size=7 face="));
    QVERIFY(harness.PageBytes().contains("<h2>Cherry</h2>"));

    const int other = faces->currentIndex() == 0 ? 1 : 0;
    faces->setCurrentIndex(other);
    QCOMPARE(harness.Frame().Settings().fontType, faces->itemText(other));
    QCOMPARE(harness.Doc().PlainPageFontFace(), faces->itemText(other));
    QVERIFY(harness.PageBytes().contains(("face=\"" + faces->itemText(other) + "\"").toLatin1()));
    harness.Close();
    QCOMPARE(harness.ReadSetting(QStringLiteral("FontSize")).toString(), QStringLiteral("36"));
  }

  void quickFindTypesAndRestores() {
    AppHarness harness;
    harness.Start({harness.FruitTome()});
    CMainFrame& frame = harness.Frame();
    QLineEdit* box = harness.QuickFindEdit();
    QVERIFY(frame.QuickFindChar('a'));
    QVERIFY(frame.QuickFindChar('p'));
    QCOMPARE(box->text(), QStringLiteral("ap"));
    QCOMPARE(harness.List().SelectionMark(), Fruit("Apple"));
    // "apz" matches nothing: the last good text comes back and the display stays.
    QVERIFY(frame.QuickFindChar('z'));
    QCOMPARE(box->text(), QStringLiteral("ap"));
    QCOMPARE(harness.List().SelectionMark(), Fruit("Apple"));
    QVERIFY(frame.QuickFindChar(8));
    QCOMPARE(box->text(), QStringLiteral("a"));
    QVERIFY(frame.QuickFindChar(27));
    QCOMPARE(box->text(), QString());
    QVERIFY(frame.QuickFindChar(8));  // Backspace on an empty box leaves it empty
    QCOMPARE(box->text(), QString());
    for (int refused : {int(' '), int('.'), int('-'), 0xE9, 0x20AC}) QVERIFY(!frame.QuickFindChar(refused));
  }

  void quickFindStartsAfreshAfterTheDelay() {
    AppHarness harness;
    harness.WriteSettings({{"QuickFindDelay", 2}});
    harness.Start({harness.FruitTome()});
    CMainFrame& frame = harness.Frame();
    frame.QuickFindChar('a');
    frame.QuickFindChar('b');
    QVERIFY(ShownSubject(harness).startsWith(QStringLiteral("Ab")));
    harness.now += 2;  // not more than the delay: the text goes on
    frame.QuickFindChar('b');
    QCOMPARE(harness.QuickFindEdit()->text(), QStringLiteral("abb"));
    QCOMPARE(harness.List().SelectionMark(), Fruit("Abbey"));
    harness.now += 3;  // more than the delay: a new text
    frame.QuickFindChar('c');
    QCOMPARE(harness.QuickFindEdit()->text(), QStringLiteral("c"));
    QVERIFY(ShownSubject(harness).startsWith(QStringLiteral("C")));
  }

  void quickFindRestoreStopsWhenNothingMatches() {
    AppHarness harness;
    harness.Start({harness.FruitTome()});
    harness.Frame().QuickFindChar('g');
    QCOMPARE(harness.List().SelectionMark(), Fruit("Grape"));
    // In a tome without a "g" subject even the last good text finds nothing: no endless restoring.
    const QString other = MakeTome(harness.Dir(), QStringLiteral("z.lv"), {"Xylophone\tMusic.", "Zebra\tStriped."});
    QVERIFY(harness.App().OpenDocumentFile(other));
    harness.QuickFindEdit()->setText(QStringLiteral("q"));
    QCOMPARE(harness.QuickFindEdit()->text(), QStringLiteral("g"));
    QCOMPARE(harness.List().SelectionMark(), 0);
    harness.now += 100;  // after a pause the text starts afresh
    QVERIFY(harness.Frame().QuickFindChar('z'));
    QCOMPARE(harness.List().SelectionMark(), 1);
  }

  void quickFindNeedsATome() {
    AppHarness harness;
    harness.Start();
    QVERIFY(!harness.Frame().QuickFindChar('a'));
  }

  void backAndForwardWalkTheHistory() {
    AppHarness harness;
    harness.Start({harness.FruitTome()});
    for (const char* subject : {"Banana", "Date", "Fig"}) harness.View().ShowSubject(Fruit(subject), -1, -1);
    harness.Frame().Action(kCmdBack)->trigger();
    QCOMPARE(harness.List().SelectionMark(), Fruit("Date"));
    harness.Frame().Action(kCmdBack)->trigger();
    QCOMPARE(harness.List().SelectionMark(), Fruit("Banana"));
    harness.Frame().Action(kCmdForward)->trigger();
    QCOMPARE(harness.List().SelectionMark(), Fruit("Date"));
    QVERIFY(harness.PageBytes().contains("<h2>Date</h2>"));
    // In a smaller tome, entries it does not have are passed over.
    const QString small = MakeTome(harness.Dir(), QStringLiteral("small.lv"), {"One\t1", "Two\t2"});
    QVERIFY(harness.App().OpenDocumentFile(small));
    harness.View().ShowSubject(1, -1, -1);
    harness.Frame().Action(kCmdBack)->trigger();
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
    QVERIFY(!harness.App().OpenDocumentFile(broken));
    QVERIFY(harness.Doc().PathName().isEmpty());
    QCOMPARE(harness.Frame().windowTitle(), QStringLiteral("Untitled - Librovance"));
    QCOMPARE(harness.List().Model()->rowCount(), 0);
    QCOMPARE(harness.ShownPageName(), QStringLiteral("startup.htm"));
    harness.Close();
    QCOMPARE(harness.ReadSetting(QStringLiteral("LastTome")).toString(), QString());
  }

  void openCommandUsesTheChosenFile() {
    AppHarness harness;
    harness.Start();
    harness.dialogs.filesToOpen << harness.FruitTome();
    harness.Frame().Action(kCmdOpen)->trigger();
    QCOMPARE(harness.Doc().Kind(), int(CLibrovanceDoc::kTome));
    QCOMPARE(harness.App().RecentFiles().Paths().value(0), harness.FruitTome());
    harness.Frame().Action(kCmdOpen)->trigger();  // cancelled: nothing changes
    QCOMPARE(harness.Doc().PathName(), harness.FruitTome());
  }

  void droppedFilesAreOpened() {
    AppHarness harness;
    harness.Start();
    const QString other = MakeTome(harness.Dir(), QStringLiteral("dropped.lv"), {"Zebra\tStriped."});
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(harness.FruitTome()), QUrl::fromLocalFile(other)});
    QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&harness.Frame(), &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&harness.Frame(), &drop);
    // One document at a time: the last file dropped stays open.
    QCOMPARE(harness.Doc().PathName(), other);
    QCOMPARE(harness.App().RecentFiles().Paths(), (QStringList{other, harness.FruitTome()}));
  }

  void recentFilesAreRememberedAndOffered() {
    AppHarness harness;
    harness.Start({harness.FruitTome()});
    harness.Close();
    harness.Start();  // the next run of the program, with the same settings
    QVERIFY(harness.Doc().PathName().isEmpty());
    QList<QAction*> items = harness.Frame().findChildren<QAction*>();
    QAction* recent = nullptr;
    for (QAction* item : items) {
      if (item->text().startsWith(QStringLiteral("&1 "))) recent = item;
    }
    QVERIFY(recent != nullptr);
    recent->trigger();
    QCOMPARE(harness.Doc().PathName(), harness.FruitTome());
  }

  void helpShowsTheHelpIndex() {
    AppHarness harness;
    harness.Start();
    harness.Frame().Action(kCmdHelp)->trigger();
    QCOMPARE(harness.ShownPageName(), QStringLiteral("index.html"));
    QVERIFY(harness.View().toPlainText().contains(QStringLiteral("Librovance Help")));
  }
};

QTEST_MAIN(MainFrameTest)
#include "main_frame_qtest.moc"
