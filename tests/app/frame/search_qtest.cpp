// Find and Find Next on the running program: the hit shown with its stretch marked, the pass order
// with its wrap-around, searches that find nothing or are cancelled leaving the page and the
// selection as they were, and the progress shown while a pass takes more than a moment.
#include <QAction>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>

#include <chrono>
#include <thread>

#include "app/frame/command_id.h"
#include "app/frame/search_status.h"
#include "app/views/subject_list_model.h"
#include "app_fixture.h"

using namespace lv;

namespace {

QString ShownSubject(AppHarness& harness) {
  return harness.List().Model()->index(harness.List().SelectionMark(), 0).data().toString();
}

SearchDialogValues Terms(const QString& term1, int operator1 = 0, const QString& term2 = QString()) {
  SearchDialogValues values;
  values.terms[0] = term1;
  values.operator1 = operator1;
  values.terms[1] = term2;
  return values;
}

// Runs a command and lets its pass report.
void RunAndWait(AppHarness& harness, CommandId command) {
  harness.Window().Action(command)->trigger();
  QTRY_VERIFY(!harness.Doc().Searcher().IsRunning());
}

// A pass that reports where it is and runs until it is told to stop.
SearchOutcome EndlessPass(const std::string&, const SearchQuery&, int, const SearchControl& control) {
  control.progress->SetRange(0, 12);
  control.progress->SetPosition(5);
  while (!control.cancel->load()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  SearchOutcome outcome;
  outcome.result = SearchResult::kCancelled;
  return outcome;
}

// Starts an endless pass from Cherry; its progress shows after moment milliseconds.
void StartEndlessFind(AppHarness& harness, int moment = SearchStatus::kMoment) {
  harness.Start({harness.FruitTome()});
  harness.Window().SearchStatus()->SetMoment(moment);
  harness.Window().show();
  QVERIFY(QTest::qWaitForWindowActive(&harness.Window()));
  harness.View().ShowSubject(Fruit("Cherry"));
  harness.Doc().Searcher().SetSearchFunction(EndlessPass);
  harness.dialogs.searchAnswers = {Terms(QStringLiteral("fruit"))};
  harness.Window().Action(CommandId::kFind)->trigger();
  QVERIFY(harness.Doc().Searcher().IsRunning());
}

void ExpectCherryUnmarked(AppHarness& harness) {
  QCOMPARE(ShownSubject(harness), QStringLiteral("Cherry"));
  QCOMPARE(harness.ShownPageName(), QStringLiteral("data.htm"));
  QVERIFY(harness.PageBytes().contains("<h2>Cherry</h2>"));
}

}  // namespace

class SearchTest : public QObject {
  Q_OBJECT

 private slots:
  void findAndFindNextWalkTheHitsMarked() {
    AppHarness harness;
    harness.Start({harness.FruitTome()});
    harness.dialogs.searchAnswers = {Terms(QStringLiteral("fruit"))};
    RunAndWait(harness, CommandId::kFind);
    QCOMPARE(harness.dialogs.searchForms, QList<SearchDialogForm>{SearchDialogForm::kFull});
    QCOMPARE(ShownSubject(harness), QStringLiteral("Apple"));
    QCOMPARE(harness.ShownPageName(), QStringLiteral("data.htm#findloc"));
    QVERIFY(harness.PageBytes().contains("<a name=\"findloc\"><font color=\"red\">fruit</a></font>"));

    QStringList walked;
    for (int i = 0; i < 6; ++i) {
      RunAndWait(harness, CommandId::kFindNext);
      walked << ShownSubject(harness);
    }
    // The link text "Cherry" in Apple's entry never counts; the pass wraps to Apple again.
    QCOMPARE(walked, (QStringList{"Banana", "Cherry", "Date", "Fig", "Grape", "Apple"}));
    QCOMPARE(harness.Doc().Search().lastHit, Fruit("Apple"));

    // Find starts at the selected subject: the same terms show the same subject again.
    harness.dialogs.searchAnswers = {Terms(QStringLiteral("FRUIT "))};
    RunAndWait(harness, CommandId::kFind);
    QCOMPARE(ShownSubject(harness), QStringLiteral("Apple"));
    QVERIFY(harness.dialogs.shown.isEmpty());
  }

  void aHitInTheSubjectMarksNothing() {
    AppHarness harness;
    harness.Start({harness.FruitTome()});
    SearchDialogValues values = Terms(QStringLiteral("ben"));
    values.subjectsOnly = true;
    harness.dialogs.searchAnswers = {values};
    RunAndWait(harness, CommandId::kFind);
    QCOMPARE(ShownSubject(harness), QStringLiteral("Big Ben"));
    QCOMPARE(harness.ShownPageName(), QStringLiteral("data.htm"));
    QVERIFY(!harness.PageBytes().contains("findloc"));
  }

