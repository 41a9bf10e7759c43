// The subject list on its own, built with a tome reader and page settings: rows read on demand,
// clicks and arrows reported as activated subjects, typed quick-find keys, scrolling and colours.
#include <QFile>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <memory>

#include "app/views/quick_find_keys.h"
#include "app/views/subject_list_model.h"
#include "app_fixture.h"
#include "tome/format.h"

using namespace lv;

namespace {

constexpr int kPageAhead = -1;
constexpr int kPageBack = -2;

QPoint RowCentre(SubjectListView& list, int row) { return list.visualRect(list.Model()->index(row, 0)).center(); }

}  // namespace

class SubjectListViewTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    m_parts = std::make_unique<Collaborators>();
    m_parts->OpenFruitTome();
    m_list = std::make_unique<SubjectListView>(m_parts->reader, m_parts->pageSettings, nullptr);
    // As the main window does: an activated subject becomes the selected one.
    connect(m_list.get(), &SubjectListView::subjectActivated, m_list.get(), &SubjectListView::SelectSubject);
    m_list->resize(400, 300);
    m_list->Reset(true);
  }
  void cleanup() {
    m_list.reset();
    m_parts.reset();
  }

  void rowsAreReadOnDemand() {
    SubjectListModel* model = m_list->Model();
    QCOMPARE(model->rowCount(), FruitLines().size());
    QCOMPARE(model->columnCount(), 2);
    QCOMPARE(model->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("Subject"));
    QCOMPARE(model->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("Preview"));
    QCOMPARE(m_list->columnWidth(1), SubjectListView::kPreviewColumnWidth);
    QCOMPARE(model->index(Fruit("Big Ben"), 0).data().toString(), QStringLiteral("Big Ben"));
    // The preview shows a link's visible text, not its target, and stops at the first line break.
    const QString apple = model->index(Fruit("Apple"), 1).data().toString();
    QVERIFY(apple.contains(QStringLiteral("the clock")));
    QVERIFY(!apple.contains(QStringLiteral("Big Ben")));
    QCOMPARE(model->index(Fruit("Abbey"), 1).data().toString(), QStringLiteral("A house of monks or nuns."));
    // The mark starts on the first row, with nothing selected yet.
    QCOMPARE(m_list->SelectionMark(), 0);
    // A closed tome empties the list.
    m_parts->reader.Close();
    m_list->Clear();
    QCOMPARE(model->rowCount(), 0);
  }

  void longRowsAreCut() {
    const QString subject(150, QLatin1Char('s'));
    const QString text(700, QLatin1Char('t'));
    const QString tome = MakeTome(m_parts->Dir(), QStringLiteral("long.lv"), {subject + "\t" + text});
    QVERIFY(m_parts->reader.Open(QFile::encodeName(tome).toStdString(), OpenMode::kReadWrite).IsOk());
    m_list->Reset(true);
    SubjectListModel* model = m_list->Model();
    QCOMPARE(model->index(0, 0).data().toString().size(), SubjectListModel::kSubjectLimit);
    QVERIFY(model->index(0, 1).data().toString().size() <= SubjectListModel::kPreviewLimit);
  }

  void clicksAndArrowsActivateSubjects() {
    m_list->resize(400, 700);  // room below the last row
    m_list->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_list.get()));
    QSignalSpy activated(m_list.get(), &SubjectListView::subjectActivated);
    QTest::mouseClick(m_list->viewport(), Qt::LeftButton, {}, RowCentre(*m_list, 3));
    QCOMPARE(m_list->SelectionMark(), 3);
    QTest::keyClick(m_list.get(), Qt::Key_Down);
    QCOMPARE(m_list->SelectionMark(), 4);
    QTest::keyClick(m_list.get(), Qt::Key_Up);
    QTest::keyClick(m_list.get(), Qt::Key_Up);
    QCOMPARE(m_list->SelectionMark(), 2);
    QCOMPARE(activated.size(), 4);
    // A click below the last row, or with the right button, changes nothing.
    QTest::mouseClick(m_list->viewport(), Qt::LeftButton, {}, QPoint(10, m_list->viewport()->height() - 2));
    QTest::mouseClick(m_list->viewport(), Qt::RightButton, {}, RowCentre(*m_list, 6));
    QCOMPARE(m_list->SelectionMark(), 2);
    QCOMPARE(activated.size(), 4);
  }

  void arrowsStopAtTheEnds() {
    QSignalSpy activated(m_list.get(), &SubjectListView::subjectActivated);
    QTest::keyClick(m_list.get(), Qt::Key_Up);
    QCOMPARE(m_list->SelectionMark(), 0);
    const int last = m_list->Model()->rowCount() - 1;
    m_list->SelectSubject(last);
    QTest::keyClick(m_list.get(), Qt::Key_Down);
    QCOMPARE(m_list->SelectionMark(), last);
    QCOMPARE(activated.size(), 0);
  }

  // Every key that moves the highlight reports the subject it lands on, so the page follows it; Home
  // and End go to the first and last subject and never scroll sideways.
  void everyMoveKeyShowsItsSubject_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("expected");  // kPageAhead / kPageBack: a page away from start
    QTest::newRow("page down") << int(Qt::Key_PageDown) << 0 << 10 << kPageAhead;
    QTest::newRow("page up") << int(Qt::Key_PageUp) << 0 << 60 << kPageBack;
    QTest::newRow("page up near the top") << int(Qt::Key_PageUp) << 0 << 2 << 0;
    QTest::newRow("page down near the end") << int(Qt::Key_PageDown) << 0 << 98 << 99;
    QTest::newRow("home") << int(Qt::Key_Home) << 0 << 50 << 0;
    QTest::newRow("end") << int(Qt::Key_End) << 0 << 50 << 99;
    QTest::newRow("ctrl+home") << int(Qt::Key_Home) << int(Qt::ControlModifier) << 50 << 0;
    QTest::newRow("ctrl+end") << int(Qt::Key_End) << int(Qt::ControlModifier) << 50 << 99;
    QTest::newRow("down") << int(Qt::Key_Down) << 0 << 50 << 51;
    QTest::newRow("up") << int(Qt::Key_Up) << 0 << 50 << 49;
  }
  void everyMoveKeyShowsItsSubject() {
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(int, start);
    QFETCH(int, expected);
    QStringList lines;
    for (int i = 0; i < 100; ++i) lines << QStringLiteral("Subject %1\tEntry %1.").arg(i, 3, 10, QLatin1Char('0'));
    const QString tome = MakeTome(m_parts->Dir(), QStringLiteral("hundred.lv"), lines);
    QVERIFY(m_parts->reader.Open(QFile::encodeName(tome).toStdString(), OpenMode::kReadOnly).IsOk());
    m_list->resize(300, 300);
    m_list->Reset(true);
    m_list->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_list.get()));
    m_list->SelectSubject(start);
    QSignalSpy activated(m_list.get(), &SubjectListView::subjectActivated);
    QTest::keyClick(m_list.get(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(activated.size(), 1);
    const int shown = activated[0][0].toInt();
    QCOMPARE(m_list->SelectionMark(), shown);
    if (expected == kPageAhead) {
      QVERIFY2(shown > start + 2, qPrintable(QString::number(shown)));
    } else if (expected == kPageBack) {
      QVERIFY2(shown < start - 2, qPrintable(QString::number(shown)));
    } else {
      QCOMPARE(shown, expected);
    }
    QVERIFY(m_list->viewport()->rect().intersects(m_list->visualRect(m_list->Model()->index(shown, 0))));
    QCOMPARE(m_list->horizontalScrollBar()->value(), 0);
    // At the end it leads to, the same key moves nothing.
    if (expected == 0 || expected == 99) {
      QTest::keyClick(m_list.get(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
      QCOMPARE(activated.size(), 1);
    }
  }

  void typedCharactersAreQuickFindKeys_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("character");  // -1: no quick-find key
    QTest::newRow("letter") << int(Qt::Key_C) << 0 << int('c');
    QTest::newRow("digit") << int(Qt::Key_4) << 0 << int('4');
    QTest::newRow("backspace") << int(Qt::Key_Backspace) << 0 << kQuickFindBackspace;
    QTest::newRow("escape") << int(Qt::Key_Escape) << 0 << kQuickFindEscape;
    QTest::newRow("space") << int(Qt::Key_Space) << 0 << -1;
    QTest::newRow("full stop") << int(Qt::Key_Period) << 0 << -1;
    QTest::newRow("menu key") << int(Qt::Key_E) << int(Qt::AltModifier) << -1;
  }
  void typedCharactersAreQuickFindKeys() {
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(int, character);
    QSignalSpy keys(m_list.get(), &SubjectListView::quickFindKey);
    QTest::keyClick(m_list.get(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(keys.size(), character < 0 ? 0 : 1);
    if (character >= 0) QCOMPARE(keys[0][0].toInt(), character);
    QCOMPARE(m_list->SelectionMark(), 0);  // typing never moves the list by itself
    // Without a tome, nothing is a quick-find key.
    m_parts->reader.Close();
    m_list->Clear();
    QTest::keyClick(m_list.get(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(keys.size(), character < 0 ? 0 : 1);
  }

  void capitalsKeepTheirCase() {
    QSignalSpy keys(m_list.get(), &SubjectListView::quickFindKey);
    QTest::keyClicks(m_list.get(), QStringLiteral("Cz"));
    QCOMPARE(keys.size(), 2);
    QCOMPARE(keys[0][0].toInt(), int('C'));
    QCOMPARE(keys[1][0].toInt(), int('z'));
  }

  void selectionScrollsFiveSuccessorsIntoView() {
    QStringList lines;
    for (int i = 0; i < 300; ++i) lines << QStringLiteral("Subject %1\tText %1.").arg(i, 3, 10, QLatin1Char('0'));
    const QString tome = MakeTome(m_parts->Dir(), QStringLiteral("many.lv"), lines);
    QVERIFY(m_parts->reader.Open(QFile::encodeName(tome).toStdString(), OpenMode::kReadWrite).IsOk());
    m_list->Reset(true);
    m_list->resize(400, 500);
    m_list->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_list.get()));
    SubjectListView& list = *m_list;
    const QRect area = list.viewport()->rect();
    list.SelectSubject(150);
    QVERIFY(area.contains(list.visualRect(list.Model()->index(150, 0))));
    QVERIFY(area.intersects(list.visualRect(list.Model()->index(155, 0))));
    list.SelectSubject(299);
    QVERIFY(area.contains(list.visualRect(list.Model()->index(299, 0))));
    list.SelectSubject(0);
    QCOMPARE(list.verticalScrollBar()->value(), 0);
    // A fifth successor that is partly visible already is enough: the list does not move.
    const int rowHeight = list.rowHeight(0);
    list.resize(list.width(), list.height() - list.viewport()->height() % rowHeight + rowHeight / 2);
    const int cut = list.rowAt(list.viewport()->height() - 1);
    QVERIFY(!list.viewport()->rect().contains(list.visualRect(list.Model()->index(cut, 0))));
    list.SelectSubject(cut - 5);
    QCOMPARE(list.verticalScrollBar()->value(), 0);
  }

  void colourFollowsTheBackgroundStyle_data() {
    QTest::addColumn<int>("style");
    QTest::addColumn<QColor>("colour");
    QTest::newRow("blank") << 0 << QColor(0, 128, 15);
    QTest::newRow("default") << 1 << QColor(203, 194, 181);
    QTest::newRow("2") << 2 << QColor(182, 180, 182);
    QTest::newRow("3") << 3 << QColor(253, 242, 112);
    QTest::newRow("4") << 4 << QColor(204, 204, 204);
    QTest::newRow("5") << 5 << QColor(228, 228, 228);
    QTest::newRow("out of range") << 9 << QColor(203, 194, 181);
  }
  void colourFollowsTheBackgroundStyle() {
    QFETCH(int, style);
    QFETCH(QColor, colour);
    m_parts->pageSettings.backgroundStyle = style;
    m_parts->pageSettings.backRed = 0;
    m_parts->pageSettings.backGreen = 128;
    m_parts->pageSettings.backBlue = 15;
    m_list->Reset(true);
    QCOMPARE(m_list->BackgroundColour(), colour);
    QCOMPARE(m_list->palette().color(QPalette::Base), colour);
    // With no document open the list keeps its own colour.
    m_list->Reset(false);
    QCOMPARE(m_list->BackgroundColour(), QColor(203, 194, 181));
  }

 private:
  std::unique_ptr<Collaborators> m_parts;
  std::unique_ptr<SubjectListView> m_list;
};

QTEST_MAIN(SubjectListViewTest)
#include "subject_list_view_qtest.moc"
