// Bookmarks and favourites on the running program: adding, removing and going to bookmarks, the
// Bookmarks menu, bookmarks surviving the tome file's close and reopen (and not a read-only file's),
// favourites in the settings with their menu, and "&" in menu texts.
#include <QAction>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

#include <cerrno>

#include "app/frame/command_id.h"
#include "app/views/subject_list_model.h"
#include "app_fixture.h"
#include "tome/format.h"

using namespace lv;

namespace {

QMenu* TopMenu(AppHarness& harness, int position) { return harness.Window().menuBar()->actions().at(position)->menu(); }

// The listed items of the Bookmarks (2) or Favourites (3) menu: after add, remove and the separator.
QList<QAction*> ListedItems(AppHarness& harness, int position) { return TopMenu(harness, position)->actions().mid(3); }

QStringList ListedTexts(AppHarness& harness, int position) {
  QStringList texts;
  for (const QAction* item : ListedItems(harness, position)) texts << item->text();
  return texts;
}

QList<int> ListedCommands(AppHarness& harness, int position) {
  QList<int> commands;
  for (const QAction* item : ListedItems(harness, position)) commands << item->data().toInt();
  return commands;
}

constexpr int kBookmarks = 2;
constexpr int kFavourites = 3;

// Presses keys in the entry page of the shown window, as the user would.
void PressInPage(AppHarness& harness, Qt::Key key, Qt::KeyboardModifiers modifiers) {
  harness.Window().show();
  if (!QTest::qWaitForWindowExposed(&harness.Window())) qFatal("window not shown");
  harness.View().setFocus();
  QTest::keyClick(&harness.View(), key, modifiers);
}

void Trigger(AppHarness& harness, CommandId command) { harness.Window().Action(command)->trigger(); }

void Bookmark(AppHarness& harness, const char* subject) {
  harness.View().ShowSubject(Fruit(subject));
  Trigger(harness, CommandId::kAddBookmark);
}

QString ShownSubject(AppHarness& harness) {
  return harness.List().Model()->index(harness.List().SelectionMark(), 0).data().toString();
}

}  // namespace

class BookmarksTest : public QObject {
  Q_OBJECT

 private slots:
  void freedSlotIsFilledFirst() {
    AppHarness harness;
    harness.Start({harness.FruitTome()});
    Bookmark(harness, "Apple");
    Bookmark(harness, "Cat");
    Bookmark(harness, "Fig");
    QCOMPARE(ListedTexts(harness, kBookmarks), (QStringList{"Apple", "Cat", "Fig"}));
    QCOMPARE(ListedCommands(harness, kBookmarks), (QList<int>{40001, 40002, 40003}));

    harness.dialogs.bookmarkChoices = {2};
    Trigger(harness, CommandId::kRemoveBookmark);
    QCOMPARE(harness.dialogs.bookmarkDialogs.size(), 1);
    QCOMPARE(harness.dialogs.bookmarkDialogs[0].mode, SelectBookmarkMode::kBookmarks);
    QCOMPARE(harness.dialogs.bookmarkDialogs[0].items.size(), 3);
    QCOMPARE(harness.dialogs.bookmarkDialogs[0].items[1].text, QStringLiteral("Cat"));
    QCOMPARE(harness.dialogs.bookmarkDialogs[0].items[1].number, 2);
    QCOMPARE(ListedTexts(harness, kBookmarks), (QStringList{"Apple", "Fig"}));

    Bookmark(harness, "Date");
    QCOMPARE(ListedTexts(harness, kBookmarks), (QStringList{"Apple", "Date", "Fig"}));
    Bookmark(harness, "Apple");  // already bookmarked: nothing changes, nothing is said
    QCOMPARE(ListedTexts(harness, kBookmarks), (QStringList{"Apple", "Date", "Fig"}));
    Trigger(harness, CommandId::kRemoveBookmark);  // cancelled
    QCOMPARE(ListedTexts(harness, kBookmarks).size(), 3);
    QVERIFY(harness.dialogs.shown.isEmpty());

    ListedItems(harness, kBookmarks)[1]->trigger();
    QCOMPARE(ShownSubject(harness), QStringLiteral("Date"));
    QCOMPARE(harness.ShownPageName(), QStringLiteral("data.htm"));
  }

