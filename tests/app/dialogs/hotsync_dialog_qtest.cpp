// The "HotSync To PalmOS..." window with a temporary HotSync folder: what it proposes, the exports of
// a tome and of a text file in both formats, queued for a user or a card, the fallback without a card
// slot, failed exports that queue nothing, and every way of cancelling.
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include "app/dialogs/hotsync_dialog.h"
#include "app/dialogs/palm_install.h"
#include "app/platform/settings_store.h"
#include "app_fixture.h"
#include "queue/hotsync_folder.h"

using namespace lv;

namespace {

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The header record version of a Palm tome file: 7 for the 2.5 format, 8 for 2.8; 0 when it is not one.
int PalmTomeVersion(const QByteArray& pdb) {
  if (pdb.size() < 90 || pdb.mid(60, 8) != "LiVaLVPW") return 0;
  const auto offset = static_cast<qsizetype>(static_cast<uint8_t>(pdb[78]) << 24 | static_cast<uint8_t>(pdb[79]) << 16 |
                                             static_cast<uint8_t>(pdb[80]) << 8 | static_cast<uint8_t>(pdb[81]));
  return static_cast<uint8_t>(pdb.at(offset)) << 8 | static_cast<uint8_t>(pdb.at(offset + 1));
}

}  // namespace

class HotSyncDialogTest : public QObject {
  Q_OBJECT

 private:
  struct Fixture {
    Collaborators parts;
    SettingsStore settings;
    HotSyncFolder queue{QFile::encodeName(HotSync()).toStdString()};
    QString HotSync() const { return parts.Path(QStringLiteral("HotSync")); }
    void AddFolder(const QString& relative) const { QDir().mkpath(HotSync() + QLatin1Char('/') + relative); }

    QPointer<HotSyncDialog> Open(HotSyncSource::Kind kind, const QString& path, const QString& title) {
      HotSyncSource source{kind, path, title};
      auto* window =
          new HotSyncDialog(source, parts.dialogs, settings, parts.pages, HotSyncTarget{queue, HotSync()}, nullptr);
      QPointer<HotSyncDialog> pointer(window);
      window->Open();
      return pointer;
    }
    QPointer<HotSyncDialog> OpenTome() {
      const QString tome = MakeTome(parts.Dir(), QStringLiteral("fruit.lv"), FruitLines());
      return Open(HotSyncSource::Kind::kTome, tome, QStringLiteral("fruit.lv"));
    }
    QPointer<HotSyncDialog> OpenTextFile() {
      const QString text = parts.Path(QStringLiteral("notes.txt"));
      QFile file(text);
      if (!file.open(QIODevice::WriteOnly)) qFatal("cannot write notes.txt");
      file.write("first line\r\nsecond line\n");
      file.close();
      return Open(HotSyncSource::Kind::kTextFile, text, QStringLiteral("notes.txt"));
    }
    // Presses OK and waits for the export to end; true when the Palm tome was written.
    static bool Export(HotSyncDialog* window) {
      QSignalSpy finished(window, &HotSyncDialog::exportFinished);
      QTest::mouseClick(OkButton(window), Qt::LeftButton);
      if (finished.isEmpty() && !finished.wait(60000)) return false;
      return finished.first().first().toBool();
    }
    QStringList Messages(const QString& caption) const {
      QStringList texts;
      for (const ScriptedDialogs::Shown& shown : parts.dialogs.shown) {
        if (shown.caption == caption) texts << shown.text;
      }
      return texts;
    }
  };

  static QPushButton* OkButton(HotSyncDialog* window) {
    for (QPushButton* button : window->findChildren<QPushButton*>()) {
      if (button->text() == QStringLiteral("OK")) return button;
    }
    return nullptr;
  }
  static QPushButton* CancelButton(HotSyncDialog* window) {
    for (QPushButton* button : window->findChildren<QPushButton*>()) {
      if (button->text() == QStringLiteral("Cancel")) return button;
    }
    return nullptr;
  }
  template <typename T>
  static T* Control(HotSyncDialog* window, const char* name) {
    return window->findChild<T*>(QString::fromLatin1(name));
  }
  static void DeleteClosedWindows() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

