// The whole program in the habits a reader expects of it: a history that always leads back and
// starts afresh with each file, text files shown as written, failed opens that say why, web links and
// their targets, the keys of other programs (Alt+arrows, Ctrl+Q, Shift with a digit), the Open dialog's
// folder, the termination signals, and the command-line options.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenuBar>
#include <QProcess>
#include <QStatusBar>
#include <QTest>
#include <csignal>

#include "app/views/subject_list_model.h"
#include "app_fixture.h"
#include "version.h"

using namespace lv;

namespace {

bool BackEnabled(AppHarness& harness) { return harness.Window().Action(CommandId::kBack)->isEnabled(); }
bool ForwardEnabled(AppHarness& harness) { return harness.Window().Action(CommandId::kForward)->isEnabled(); }

}  // namespace

class ReaderHabitsTest : public QObject {
  Q_OBJECT

 private slots:
  // After more pages than the history holds, Back still goes to the page shown before.
  void historyLetsItsOldestEntryGo() {
    AppHarness harness;
    harness.Start({harness.FruitTome()});
    const int count = static_cast<int>(FruitLines().size());
    for (int step = 1; step <= PageHistory::kCapacity + 10; ++step) harness.View().ShowSubject(step % count);
    const int last = (PageHistory::kCapacity + 10) % count;
    const int before = (PageHistory::kCapacity + 9) % count;
    QCOMPARE(harness.List().SelectionMark(), last);
    harness.Window().Action(CommandId::kBack)->trigger();
    QCOMPARE(harness.List().SelectionMark(), before);
    QVERIFY(harness.PageBytes().contains(
        ("<h2>" + FruitLines()[before].section(QLatin1Char('\t'), 0, 0) + "</h2>").toLatin1()));
    harness.Window().Action(CommandId::kForward)->trigger();
    QCOMPARE(harness.List().SelectionMark(), last);
    QCOMPARE(harness.Window().History().Size(), PageHistory::kCapacity);
  }

  // Back and Forward are greyed where they lead nowhere, and every file opened starts a new trail.
  void historyStartsAfreshWithEachFile() {
    AppHarness harness;
    harness.Start();
    QVERIFY(!BackEnabled(harness));
    QVERIFY(!ForwardEnabled(harness));
    QVERIFY(harness.App().OpenFile(harness.FruitTome()));
    QVERIFY(!BackEnabled(harness));  // only the first entry so far
    harness.View().ShowSubject(Fruit("Date"));
    QVERIFY(BackEnabled(harness));
    QVERIFY(!ForwardEnabled(harness));
    harness.Window().Action(CommandId::kBack)->trigger();
    QVERIFY(!BackEnabled(harness));
    QVERIFY(ForwardEnabled(harness));

    const QString other = MakeTome(harness.Dir(), QStringLiteral("other.lv"), {"Xylophone\tMusic.", "Zebra\tStriped."});
    QVERIFY(harness.App().OpenFile(other));
    QCOMPARE(harness.Window().History().Size(), 1);
    QVERIFY(!BackEnabled(harness));
    QVERIFY(!ForwardEnabled(harness));

    // A text file is not thrown away by a step into the tome before it.
    harness.View().ShowSubject(1);
    const QString text = WriteFile(harness.Path(QStringLiteral("notes.txt")), "Some notes.");
    QVERIFY(harness.App().OpenFile(text));
    QVERIFY(!BackEnabled(harness));
    harness.Window().Action(CommandId::kBack)->trigger();
    QCOMPARE(harness.Doc().Kind(), DocumentKind::kTextFile);
    QVERIFY(harness.View().toPlainText().contains(QStringLiteral("Some notes.")));
  }

  void altArrowsStepThroughTheHistory() {
    AppHarness harness;
    harness.Start({harness.FruitTome()});
    harness.Window().show();
    QVERIFY(QTest::qWaitForWindowActive(&harness.Window()));
    for (const char* subject : {"Banana", "Date"}) harness.View().ShowSubject(Fruit(subject));
    for (QWidget* pane : {static_cast<QWidget*>(&harness.View()), static_cast<QWidget*>(&harness.List())}) {
      pane->setFocus();
      QTest::keyClick(pane, Qt::Key_Left, Qt::AltModifier);
      QCOMPARE(harness.List().SelectionMark(), Fruit("Banana"));
      QTest::keyClick(pane, Qt::Key_Right, Qt::AltModifier);
      QCOMPARE(harness.List().SelectionMark(), Fruit("Date"));
    }
  }