  void ctrlBBookmarksTheSelectedSubject() {
    AppHarness harness;
    harness.Start({harness.FruitTome()});
    harness.View().ShowSubject(Fruit("Cherry"));
    PressInPage(harness, Qt::Key_B, Qt::ControlModifier);
    QCOMPARE(ListedTexts(harness, kBookmarks), QStringList{"Cherry"});
  }

  void withoutASelectionTheFirstSubjectIsBookmarked() {
    AppHarness harness;
    harness.Start({harness.FruitTome()});
    harness.View().ShowSubject(Fruit("Grape"));
    harness.List().setCurrentIndex(QModelIndex());
    Trigger(harness, CommandId::kAddBookmark);
    QCOMPARE(ListedTexts(harness, kBookmarks), QStringList{"Abacus"});
  }

  void withoutATomeBookmarkCommandsDoNothing() {
    AppHarness harness;
    harness.Start();
    Trigger(harness, CommandId::kAddBookmark);
    Trigger(harness, CommandId::kRemoveBookmark);
    QVERIFY(ListedItems(harness, kBookmarks).isEmpty());
    QVERIFY(harness.dialogs.bookmarkDialogs.isEmpty());
    QVERIFY(harness.dialogs.shown.isEmpty());
  }

  void fiftyFirstBookmarkIsRefused() {
    AppHarness harness;
    harness.Start({harness.FruitTome()});
    TomeReader& reader = harness.Doc().Reader();
    for (int slot = 1; slot < kBookmarkRecordCount; ++slot) reader.SetBookmark(slot, 1, 0, 0, "A");
    Bookmark(harness, "Grape");
    QCOMPARE(harness.dialogs.shown.size(), 1);
    QCOMPARE(harness.dialogs.shown[0].text, QStringLiteral("Maximum number of bookmarks reached"));
    for (int slot = 1; slot < kBookmarkRecordCount; ++slot) QCOMPARE(reader.Bookmark(slot).subjectNumber, 0);
  }

  void bookmarksSurviveClosingAndReopeningTheTome() {
    AppHarness harness;
    harness.WriteSettings({{"LoadLastFile", 1}});
    harness.Start({harness.FruitTome()});
    Bookmark(harness, "Banana");
    Bookmark(harness, "Elder");
    harness.Close();

    harness.Start();  // a new run reopens the last tome
    QCOMPARE(harness.Doc().Path(), harness.FruitTome());
    QCOMPARE(ListedTexts(harness, kBookmarks), (QStringList{"Banana", "Elder"}));
    ListedItems(harness, kBookmarks)[1]->trigger();
    QCOMPARE(ShownSubject(harness), QStringLiteral("Elder"));

    // Another tome's bookmarks replace them in the menu; the fruit tome keeps its own.
    const QString other = MakeTome(harness.Dir(), QStringLiteral("other.lv"), {"Zebra\tStriped."});
    QVERIFY(harness.App().OpenFile(other));
    QVERIFY(ListedTexts(harness, kBookmarks).isEmpty());
    QVERIFY(harness.App().OpenFile(harness.FruitTome()));
    QCOMPARE(ListedTexts(harness, kBookmarks), (QStringList{"Banana", "Elder"}));
  }

