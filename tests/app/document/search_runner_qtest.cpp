// The search runner on its own: one report per pass on the runner's thread, a cancelled or replaced
// pass never reporting late, and the real pass over a tome file.
#include <QCoreApplication>
#include <QFile>
#include <QSignalSpy>
#include <QTest>

#include <atomic>
#include <chrono>
#include <thread>

#include "app/document/search_runner.h"
#include "app_fixture.h"

using namespace lv;

namespace {

// A pass that runs until it is told to stop, and then claims a hit all the same.
SearchOutcome StubbornPass(const std::string&, const SearchQuery&, int, const SearchControl& control) {
  while (!control.cancel->load()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  SearchOutcome outcome;
  outcome.result = SearchResult::kFound;
  outcome.hit.subjectIndex = 99;
  return outcome;
}

SearchOutcome InstantHit(const std::string&, const SearchQuery&, int start, const SearchControl&) {
  SearchOutcome outcome;
  outcome.result = SearchResult::kFound;
  outcome.hit.subjectIndex = start;
  return outcome;
}

SearchOutcome OutcomeAt(const QSignalSpy& spy, qsizetype i) { return spy.at(i).at(0).value<SearchOutcome>(); }

}  // namespace

Q_DECLARE_METATYPE(lv::SearchOutcome)

class SearchRunnerTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { qRegisterMetaType<SearchOutcome>(); }

  void cancelReportsAtOnceAndDropsTheLateHit() {
    SearchRunner runner;
    runner.SetSearchFunction(StubbornPass);
    QSignalSpy finished(&runner, &SearchRunner::finished);
    runner.Start("unused.lv", SearchQuery{}, 0);
    QVERIFY(runner.IsRunning());
    runner.Cancel();
    QVERIFY(!runner.IsRunning());
    QCOMPARE(finished.size(), 1);
    QCOMPARE(OutcomeAt(finished, 0).result, SearchResult::kCancelled);
    runner.Stop();  // waits for the pass's thread, which has posted its own report by then
    QCoreApplication::processEvents();
    QCOMPARE(finished.size(), 1);
    runner.Cancel();  // nothing runs: nothing reported
    QCOMPARE(finished.size(), 1);
  }

  void aNewPassReplacesTheRunningOne() {
    SearchRunner runner;
    runner.SetSearchFunction(StubbornPass);
    QSignalSpy finished(&runner, &SearchRunner::finished);
    runner.Start("unused.lv", SearchQuery{}, 0);
    runner.SetSearchFunction(InstantHit);
    runner.Start("unused.lv", SearchQuery{}, 7);
    QTRY_COMPARE(finished.size(), 1);
    QCOMPARE(OutcomeAt(finished, 0).hit.subjectIndex, 7);
    QVERIFY(!runner.IsRunning());
  }

  void runsTheRealPassOverATome() {
    Collaborators collaborators;
    const QString tome = MakeTome(collaborators.Dir(), QStringLiteral("t.lv"), FruitLines());
    SearchRunner runner;
    QSignalSpy finished(&runner, &SearchRunner::finished);
    SearchQuery query;
    query.terms[0] = "purrs";
    runner.Start(QFile::encodeName(tome).toStdString(), query, 0);
    QTRY_COMPARE(finished.size(), 1);
    QCOMPARE(OutcomeAt(finished, 0).result, SearchResult::kFound);
    QCOMPARE(OutcomeAt(finished, 0).hit.subjectIndex, Fruit("Cat"));
    QVERIFY(OutcomeAt(finished, 0).hit.textOffset > 0);

    runner.Start(QFile::encodeName(collaborators.Path(QStringLiteral("absent.lv"))).toStdString(), query, 0);
    QTRY_COMPARE(finished.size(), 2);
    QCOMPARE(OutcomeAt(finished, 1).result, SearchResult::kFailed);
  }
};

QTEST_MAIN(SearchRunnerTest)
#include "search_runner_qtest.moc"