 private slots:
  void proposesTheOutputFileAndNamesThePalmTomeAfterIt() {
    Fixture f;
    QPointer<HotSyncDialog> window =
        f.Open(HotSyncSource::Kind::kTome, f.parts.Path(QStringLiteral("x.lv")), QStringLiteral("dict.part.lv"));
    QVERIFY(window && window->isVisible());
    QCOMPARE(window->windowTitle(), QStringLiteral("HotSync To PalmOS..."));
    auto* output = Control<QLineEdit>(window, "outputFile");
    auto* name = Control<QLineEdit>(window, "palmTomeName");
    QCOMPARE(output->text(), QDir(QDir::tempPath()).filePath(QStringLiteral("dict.pdb")));
    QCOMPARE(name->text(), QStringLiteral("dict"));
    QVERIFY(Control<QCheckBox>(window, "queueForHotSync")->isChecked());
    QVERIFY(!Control<QCheckBox>(window, "placeOnCard")->isChecked());
    const struct {
      const char* typed;
      const char* name;
    } cases[] = {{"/books/My Book.pdb", "My Book"}, {"/books/a.b.pdb", "a.b"}, {"plain", "plain"}, {"", ""}};
    for (const auto& c : cases) {
      output->clear();
      QTest::keyClicks(output, QString::fromLatin1(c.typed));
      QCOMPARE(name->text(), QString::fromLatin1(c.name));
    }
    f.parts.dialogs.filesToSave << QStringLiteral("/books/Chosen.Name.pdb");
    QTest::mouseClick(Control<QToolButton>(window, "browse"), Qt::LeftButton);
    QCOMPARE(output->text(), QStringLiteral("/books/Chosen.Name.pdb"));
    QCOMPARE(name->text(), QStringLiteral("Chosen.Name"));
    // Cancelling Browse changes nothing.
    QTest::mouseClick(Control<QToolButton>(window, "browse"), Qt::LeftButton);
    QCOMPARE(output->text(), QStringLiteral("/books/Chosen.Name.pdb"));
    delete window;
  }

  void advancedShowsTheFormatAndTheNoticeUntilItIsTurnedOff() {
    Fixture f;
    QPointer<HotSyncDialog> window = f.OpenTome();
    auto* advanced = Control<QPushButton>(window, "advanced");
    auto* format = Control<QComboBox>(window, "format");
    auto* acceleration = Control<QComboBox>(window, "acceleration");
    QCOMPARE(advanced->text(), QStringLiteral("Advanced"));
    QVERIFY(format->isHidden() || !format->isVisibleTo(window));
    QTest::mouseClick(advanced, Qt::LeftButton);
    QCOMPARE(advanced->text(), QStringLiteral("Simple"));
    QVERIFY(format->isVisibleTo(window));
    QCOMPARE(format->currentIndex(), 0);
    QCOMPARE(acceleration->currentText(), QStringLiteral("Default"));
    QVERIFY(!acceleration->isEnabled());

    f.parts.dialogs.noticeAnswers << false << true;
    format->setCurrentIndex(1);
    QCOMPARE(f.parts.dialogs.noticeRequests, 1);
    QCOMPARE(f.settings.showNewVersionDialog, 1);
    QVERIFY(acceleration->isEnabled());
    format->setCurrentIndex(0);
    QVERIFY(!acceleration->isEnabled());
    format->setCurrentIndex(1);  // "Dont show this information again." ticked this time
    QCOMPARE(f.parts.dialogs.noticeRequests, 2);
    QCOMPARE(f.settings.showNewVersionDialog, 0);
    format->setCurrentIndex(0);
    format->setCurrentIndex(1);
    QCOMPARE(f.parts.dialogs.noticeRequests, 2);

    QTest::mouseClick(advanced, Qt::LeftButton);
    QCOMPARE(advanced->text(), QStringLiteral("Advanced"));
    QVERIFY(!format->isVisibleTo(window));
    delete window;
  }

