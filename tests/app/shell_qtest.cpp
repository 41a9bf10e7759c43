// The parts of the application shell that need no window: settings, history, recent files,
// command line, pane widths, help location, page directory, Windows-1252 text.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include "app/app_paths.h"
#include "app/cp1252.h"
#include "app/librovance_app.h"
#include "app/main_frame.h"
#include "app/page_history.h"
#include "app/recent_files.h"
#include "app/settings_store.h"

using namespace lv;

class ShellTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { QVERIFY(m_dir.isValid()); }

  void settingsDefaultsWhenNothingIsStored() {
    QSettings settings(m_dir.filePath(QStringLiteral("empty.ini")), QSettings::IniFormat);
    SettingsStore store;
    store.Load(settings);
    QCOMPARE(store.quickFindDelay, 15);
    QCOMPARE(store.fontType, QStringLiteral("Arial"));
    QCOMPARE(store.fontSize, QStringLiteral("12"));
    QCOMPARE(store.pageBackground, 1);
    QCOMPARE(store.backRValue, 238);
    QCOMPARE(store.backGValue, 238);
    QCOMPARE(store.backBValue, 255);
    QCOMPARE(store.loadLastFile, 0);
    QCOMPARE(store.showNewVersionDialog, 1);
    QCOMPARE(store.noFavourites, 0);
    QVERIFY(store.favouriteList.isEmpty());
    QVERIFY(store.lastTome.isEmpty());
    QVERIFY(store.helpPath.isEmpty());
  }

  void settingsRoundTripAndNormalisation() {
    const QString file = m_dir.filePath(QStringLiteral("round.ini"));
    {
      QSettings settings(file, QSettings::IniFormat);
      settings.setValue(QStringLiteral("Settings/LoadLastFile"), 7);
      settings.setValue(QStringLiteral("Settings/ShowNewVersionDialog"), 0);
      settings.setValue(QStringLiteral("Settings/HelpPath"), QStringLiteral("/opt/help"));
    }
    SettingsStore store;
    {
      QSettings settings(file, QSettings::IniFormat);
      store.Load(settings);
    }
    QCOMPARE(store.loadLastFile, 1);  // any non-zero value reads as 1
    QCOMPARE(store.showNewVersionDialog, 0);
    store.quickFindDelay = 3;
    store.fontType = QStringLiteral("Liberation Serif");
    store.fontSize = QStringLiteral("36");
    store.pageBackground = 0;
    store.backRValue = 0;
    store.backGValue = 128;
    store.backBValue = 15;
    store.lastTome = QStringLiteral("/books/a b.lv");
    store.favouriteList = {{QStringLiteral("/f0.lv"), QStringLiteral("F0")}, {QStringLiteral("/f1.lv"), QString()}};
    store.noFavourites = 2;
    store.helpPath = QStringLiteral("/changed");
    {
      QSettings settings(file, QSettings::IniFormat);
      store.Save(settings);
    }
    QSettings settings(file, QSettings::IniFormat);
    QCOMPARE(settings.value(QStringLiteral("Settings/LoadLastFile")).toInt(), 1);
    QCOMPARE(settings.value(QStringLiteral("Settings/HelpPath")).toString(), QStringLiteral("/opt/help"));
    SettingsStore again;
    again.Load(settings);
    QCOMPARE(again.quickFindDelay, 3);
    QCOMPARE(again.fontType, QStringLiteral("Liberation Serif"));
    QCOMPARE(again.fontSize, QStringLiteral("36"));
    QCOMPARE(again.pageBackground, 0);
    QCOMPARE(again.backGValue, 128);
    QCOMPARE(again.lastTome, QStringLiteral("/books/a b.lv"));
    QCOMPARE(again.noFavourites, 2);
    QCOMPARE(again.favouriteList[1].path, QStringLiteral("/f1.lv"));
    const PageSettings page = PageSettingsFrom(again);
    QCOMPARE(page.backgroundStyle, 0);
    QCOMPARE(page.backBlue, 15);
    QCOMPARE(page.fontFace, std::string("Liberation Serif"));
  }

  void favouritesFollowTheirCount() {
    const QString file = m_dir.filePath(QStringLiteral("favourites.ini"));
    {
      QSettings settings(file, QSettings::IniFormat);
      settings.setValue(QStringLiteral("Settings/NoFavourites"), 2);
      settings.setValue(QStringLiteral("Settings/FavouriteFP0"), QStringLiteral("/a.lv"));
      settings.setValue(QStringLiteral("Settings/FavouriteI0"), QStringLiteral("A"));
    }
    SettingsStore store;
    {
      QSettings settings(file, QSettings::IniFormat);
      store.Load(settings);
    }
    QCOMPARE(store.favouriteList.size(), 2);
    QCOMPARE(store.favouriteList[0].title, QStringLiteral("A"));
    QVERIFY(store.favouriteList[1].path.isEmpty());
    QVERIFY(store.favouriteList[1].title.isEmpty());
    // Removing one writes the new count and leaves the higher value where it was.
    store.favouriteList.removeLast();
    store.favouriteList[0] = {QStringLiteral("/b.lv"), QStringLiteral("B")};
    store.favouriteList.append({QStringLiteral("/c.lv"), QStringLiteral("C")});
    store.favouriteList.append({QStringLiteral("/d.lv"), QStringLiteral("D")});
    {
      QSettings settings(file, QSettings::IniFormat);
      store.Save(settings);
    }
    store.favouriteList.resize(1);
    {
      QSettings settings(file, QSettings::IniFormat);
      store.Save(settings);
    }
    QSettings settings(file, QSettings::IniFormat);
    QCOMPARE(settings.value(QStringLiteral("Settings/NoFavourites")).toInt(), 1);
    QCOMPARE(settings.value(QStringLiteral("Settings/FavouriteFP2")).toString(), QStringLiteral("/d.lv"));
    SettingsStore again;
    again.Load(settings);
    QCOMPARE(again.favouriteList.size(), 1);
  }

  void historyRecordsBacksAndForwards() {
    PageHistory history;
    auto all = [](int) { return true; };
    QCOMPARE(history.Back(all), -1);
    for (int subject : {5, 9, 12}) history.Record(subject);
    QCOMPARE(history.Back(all), 9);
    QCOMPARE(history.Back(all), 5);
    QCOMPARE(history.Back(all), 5);  // at the first entry Back shows it again
    history.Record(30);
    QCOMPARE(history.Size(), 2);
    QCOMPARE(history.EntryAt(0), 5);
    QCOMPARE(history.EntryAt(1), 30);
    QCOMPARE(history.Forward(all), 30);
    history.Record(30);  // the current entry is not recorded twice
    QCOMPARE(history.Size(), 2);
  }

  void fullHistoryRecordsNothingMore() {
    PageHistory history;
    auto all = [](int) { return true; };
    for (int subject = 0; subject < PageHistory::kCapacity; ++subject) history.Record(subject);
    QCOMPARE(history.Back(all), 48);
    history.Record(777);
    QCOMPARE(history.Size(), PageHistory::kCapacity);
    QCOMPARE(history.Forward(all), 49);
  }

  void historySkipsSubjectsTheOpenTomeLacks() {
    PageHistory history;
    for (int subject : {2, 400, 500, 3, 600}) history.Record(subject);
    auto belowTen = [](int subject) { return subject < 10; };
    QCOMPARE(history.Back(belowTen), 3);
    QCOMPARE(history.Back(belowTen), 2);
    QCOMPARE(history.Cursor(), 0);
    QCOMPARE(history.Forward(belowTen), 3);
    // Nothing showable ahead: the cursor stays on 3.
    QCOMPARE(history.Forward(belowTen), 3);
    QCOMPARE(history.Cursor(), 3);
  }

  void recentFilesKeepFiveNewestFirst() {
    const QString file = m_dir.filePath(QStringLiteral("recent.ini"));
    RecentFileList recent;
    for (int i = 1; i <= 7; ++i) recent.Add(QStringLiteral("/t/%1.lv").arg(i));
    recent.Add(QStringLiteral("/t/5.lv"));
    QCOMPARE(recent.Paths(), (QStringList{"/t/5.lv", "/t/7.lv", "/t/6.lv", "/t/4.lv", "/t/3.lv"}));
    {
      QSettings settings(file, QSettings::IniFormat);
      recent.Save(settings);
    }
    QSettings settings(file, QSettings::IniFormat);
    QCOMPARE(settings.value(QStringLiteral("Recent File List/File1")).toString(), QStringLiteral("/t/5.lv"));
    RecentFileList again;
    again.Load(settings);
    QCOMPARE(again.Paths(), recent.Paths());
    const QString shortened =
        RecentFileList::ShortenedForMenu(QStringLiteral("/home/reader/books/reference/dictionary.lv"));
    QVERIFY(shortened.size() <= RecentFileList::kShownLength);
    QVERIFY(shortened.endsWith(QStringLiteral("dictionary.lv")));
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
    QCOMPARE(CLibrovanceApp::CommandLinePath(arguments), path);
  }

  void paneWidthsSplitTheClientArea() {
    QCOMPARE(CMainFrame::PaneWidths(1000), std::make_pair(250, 750));
    QCOMPARE(CMainFrame::PaneWidths(1003), std::make_pair(250, 753));
  }

  void emptyHelpPathFindsTheInstalledHelp() {
    const QString program = m_dir.filePath(QStringLiteral("prefix/bin"));
    const QString installed = m_dir.filePath(QStringLiteral("prefix/share/librovance/Help"));
    QVERIFY(QDir().mkpath(program));
    QVERIFY(QDir().mkpath(installed));
    QFile index(installed + QStringLiteral("/index.html"));
    QVERIFY(index.open(QIODevice::WriteOnly));
    index.close();
    const QString found = HelpIndexPath(QString(), program);
    QCOMPARE(QFileInfo(found).canonicalFilePath(), QFileInfo(index).canonicalFilePath());
    QVERIFY(!HelpStartupPath(QString(), program).startsWith(QStringLiteral("/Help")));
    QCOMPARE(HelpIndexPath(QStringLiteral("/opt/x"), program), QStringLiteral("/opt/x/Help/index.html"));
  }

  void pageDirectoryIsPrivate() {
    PageDirectory first;
    PageDirectory second;
    QVERIFY(first.IsValid());
    QVERIFY(first.Path() != second.Path());
    QCOMPARE(QFileInfo(first.PageFilePath()).fileName(), QStringLiteral("data.htm"));
    const QFile::Permissions permissions = QFileInfo(first.Path()).permissions();
    QVERIFY(permissions & QFile::ExeOwner);
    QVERIFY(!(permissions & (QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther |
                             QFile::WriteOther | QFile::ExeOther)));
  }

  void windows1252RoundTrip() {
    const std::string bytes = "caf\xE9 \x80 \x93quoted\x94 \x81";
    const QString text = DecodeWindows1252(bytes);
    QCOMPARE(text, QString::fromUtf8("caf\xC3\xA9 \xE2\x82\xAC \xE2\x80\x9Cquoted\xE2\x80\x9D \xC2\x81"));
    QCOMPARE(EncodeWindows1252(text), bytes);
    QCOMPARE(EncodeWindows1252(QString::fromUtf8("\xE2\x88\x9E")), std::string("?"));
  }

 private:
  QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(ShellTest)
#include "shell_qtest.moc"