  // With a second term, the stretch marked is term 1's own hit with its own length.
  void theMarkIsOneTermsOwnHit() {
    AppHarness harness;
    harness.Start({harness.FruitTome()});
    harness.dialogs.searchAnswers = {Terms(QStringLiteral("small"), 0, QStringLiteral("purrs"))};
    RunAndWait(harness, CommandId::kFind);
    QCOMPARE(ShownSubject(harness), QStringLiteral("Cat"));
    QVERIFY(harness.PageBytes().contains("<font color=\"red\">small</a></font>"));
  }

  void nothingFoundOrNoSearchChangesNothing() {
    AppHarness harness;
    harness.Start({harness.FruitTome()});
    harness.View().ShowSubject(Fruit("Cherry"));
    RunAndWait(harness, CommandId::kFindNext);  // no search yet
    RunAndWait(harness, CommandId::kFind);      // the dialog cancelled
    QVERIFY(!harness.Doc().Search().defined);
    ExpectCherryUnmarked(harness);

    harness.dialogs.searchAnswers = {Terms(QStringLiteral("zeppelin"))};
    RunAndWait(harness, CommandId::kFind);
    QVERIFY(harness.Doc().Search().defined);
    RunAndWait(harness, CommandId::kFindNext);
    ExpectCherryUnmarked(harness);
    QVERIFY(harness.dialogs.shown.isEmpty());
  }

  void withoutATomeFindDoesNothing() {
    AppHarness harness;
    harness.Start();
    RunAndWait(harness, CommandId::kFind);
    QVERIFY(harness.dialogs.searchForms.isEmpty());
  }

  // In a PalmDOC the simple form asks for one term; the page is shown at its single marked match.
  void findInAPalmDocShowsThePageAtTheMatch() {
    AppHarness harness;
    harness.Start({MakePalmDoc(harness.Path(QStringLiteral("cats.pdb")), {"cat & cat"})});
    QCOMPARE(harness.Doc().Kind(), DocumentKind::kPalmDoc);
    QCOMPARE(harness.ShownPageName(), QStringLiteral("data.htm"));
    harness.dialogs.searchAnswers = {Terms(QStringLiteral("cat"))};
    harness.Window().Action(CommandId::kFind)->trigger();
    QCOMPARE(harness.dialogs.searchForms, QList<SearchDialogForm>{SearchDialogForm::kSimple});
    const QByteArray mark = "<a name=\"findloc\"></a><font color=\"red\">cat</font>";
    QCOMPARE(harness.ShownPageName(), QStringLiteral("data.htm#findloc"));
    QVERIFY(harness.PageBytes().contains(mark + " &amp; cat"));
    harness.Window().Action(CommandId::kFindNext)->trigger();
    QCOMPARE(harness.ShownPageName(), QStringLiteral("data.htm#findloc"));
    QVERIFY(harness.PageBytes().contains("cat &amp; " + mark));
    QCOMPARE(harness.PageBytes().count("findloc"), 1);
    QVERIFY(harness.dialogs.shown.isEmpty());
  }

  void escapeStopsTheSearchLeavingPageAndSelection() {
    AppHarness harness;
    StartEndlessFind(harness);
    harness.QuickFindEdit()->setText(QStringLiteral("ch"));
    QTest::keyClick(&harness.View(), Qt::Key_Escape);
    QVERIFY(!harness.Doc().Searcher().IsRunning());
    ExpectCherryUnmarked(harness);
    QCOMPARE(harness.QuickFindEdit()->text(), QStringLiteral("ch"));  // the key went to the search only
    // Once no search runs, Escape empties the quick find as before.
    QTest::keyClick(&harness.View(), Qt::Key_Escape);
    QCOMPARE(harness.QuickFindEdit()->text(), QString());
  }

  void progressShowsAfterAMomentAndCancelStops() {
    AppHarness harness;
    StartEndlessFind(harness, 0);
    auto* progress = harness.Window().statusBar()->findChild<QProgressBar*>(QStringLiteral("searchProgress"));
    auto* cancel = harness.Window().statusBar()->findChild<QPushButton*>(QStringLiteral("searchCancel"));
    QTRY_VERIFY(progress->isVisible());
    QVERIFY(cancel->isVisible());
    QTRY_COMPARE(progress->maximum(), 12);  // as the pass reports it
    QTRY_COMPARE(progress->value(), 5);
    QTest::mouseClick(cancel, Qt::LeftButton);
    QVERIFY(!harness.Doc().Searcher().IsRunning());
    QVERIFY(!progress->isVisible());
    QVERIFY(!cancel->isVisible());
    ExpectCherryUnmarked(harness);
  }

  void openingAnotherFileStopsTheSearch() {
    AppHarness harness;
    StartEndlessFind(harness);
    const QString other = MakeTome(harness.Dir(), QStringLiteral("other.lv"), {"Zebra\tA striped fruit."});
    QVERIFY(harness.App().OpenFile(other));
    QVERIFY(!harness.Doc().Searcher().IsRunning());
    QCOMPARE(ShownSubject(harness), QStringLiteral("Zebra"));
    QCOMPARE(harness.ShownPageName(), QStringLiteral("data.htm"));
  }
};

QTEST_MAIN(SearchTest)
#include "search_qtest.moc"