  void exportsTomesAndTextFilesInBothFormatsAndQueuesThem() {
    const struct {
      bool text;
      int format;
      bool toCard;
      const char* user;
      const char* queuedIn;
    } cases[] = {
        {false, 0, false, "anna", "anna/Install"},     {false, 1, true, "anna", "anna/Card1/Install"},
        {true, 0, true, "anna", "anna/Card1/Install"}, {true, 1, false, "anna", "anna/Install"},
        {false, 1, true, "bob", "bob/Install"},  // no card slot: the handheld itself
    };
    for (const auto& c : cases) {
      Fixture f;
      f.settings.showNewVersionDialog = 0;
      f.AddFolder(QStringLiteral("anna/Card2"));
      f.AddFolder(QStringLiteral("anna/Card1"));
      f.AddFolder(QStringLiteral("bob"));
      QPointer<HotSyncDialog> window = c.text ? f.OpenTextFile() : f.OpenTome();
      const QString output = f.parts.Path(QStringLiteral("out.pdb"));
      Control<QLineEdit>(window, "outputFile")->setText(output);
      Control<QComboBox>(window, "format")->setCurrentIndex(c.format);
      Control<QCheckBox>(window, "placeOnCard")->setChecked(c.toCard);
      f.parts.dialogs.hotSyncUserAnswers << QString::fromLatin1(c.user);
      QVERIFY(Fixture::Export(window));
      QCOMPARE(PalmTomeVersion(ReadAll(output)), c.format == 0 ? 7 : 8);
      QCOMPARE(f.parts.dialogs.hotSyncUserLists, QList<QStringList>{(QStringList{"anna", "bob"})});
      const QString queued = f.HotSync() + QLatin1Char('/') + QString::fromLatin1(c.queuedIn) + "/out.pdb";
      QCOMPARE(ReadAll(queued), ReadAll(output));
      QCOMPARE(f.Messages(QStringLiteral("HotSync")), QStringList{QString::fromLatin1(kInstalledText)});
      if (c.text) {
        QCOMPARE(ReadAll(QDir(f.parts.pages.Path()).filePath(QStringLiteral("tmp.txt"))),
                 QByteArray("<new>\nout\nfirst line\rsecond line\r"));
        QVERIFY(QFile::exists(QDir(f.parts.pages.Path()).filePath(QStringLiteral("tmp.lv"))));
      }
      DeleteClosedWindows();
      QVERIFY(!window);
    }
  }

  void exportRunsWhileTheWindowStaysResponsive() {
    Fixture f;
    QPointer<HotSyncDialog> window = f.OpenTome();
    Control<QLineEdit>(window, "outputFile")->setText(f.parts.Path(QStringLiteral("out.pdb")));
    Control<QCheckBox>(window, "queueForHotSync")->setChecked(false);
    QSignalSpy finished(window.data(), &HotSyncDialog::exportFinished);
    QTest::mouseClick(OkButton(window), Qt::LeftButton);
    // OK returns at once; while the export runs the window takes no second export and cannot close.
    QVERIFY(window && window->IsExporting());
    QVERIFY(!OkButton(window)->isEnabled());
    QVERIFY(!CancelButton(window)->isEnabled());
    window->reject();
    QVERIFY(window->isVisible());
    QVERIFY(!finished.isEmpty() || finished.wait(60000));
    QCOMPARE(finished.first().first().toBool(), true);
    QVERIFY(f.parts.dialogs.hotSyncUserLists.isEmpty());
    QVERIFY(f.Messages(QStringLiteral("HotSync")).isEmpty());
    DeleteClosedWindows();
    QVERIFY(!window);
  }

  void aFailedExportIsReportedWithItsCauseAndNotQueued() {
    Fixture f;
    f.AddFolder(QStringLiteral("anna"));
    f.parts.dialogs.hotSyncUserAnswers << QStringLiteral("anna");
    QPointer<HotSyncDialog> window = f.OpenTome();
    Control<QLineEdit>(window, "outputFile")->setText(f.parts.Path(QStringLiteral("missing/out.pdb")));
    QVERIFY(!Fixture::Export(window));
    const QStringList messages = f.Messages(QStringLiteral("Librovance"));
    QCOMPARE(messages.size(), 1);
    QVERIFY2(messages.first().contains(QStringLiteral("(result 2)")), qPrintable(messages.first()));
    QVERIFY(f.parts.dialogs.hotSyncUserLists.isEmpty());
    QVERIFY(!QDir(f.HotSync() + QStringLiteral("/anna/Install")).exists());
    // The window stays for another try, and works.
    DeleteClosedWindows();
    QVERIFY(window && window->isVisible() && OkButton(window)->isEnabled());
    Control<QLineEdit>(window, "outputFile")->setText(f.parts.Path(QStringLiteral("out.pdb")));
    QVERIFY(Fixture::Export(window));
    QVERIFY(QFile::exists(f.HotSync() + QStringLiteral("/anna/Install/out.pdb")));

    // A text file that cannot be made into a tome exports nothing either.
    Fixture g;
    QPointer<HotSyncDialog> text = g.OpenTextFile();
    QFile::remove(g.parts.Path(QStringLiteral("notes.txt")));
    Control<QLineEdit>(text, "outputFile")->setText(g.parts.Path(QStringLiteral("out.pdb")));
    QVERIFY(!Fixture::Export(text));
    QVERIFY(!QFile::exists(g.parts.Path(QStringLiteral("out.pdb"))));
    QCOMPARE(g.Messages(QStringLiteral("Librovance")).size(), 1);
    delete text;
    delete window;
  }