  void readOnlyTomeKeepsBookmarksOnlyWhileOpen() {
    AppHarness harness;
    const QString tome = harness.FruitTome();
    QFile::setPermissions(tome, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    QFile original(tome);
    QVERIFY(original.open(QIODevice::ReadOnly));
    const QByteArray bytes = original.readAll();
    original.close();
    harness.Start();
    harness.Doc().SetMakeWritable([](const QString&) { return EROFS; });
    harness.dialogs.yesNoAnswers = {false};  // read it where it is, without a copy
    QVERIFY(harness.App().OpenFile(tome));
    QVERIFY(harness.Doc().Reader().IsReadOnly());
    Bookmark(harness, "Fig");
    QCOMPARE(ListedTexts(harness, kBookmarks), QStringList{"Fig"});

    harness.dialogs.yesNoAnswers = {false};
    QVERIFY(harness.App().OpenFile(tome));
    QVERIFY(ListedTexts(harness, kBookmarks).isEmpty());
    QVERIFY(original.open(QIODevice::ReadOnly));
    QCOMPARE(original.readAll(), bytes);
  }

  void menuTextsShowAmpersands() {
    AppHarness harness;
    const QString tome = MakeTome(harness.Dir(), QStringLiteral("salt & pepper.lv"), {"Salt & Pepper\tSeasoning."});
    harness.Start({tome});
    Trigger(harness, CommandId::kAddBookmark);
    QCOMPARE(ListedTexts(harness, kBookmarks), QStringList{"Salt && Pepper"});
    Trigger(harness, CommandId::kAddFavourite);
    QCOMPARE(ListedTexts(harness, kFavourites), QStringList{"salt && pepper.lv"});
  }

  void favouritesAreKeptInTheSettings() {
    AppHarness harness;
    harness.Start();
    Trigger(harness, CommandId::kAddFavourite);  // nothing open: nothing added
    QVERIFY(ListedTexts(harness, kFavourites).isEmpty());
    QVERIFY(harness.App().OpenFile(harness.FruitTome()));
    PressInPage(harness, Qt::Key_D, Qt::ControlModifier);
    Trigger(harness, CommandId::kAddFavourite);  // the same file again is a second favourite
    QCOMPARE(ListedTexts(harness, kFavourites), (QStringList{"fruit.lv", "fruit.lv"}));
    QCOMPARE(ListedCommands(harness, kFavourites), (QList<int>{50000, 50001}));
    harness.Close();
    QCOMPARE(harness.ReadSetting(QStringLiteral("NoFavourites")).toInt(), 2);
    QCOMPARE(harness.ReadSetting(QStringLiteral("FavouriteFP1")).toString(), harness.FruitTome());
    QCOMPARE(harness.ReadSetting(QStringLiteral("FavouriteI1")).toString(), QStringLiteral("fruit.lv"));

    harness.Start();
    QCOMPARE(ListedTexts(harness, kFavourites).size(), 2);
    Trigger(harness, CommandId::kRemoveFavourite);  // cancelled: nothing removed
    QCOMPARE(ListedTexts(harness, kFavourites).size(), 2);
    QCOMPARE(harness.dialogs.bookmarkDialogs[0].mode, SelectBookmarkMode::kFavourites);
    QCOMPARE(harness.dialogs.bookmarkDialogs[0].items[0].text,
             QStringLiteral("fruit.lv (%1)").arg(harness.FruitTome()));
    harness.dialogs.bookmarkChoices = {0};
    Trigger(harness, CommandId::kRemoveFavourite);
    QCOMPARE(ListedTexts(harness, kFavourites), QStringList{"fruit.lv"});
    harness.Close();
    QCOMPARE(harness.ReadSetting(QStringLiteral("NoFavourites")).toInt(), 1);
  }

  void everyFavouriteOpensAndUntitledOnesHaveNoItem() {
    AppHarness harness;
    QVariantMap settings{{"NoFavourites", 503}};
    for (int i = 0; i < 503; ++i) {
      settings.insert(QStringLiteral("FavouriteFP%1").arg(i), harness.Path(QStringLiteral("missing%1.lv").arg(i)));
      settings.insert(QStringLiteral("FavouriteI%1").arg(i), QStringLiteral("missing %1").arg(i));
    }
    settings.insert(QStringLiteral("FavouriteI1"), QString());
    settings.insert(QStringLiteral("FavouriteFP502"), harness.FruitTome());
    settings.insert(QStringLiteral("FavouriteI502"), QStringLiteral("fruit.lv"));
    harness.WriteSettings(settings);
    harness.Start();
    const QList<int> commands = ListedCommands(harness, kFavourites);
    QCOMPARE(commands.size(), 502);
    QCOMPARE(commands[0], 50000);
    QCOMPARE(commands[1], 50002);  // the untitled favourite 1 has no item; the next keeps its number
    QCOMPARE(commands.last(), 50502);

    ListedItems(harness, kFavourites).last()->trigger();
    QCOMPARE(harness.Doc().Path(), harness.FruitTome());
    QCOMPARE(harness.Doc().Kind(), DocumentKind::kTome);

    // A favourite whose file is gone is reported by the open and stays in the list.
    ListedItems(harness, kFavourites).first()->trigger();
    QCOMPARE(ListedCommands(harness, kFavourites).size(), 502);
  }
};

QTEST_MAIN(BookmarksTest)
#include "bookmarks_qtest.moc"
