// The Back/Forward history on its own: recording, the steps, a full history, clearing, and subjects
// the open tome lacks.
#include <QTest>

#include "app/frame/page_history.h"

using namespace lv;

class PageHistoryTest : public QObject {
  Q_OBJECT

 private slots:
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

  // A full history lets its oldest entry go: Back still leads to the page shown before, also after
  // Back and a new subject.
  void fullHistoryDropsItsOldestEntry() {
    PageHistory history;
    auto all = [](int) { return true; };
    for (int subject = 0; subject <= PageHistory::kCapacity; ++subject) history.Record(subject);
    QCOMPARE(history.Size(), PageHistory::kCapacity);
    QCOMPARE(history.EntryAt(0), 1);
    QCOMPARE(history.EntryAt(history.Cursor()), PageHistory::kCapacity);
    QCOMPARE(history.Back(all), PageHistory::kCapacity - 1);
    history.Record(777);
    history.Record(778);
    QCOMPARE(history.Size(), PageHistory::kCapacity);
    QCOMPARE(history.EntryAt(0), 2);
    QCOMPARE(history.Back(all), 777);
    QCOMPARE(history.Back(all), PageHistory::kCapacity - 1);
    QVERIFY(history.CanGoForward());
  }

  void stepsAreOfferedOnlyWhereTheyLead() {
    PageHistory history;
    auto all = [](int) { return true; };
    QVERIFY(!history.CanGoBack());
    QVERIFY(!history.CanGoForward());
    history.Record(4);
    QVERIFY(!history.CanGoBack());
    history.Record(8);
    QVERIFY(history.CanGoBack());
    QVERIFY(!history.CanGoForward());
    history.Back(all);
    QVERIFY(!history.CanGoBack());
    QVERIFY(history.CanGoForward());
    history.Clear();
    QCOMPARE(history.Size(), 0);
    QVERIFY(!history.CanGoBack());
    QVERIFY(!history.CanGoForward());
    QCOMPARE(history.Back(all), -1);
    history.Record(3);
    QCOMPARE(history.EntryAt(0), 3);
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
};

QTEST_GUILESS_MAIN(PageHistoryTest)
#include "page_history_qtest.moc"
