// The whole program with the Import and Preferences commands: the new tome opened afresh, the
// reimport question when the watched source has changed (Yes imports it again from a preset dialog,
// No stops the questions), and preferences that recolour the list and redraw the page at once.
#include <QAction>
#include <QApplication>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include "app/views/subject_list_model.h"
#include "app_fixture.h"

using namespace lv;

namespace {

const QString kQuestion = QStringLiteral("The original file for this tome has changed.\nWould you like to reimport?");

// Gives the file another modification time, as an editor saving it would.
void Touch(const QString& path, int secondsLater) {
  QFile file(path);
  if (!file.open(QIODevice::ReadWrite)) qFatal("cannot open %s", qPrintable(path));
  file.setFileTime(QFileInfo(path).lastModified().addSecs(secondsLater), QFileDevice::FileModificationTime);
}

// The window gains the focus; the reimport check runs once that has been handled.
void Activate(MainWindow& window) {
  QEvent activate(QEvent::WindowActivate);
  QApplication::sendEvent(&window, &activate);
  QCoreApplication::processEvents();
}

int QuestionsAsked(const ScriptedDialogs& dialogs) {
  int count = 0;
  for (const auto& shown : dialogs.shown) count += shown.question && shown.text == kQuestion;
  return count;
}

}  // namespace

class ImportCommandsTest : public QObject {
  Q_OBJECT

 private slots:
  // Importing over the tome on display opens it afresh; the source is then watched.
  void importOpensTheNewTomeAfresh() {
    AppHarness harness;
    const QString source = harness.Path(QStringLiteral("fruit.tab"));
    WriteFile(source, "Kiwi\tA fuzzy fruit.\r\nLime\tA sour fruit.\r\n");
    harness.Start({harness.FruitTome()});
    harness.dialogs.importAnswer = [&](const std::optional<ImportChoice>& preset, const ImportFinished& finished) {
      QVERIFY(!preset);
      ImportLikeTheDialog({source, harness.FruitTome(), false}, finished);
    };
    harness.Window().Action(CommandId::kImport)->trigger();
    QCOMPARE(harness.dialogs.importRequests.size(), 1);
    QCOMPARE(harness.Doc().Path(), harness.FruitTome());
    QCOMPARE(harness.List().Model()->rowCount(), 2);
    QVERIFY(harness.PageBytes().contains("<h2>Kiwi</h2>"));
    QCOMPARE(harness.Doc().Reimport().watchFlag, 1);
    QCOMPARE(harness.Doc().Reimport().sourcePath, source);
    // An unchanged source asks nothing.
    Activate(harness.Window());
    QCOMPARE(QuestionsAsked(harness.dialogs), 0);
  }

  // Yes opens the Import dialog preset with the source, the open tome and the sort choice; the list
  // shows the tome imported again.
  void changedSourceOffersAReimport() {
    AppHarness harness;
    const QString source = harness.Path(QStringLiteral("words.tab"));
    const QString tome = harness.Path(QStringLiteral("words.lv"));
    WriteFile(source, "b\ttwo\r\na\tone\r\n");
    harness.Start();
    harness.dialogs.importAnswer = [&](const std::optional<ImportChoice>& preset, const ImportFinished& finished) {
      ImportLikeTheDialog(preset ? *preset : ImportChoice{source, tome, true}, finished);
    };
    harness.Window().Action(CommandId::kImport)->trigger();
    QCOMPARE(harness.List().Model()->rowCount(), 2);

    WriteFile(source, "a\tone\r\nb\ttwo\r\nc\tthree\r\n");
    Touch(source, 10);
    harness.dialogs.yesNoAnswers = {true};
    Activate(harness.Window());
    QCOMPARE(QuestionsAsked(harness.dialogs), 1);
    QCOMPARE(harness.dialogs.shown.last().icon, MessageIcon::kQuestion);
    QCOMPARE(harness.dialogs.importRequests.size(), 2);
    const std::optional<ImportChoice> preset = harness.dialogs.importRequests.last();
    QVERIFY(preset);
    QCOMPARE(preset->sourcePath, source);
    QCOMPARE(preset->tomePath, tome);
    QVERIFY(preset->sortFile);
    QCOMPARE(harness.List().Model()->rowCount(), 3);
    QCOMPARE(harness.Doc().Reimport().watchFlag, 1);
    // The reimport is watched afresh: no question until the source changes again.
    Activate(harness.Window());
    QCOMPARE(QuestionsAsked(harness.dialogs), 1);
  }

  // No clears the watch: no further question until the next import, even when the file changes.
  void noStopsTheQuestions() {
    AppHarness harness;
    const QString source = harness.Path(QStringLiteral("w.tab"));
    WriteFile(source, "a\tone\r\n");
    harness.Start();
    harness.dialogs.importAnswer = [&](const std::optional<ImportChoice>&, const ImportFinished& finished) {
      ImportLikeTheDialog({source, harness.Path(QStringLiteral("w.lv")), false}, finished);
    };
    harness.Window().Action(CommandId::kImport)->trigger();
    Touch(source, 10);
    Activate(harness.Window());
    QCOMPARE(QuestionsAsked(harness.dialogs), 1);
    QCOMPARE(harness.Doc().Reimport().watchFlag, 0);
    Touch(source, 20);
    Activate(harness.Window());
    QCOMPARE(QuestionsAsked(harness.dialogs), 1);
    QCOMPARE(harness.dialogs.importRequests.size(), 1);
  }

  // "OK" colours the list and redraws the page at once; Cancel keeps a picked colour for later pages
  // but changes nothing on screen.
  void preferencesRedrawAtOnce() {
    AppHarness harness;
    harness.Start({harness.FruitTome()});
    harness.dialogs.preferencesAnswer = [](SettingsStore& settings) {
      settings.pageBackground = 0;
      settings.backRValue = 255;
      settings.backGValue = 0;
      settings.backBValue = 0;
      settings.quickFindDelay = 3;
      return true;
    };
    harness.Window().Action(CommandId::kPreferences)->trigger();
    QCOMPARE(harness.dialogs.preferencesRequests, 1);
    QCOMPARE(harness.List().BackgroundColour(), QColor(255, 0, 0));
    QVERIFY2(harness.PageBytes().contains("bgcolor = \"ff0000\""), harness.PageBytes().left(400).constData());

    harness.dialogs.preferencesAnswer = [](SettingsStore& settings) {
      settings.backGValue = 255;  // "Select" stores at once, then the dialog is cancelled
      return false;
    };
    harness.Window().Action(CommandId::kPreferences)->trigger();
    QCOMPARE(harness.List().BackgroundColour(), QColor(255, 0, 0));
    QVERIFY(harness.PageBytes().contains("bgcolor = \"ff0000\""));
    harness.View().ShowSubject(1);  // the next page drawn
    QVERIFY(harness.PageBytes().contains("bgcolor = \"ffff00\""));
    harness.Close();
    QCOMPARE(harness.ReadSetting(QStringLiteral("QuickFindDelay")).toInt(), 3);
    QCOMPARE(harness.ReadSetting(QStringLiteral("BackGValue")).toInt(), 255);
  }
};

QTEST_MAIN(ImportCommandsTest)
#include "import_commands_qtest.moc"
