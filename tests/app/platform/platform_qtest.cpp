// The platform layer of the desktop, without a window: settings, recent files, help location, the
// private page folder and its page file, Windows-1252 text, the font faces offered, and the
// termination signals.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <sys/wait.h>
#include <unistd.h>
#include <csignal>

#include "app/platform/font_families.h"
#include "app/platform/help_paths.h"
#include "app/platform/page_folder.h"
#include "app/platform/recent_files.h"
#include "app/platform/settings_store.h"
#include "app/platform/termination_signals.h"
#include "app/platform/windows1252_text.h"

using namespace lv;

namespace {

// The id of a process that has ended.
pid_t EndedProcessId() {
  const pid_t child = fork();
  if (child == 0) _exit(0);
  waitpid(child, nullptr, 0);
  return child;
}

void CompareStores(const SettingsStore& actual, const SettingsStore& expected) {
  QCOMPARE(actual.lastTome, expected.lastTome);
  QCOMPARE(actual.loadLastFile, expected.loadLastFile);
  QCOMPARE(actual.quickFindDelay, expected.quickFindDelay);
  QCOMPARE(actual.fontType, expected.fontType);
  QCOMPARE(actual.fontSize, expected.fontSize);
  QCOMPARE(actual.pageBackground, expected.pageBackground);
  QCOMPARE(actual.backRValue, expected.backRValue);
  QCOMPARE(actual.backGValue, expected.backGValue);
  QCOMPARE(actual.backBValue, expected.backBValue);
  QCOMPARE(actual.showNewVersionDialog, expected.showNewVersionDialog);
  QCOMPARE(actual.noFavourites, expected.noFavourites);
  QCOMPARE(actual.favouriteList.size(), expected.favouriteList.size());
  for (qsizetype i = 0; i < actual.favouriteList.size(); ++i) {
    QCOMPARE(actual.favouriteList[i].path, expected.favouriteList[i].path);
    QCOMPARE(actual.favouriteList[i].title, expected.favouriteList[i].title);
  }
  QCOMPARE(actual.helpPath, expected.helpPath);
}

}  // namespace

class PlatformTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { QVERIFY(m_dir.isValid()); }

  // Nothing stored reads as the store's own defaults, and a first save and load keeps them.
  void defaultsSurviveTheFirstSaveAndLoad() {
    const QString file = m_dir.filePath(QStringLiteral("first.ini"));
    const SettingsStore defaults;
    SettingsStore loaded;
    {
      QSettings settings(file, QSettings::IniFormat);
      loaded.Load(settings);
    }
    CompareStores(loaded, defaults);
    {
      QSettings settings(file, QSettings::IniFormat);
      loaded.Save(settings);
    }
    QSettings settings(file, QSettings::IniFormat);
    SettingsStore again;
    again.Load(settings);
    CompareStores(again, defaults);
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

  void pageFolderIsPrivate() {
    PageFolder first;
    PageFolder second;
    QVERIFY(first.IsValid());
    QVERIFY(first.Path() != second.Path());
    QCOMPARE(QFileInfo(first.PageFilePath()).fileName(), QStringLiteral("data.htm"));
    const QFile::Permissions permissions = QFileInfo(first.Path()).permissions();
    QVERIFY(permissions & QFile::ExeOwner);
    QVERIFY(!(permissions & (QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther |
                             QFile::WriteOther | QFile::ExeOther)));
  }

  void pageFileIsReplacedWhole() {
    PageFolder folder;
    QVERIFY(folder.WritePage("<html>a long first page</html>").isEmpty());
    QVERIFY(folder.WritePage("<p>short</p>").isEmpty());
    QFile page(folder.PageFilePath());
    QVERIFY(page.open(QIODevice::ReadOnly));
    QCOMPARE(page.readAll(), QByteArray("<p>short</p>"));
    // A page that cannot be written reports why.
    PageFolder blocked;
    QVERIFY(QDir().mkdir(blocked.PageFilePath()));
    QVERIFY(!blocked.WritePage("x").isEmpty());
  }

  void pageFolderNamesItsProcess() {
    PageFolder folder(m_dir.path());
    QVERIFY(folder.IsValid());
    QVERIFY(QFileInfo(folder.Path()).fileName().startsWith(QStringLiteral("librovance-%1-").arg(getpid())));
  }

  // Folders of programs that no longer run are removed; those of running ones, and anything not
  // named as a page folder, stay.
  void abandonedPageFoldersAreRemoved() {
    const QDir parent(m_dir.path());
    const QString abandoned = QStringLiteral("librovance-%1-AbCd12").arg(EndedProcessId());
    const QString running = QStringLiteral("librovance-%1-XyZ789").arg(getppid());
    const QString other = QStringLiteral("librovance-notes");
    for (const QString& name : {abandoned, running, other}) QVERIFY(parent.mkpath(name + QStringLiteral("/inner")));
    QFile page(parent.filePath(abandoned + QStringLiteral("/data.htm")));
    QVERIFY(page.open(QIODevice::WriteOnly));
    page.close();
    PageFolder own(m_dir.path());
    PageFolder::RemoveAbandoned(m_dir.path());
    QVERIFY(!parent.exists(abandoned));
    QVERIFY(parent.exists(running));
    QVERIFY(parent.exists(other));
    QVERIFY(QFileInfo::exists(own.Path()));
  }

  // A folder that cannot be made leaves no page file anywhere, least of all at the root.
  void pageFolderThatCannotBeMade() {
    PageFolder folder(m_dir.filePath(QStringLiteral("no/such/folder")));
    QVERIFY(!folder.IsValid());
    QVERIFY(!folder.ErrorString().isEmpty());
    QVERIFY(folder.Path().isEmpty());
    QVERIFY(folder.PageFilePath().isEmpty());
    QVERIFY(!folder.WritePage("<p>x</p>").isEmpty());
    QVERIFY(!QFileInfo::exists(QStringLiteral("/data.htm")));
  }

  void fontFacesAreNamedOnce() {
    const QStringList families = {QStringLiteral("Nimbus Sans [URW]"), QStringLiteral("Nimbus Sans [UKWN]"),
                                  QStringLiteral("DejaVu Sans"),       QStringLiteral("bitstream charter"),
                                  QStringLiteral("Nimbus Sans"),       QStringLiteral("Cantarell [urw]")};
    QCOMPARE(DistinctFontFamilies(families),
             (QStringList{QStringLiteral("bitstream charter"), QStringLiteral("Cantarell"),
                          QStringLiteral("DejaVu Sans"), QStringLiteral("Nimbus Sans")}));
  }

  void lastFolderIsRemembered() {
    QSettings settings(m_dir.filePath(QStringLiteral("folder.ini")), QSettings::IniFormat);
    SettingsStore store;
    store.lastFolder = QStringLiteral("/home/reader/books");
    store.Save(settings);
    SettingsStore loaded;
    loaded.Load(settings);
    QCOMPARE(loaded.lastFolder, store.lastFolder);
  }

  void terminationSignalsArriveInTheEventLoop() {
    TerminationSignals termination;
    QVERIFY(termination.IsValid());
    QSignalSpy received(&termination, &TerminationSignals::received);
    for (int number : {SIGTERM, SIGINT, SIGHUP}) {
      QVERIFY(raise(number) == 0);
      QTRY_COMPARE(received.size(), 1);
      QCOMPARE(received.takeFirst()[0].toInt(), number);
    }
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

QTEST_GUILESS_MAIN(PlatformTest)
#include "platform_qtest.moc"