  // Markup in a text file is text; UTF-8 reads as UTF-8; tabs and runs of spaces stay.
  void textFileIsShownAsWritten() {
    AppHarness harness;
    harness.Start();
    const QString text = WriteFile(
        harness.Path(QStringLiteral("notes.txt")),
        "if a < b and c > d & e\n<b>not bold</b> <img src=\"file:///etc/hostname\"> <a href=\"tome::Apple\">x</a>\n"
        "Caf\xC3\xA9 \xE2\x82\xAC\ncol1\tcol2    spaced\r\n");
    QVERIFY(harness.App().OpenFile(text));
    const QString shown = harness.View().toPlainText();
    QVERIFY2(shown.contains(QStringLiteral("if a < b and c > d & e")), qPrintable(shown));
    QVERIFY(shown.contains(QStringLiteral("<b>not bold</b> <img src=\"file:///etc/hostname\"> <a href=")));
    QVERIFY(shown.contains(QString::fromUtf8("Caf\xC3\xA9 \xE2\x82\xAC")));
    QVERIFY(shown.contains(QStringLiteral("col1\tcol2    spaced")));
    QVERIFY(!harness.View().document()->toHtml().contains(QStringLiteral("<a href")));
    // A new font size builds the page again, still as written.
    auto* sizes = harness.Window().findChild<QComboBox*>(QStringLiteral("sizeCombo"));
    sizes->setCurrentIndex(sizes->findText(QStringLiteral("24")));
    QVERIFY(harness.PageBytes().contains("<font size=\"6\" face="));
    QVERIFY(harness.View().toPlainText().contains(QString::fromUtf8("Caf\xC3\xA9 \xE2\x82\xAC")));
  }

  // A tome that cannot be opened is named with the cause, and nothing that needs a tome is offered.
  void failedOpenSaysWhyAndSetsTheTomeCommandsAside() {
    AppHarness harness;
    harness.Start({harness.FruitTome()});
    QVERIFY(harness.QuickFindEdit()->isEnabled());
    const QString broken = WriteFile(harness.Path(QStringLiteral("broken.lv")), "Dear diary, this is no tome.");
    QVERIFY(!harness.App().OpenFile(broken));
    QCOMPARE(harness.dialogs.shown.size(), 1);
    QCOMPARE(harness.dialogs.shown[0].text, QStringLiteral("Cannot open %1:\nIt is not a tome.").arg(broken));
    QVERIFY(!harness.QuickFindEdit()->isEnabled());
    QVERIFY(!harness.Window().menuBar()->actions().at(2)->isEnabled());
    QVERIFY(!BackEnabled(harness));
    QCOMPARE(harness.ShownPageName(), QStringLiteral("startup.htm"));
    QVERIFY(!harness.QuickFind().TypeCharacter('a'));
  }

  void nothingOpenOffersNoTomeCommands() {
    AppHarness harness;
    harness.Start();
    QVERIFY(!harness.QuickFindEdit()->isEnabled());
    QVERIFY(!harness.Window().menuBar()->actions().at(2)->isEnabled());
    QVERIFY(harness.App().OpenFile(harness.FruitTome()));
    QVERIFY(harness.QuickFindEdit()->isEnabled());
    QVERIFY(harness.Window().menuBar()->actions().at(2)->isEnabled());
  }

  void hoveredLinkTargetShowsInTheStatusBar() {
    AppHarness harness;
    harness.Start({harness.FruitTome()});
    QStatusBar* bar = harness.Window().statusBar();
    emit harness.View().linkHovered(QStringLiteral("https://example.org/bees"));
    QCOMPARE(bar->currentMessage(), QStringLiteral("https://example.org/bees"));
    emit harness.View().linkHovered(QString());
    QCOMPARE(bar->currentMessage(), QStringLiteral("Ready"));
  }

  void shiftWithADigitInThePageFindsTheDigit() {
    AppHarness harness;
    const QString tome = MakeTome(harness.Dir(), QStringLiteral("numbers.lv"),
                                  {"1 Alpha\tFirst.", "2 Beta\tSecond.", "3 Gamma\tThird."});
    harness.Start({tome});
    QTest::keyRelease(&harness.View(), Qt::Key_At, Qt::ShiftModifier);
    QCOMPARE(harness.QuickFindEdit()->text(), QStringLiteral("2"));
    QCOMPARE(harness.List().SelectionMark(), 1);
  }

