// The Back/Forward history on its own: recording, the steps, a full history, and subjects the open
// tome lacks.
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
};

QTEST_GUILESS_MAIN(PageHistoryTest)
#include "page_history_qtest.moc"