  void cancelPaths() {
    Fixture f;
    f.AddFolder(QStringLiteral("anna"));
    // Cancel closes the window without an export.
    QPointer<HotSyncDialog> window = f.OpenTome();
    const QString output = f.parts.Path(QStringLiteral("out.pdb"));
    Control<QLineEdit>(window, "outputFile")->setText(output);
    QTest::mouseClick(CancelButton(window), Qt::LeftButton);
    DeleteClosedWindows();
    QVERIFY(!window);
    QVERIFY(!QFile::exists(output));

    // Cancelling Select HotSync User writes the file, queues nothing and says nothing.
    window = f.OpenTome();
    Control<QLineEdit>(window, "outputFile")->setText(output);
    QVERIFY(Fixture::Export(window));
    QVERIFY(QFile::exists(output));
    QCOMPARE(f.parts.dialogs.hotSyncUserLists.size(), 1);
    QVERIFY(!QDir(f.HotSync() + QStringLiteral("/anna/Install")).exists());
    QVERIFY(f.parts.dialogs.shown.isEmpty());
    DeleteClosedWindows();
    QVERIFY(!window);

    // Without "Queue for HotSync" no user is asked for.
    window = f.OpenTome();
    Control<QLineEdit>(window, "outputFile")->setText(output);
    Control<QCheckBox>(window, "queueForHotSync")->setChecked(false);
    QVERIFY(Fixture::Export(window));
    QCOMPARE(f.parts.dialogs.hotSyncUserLists.size(), 1);
  }

  void missingNameOrPathKeepsTheWindowOpen() {
    Fixture f;
    QPointer<HotSyncDialog> window = f.OpenTome();
    Control<QLineEdit>(window, "palmTomeName")->clear();
    QTest::mouseClick(OkButton(window), Qt::LeftButton);
    QCOMPARE(f.Messages(QStringLiteral("Librovance")), QStringList{QString::fromLatin1(kInvalidExportText)});
    QVERIFY(window && window->isVisible() && !window->IsExporting());
    delete window;
  }

  void nothingToExportOrAPalmDatabaseToInstall() {
    Fixture f;
    QPointer<HotSyncDialog> window = f.Open(HotSyncSource::Kind::kNothing, QString(), QStringLiteral("Untitled"));
    QCOMPARE(f.Messages(QStringLiteral("Librovance")), QStringList{QString::fromLatin1(kNothingToExportText)});
    QCOMPARE(f.parts.dialogs.shown.first().icon, MessageIcon::kStop);
    DeleteClosedWindows();
    QVERIFY(!window);

    // A Palm database is offered for installation; with no user yet the list is empty.
    const QString pdb = f.parts.Path(QStringLiteral("other.pdb"));
    QFile file(pdb);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(100, 'p'));
    file.close();
    window = f.Open(HotSyncSource::Kind::kPalmDatabase, pdb, QStringLiteral("other.pdb"));
    QCOMPARE(f.parts.dialogs.hotSyncUserLists, QList<QStringList>{QStringList()});
    QCOMPARE(f.parts.dialogs.hotSyncFolders, QStringList{f.HotSync()});
    f.AddFolder(QStringLiteral("anna"));
    f.parts.dialogs.hotSyncUserAnswers << QStringLiteral("anna");
    f.Open(HotSyncSource::Kind::kPalmDatabase, pdb, QStringLiteral("other.pdb"));
    QCOMPARE(ReadAll(f.HotSync() + QStringLiteral("/anna/Install/other.pdb")), ReadAll(pdb));
    QCOMPARE(f.Messages(QStringLiteral("HotSync")), QStringList{QString::fromLatin1(kInstalledText)});
    // A file that cannot be copied is reported with the install's own failure text.
    f.parts.dialogs.hotSyncUserAnswers << QStringLiteral("anna");
    f.Open(HotSyncSource::Kind::kPalmDatabase, f.parts.Path(QStringLiteral("gone.pdb")), QStringLiteral("gone.pdb"));
    QCOMPARE(f.Messages(QStringLiteral("HotSync")).last(), QString::fromLatin1(kInstallFailedText));
    DeleteClosedWindows();
  }
};

QTEST_MAIN(HotSyncDialogTest)
#include "hotsync_dialog_qtest.moc"