  void ctrlQExits() {
    AppHarness harness;
    harness.Start({harness.FruitTome()});
    harness.Window().show();
    QVERIFY(QTest::qWaitForWindowActive(&harness.Window()));
    harness.List().setFocus();
    QTest::keySequence(QApplication::focusWidget(), QKeySequence(QStringLiteral("Ctrl+Q")));
    QVERIFY(!harness.Window().isVisible());
    QCOMPARE(harness.ReadSetting(QStringLiteral("LastTome")).toString(), harness.FruitTome());
  }

  void openDialogStartsInTheFolderLastUsed() {
    AppHarness harness;
    harness.Start();
    const QString books = harness.Path(QStringLiteral("books"));
    QVERIFY(QDir().mkpath(books));
    const QString tome = MakeTome(books, QStringLiteral("shelf.lv"), {"Zebra\tStriped."});
    harness.dialogs.filesToOpen << tome;
    harness.Window().Action(CommandId::kOpen)->trigger();
    harness.Window().Action(CommandId::kOpen)->trigger();  // cancelled
    QCOMPARE(harness.dialogs.openFolders.value(1), books);
    harness.Close();
    harness.Start();  // the next run remembers it
    harness.Window().Action(CommandId::kOpen)->trigger();
    QCOMPARE(harness.dialogs.openFolders.value(2), books);
  }

  // A termination signal closes the program as File > Exit does: the settings are saved.
  void terminationSignalClosesLikeExit() {
    AppHarness harness;
    harness.Start({harness.FruitTome()});
    harness.Window().show();
    harness.App().CloseOnTerminationSignals();
    QVERIFY(raise(SIGTERM) == 0);
    QTRY_VERIFY(!harness.Window().isVisible());
    QCOMPARE(harness.ReadSetting(QStringLiteral("LastTome")).toString(), harness.FruitTome());
  }

  void pageFolderThatCannotBeMadeIsReported() {
    AppHarness harness;
    const QByteArray previous = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(harness.Path(QStringLiteral("no/such/folder"))));
    harness.Start();
    qputenv("TMPDIR", previous);
    QCOMPARE(harness.dialogs.shown.size(), 1);
    QVERIFY(harness.dialogs.shown[0].text.startsWith(QStringLiteral("Cannot create a private folder for pages")));
    QVERIFY(harness.App().Pages().PageFilePath().isEmpty());
  }

  // The program's own options answer without a window, and without a display.
  void optionsAnswerWithoutAWindow_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("output");
    QTest::addColumn<QString>("errors");
    QTest::newRow("help") << QStringList{"--help"} << 0 << "usage: librovance [FILE]\n"
                          << "";
    QTest::newRow("short help") << QStringList{"-h"} << 0 << "usage: librovance [FILE]\n"
                                << "";
    QTest::newRow("version") << QStringList{"--version"} << 0
                             << QStringLiteral("librovance %1\n").arg(QLatin1String(kVersion)) << "";
    QTest::newRow("unknown option") << QStringList{"--frobnicate", "book.lv"} << 1 << ""
                                    << "librovance: unknown option '--frobnicate'\nusage: librovance [FILE]\n";
  }
  void optionsAnswerWithoutAWindow() {
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, output);
    QFETCH(QString, errors);
    const QString program = qEnvironmentVariable("LV_LIBROVANCE");
    if (program.isEmpty()) QSKIP("LV_LIBROVANCE does not name the program");
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    QVERIFY(process.waitForFinished(30000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), exitCode);
    const QString shownOutput = QString::fromLocal8Bit(process.readAllStandardOutput());
    const QString shownErrors = QString::fromLocal8Bit(process.readAllStandardError());
    QCOMPARE(shownOutput.left(output.size()), output);
    QCOMPARE(shownErrors.left(errors.size()), errors);
    if (output.isEmpty()) QCOMPARE(shownOutput, QString());
    if (errors.isEmpty()) QCOMPARE(shownErrors, QString());
  }
};

QTEST_MAIN(ReaderHabitsTest)
#include "reader_habits_qtest.moc"
