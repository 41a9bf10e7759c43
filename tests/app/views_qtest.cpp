// The entry view and the subject list on a real window: page files and what the pane shows, links,
// keys, rows, clicks, scrolling and colours.
#include <QAbstractItemView>
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPrinter>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>

#include "app_fixture.h"
#include "docview/qt/page_source.h"
#include "docview/qt/subject_list_model.h"
#include "docview/renderer.h"

using namespace lv;

namespace {

int Fruit(const char* subject) {
  const QStringList lines = FruitLines();
  for (int i = 0; i < lines.size(); ++i) {
    if (lines[i].startsWith(QString::fromLatin1(subject) + QLatin1Char('\t'))) return i;
  }
  return -1;
}

QPoint RowCentre(CLibrovanceSubjectListView& list, int row) {
  return list.visualRect(list.Model()->index(row, 0)).center();
}

}  // namespace

class ViewsTest : public QObject {
  Q_OBJECT

 private slots:
  void pageFileIsTheRenderersPage() {
    AppHarness harness;
    harness.Start({harness.FruitTome()});
    TomeReader& reader = harness.Doc().Reader();
    const int apple = Fruit("Apple");
    harness.View().ShowSubject(apple, -1, -1);
    reader.LoadEntryText(apple);
    PageSettings settings = PageSettingsFrom(harness.Frame().Settings());
    settings.entryFontSize = harness.Doc().EntryPageFontSize();
    const std::string expected = RenderEntryPage(reader.Subject(apple), reader.CurrentEntryText(), settings);
    QCOMPARE(harness.PageBytes(), QByteArray::fromStdString(expected));
    QCOMPARE(harness.ShownPageName(), QStringLiteral("data.htm"));
    QVERIFY(harness.View().toPlainText().contains(QStringLiteral("A round fruit.")));

    harness.View().ShowSubject(apple, 2, 5);
    QCOMPARE(harness.ShownPageName(), QStringLiteral("data.htm#findloc"));
    QVERIFY(harness.PageBytes().contains("<a name=\"findloc\">"));
    // The same file shown again is read afresh.
    harness.View().ShowSubject(Fruit("Date"), -1, -1);
    QCOMPARE(harness.ShownPageName(), QStringLiteral("data.htm"));
    QVERIFY(harness.View().toPlainText().contains(QStringLiteral("The fruit of a palm.")));
  }

  void pageIsWrittenInThePrivateDirectory() {
    AppHarness harness;
    harness.Start({harness.FruitTome()});
    const QString page = harness.App().Pages().PageFilePath();
    QCOMPARE(QFileInfo(page).absolutePath(), harness.App().Pages().Path());
    QVERIFY(QFileInfo::exists(page));
    QCOMPARE(harness.View().source(), QUrl::fromLocalFile(page));
  }

  void displayFixesLeaveThePageFileAlone() {
    const QByteArray page =
        "<body bgcolor = \"eeeeff\"><strike>x</strike> <a name=\"findloc\"><font color=\"red\">hit</a></font>"
        " <a href=\"tome::Big Ben\">b</a> caf\xE9";
    const QString html = PrepareDisplayHtml(page);
    QVERIFY(html.contains(QStringLiteral("bgcolor=\"#eeeeff\"")));
    QVERIFY(html.contains(QStringLiteral("<s>x</s>")));
    QVERIFY(html.contains(QStringLiteral("<a name=\"findloc\"></a><font color=\"red\">hit</font>")));
    QVERIFY(html.contains(QString::fromUtf8("caf\xC3\xA9")));
    QVERIFY(!html.contains(QStringLiteral("tome::")));
    const qsizetype start = html.indexOf(QStringLiteral("href=\"")) + 6;
    const QUrl link(html.mid(start, html.indexOf(QLatin1Char('"'), start) - start));
    QCOMPARE(PageLinkText(link), QStringLiteral("tome::Big Ben"));
    QCOMPARE(BackgroundBitmapNumber(QUrl(QStringLiteral("res://librovance.exe/#2/#235"))), 235);
    QCOMPARE(BackgroundBitmapNumber(QUrl(QStringLiteral("http://example.com/#2/#235"))), -1);
  }

  void backgroundsComeFromTheProgram() {
    AppHarness harness;
    harness.Start({harness.FruitTome()});
    const QVariant image =
        harness.View().document()->resource(QTextDocument::ImageResource,
                                            QUrl(QStringLiteral("res://librovance.exe/#2/#192")));
    QCOMPARE(image.value<QImage>().size(), QSize(192, 192));
    const QVariant unknown =
        harness.View().document()->resource(QTextDocument::ImageResource,
                                            QUrl(QStringLiteral("res://librovance.exe/#2/#999")));
    QVERIFY(!unknown.value<QImage>().isNull());  // an unknown number gets the default background
  }

  void linksShowTheirSubjects_data() {
    QTest::addColumn<QString>("href");
    QTest::addColumn<bool>("intercepted");
    QTest::addColumn<int>("shown");
    QTest::newRow("spaces") << "tome::Big Ben" << true << Fruit("Big Ben");
    QTest::newRow("escaped spaces") << "tome::Big%20Ben" << true << Fruit("Big Ben");
    QTest::newRow("implicit") << "tome::Cherry" << true << Fruit("Cherry");
    QTest::newRow("missing subject") << "tome::Nowhere" << true << 0;
    QTest::newRow("empty target") << "tome::" << true << 0;
    QTest::newRow("other case") << "TOME::Big Ben" << false << -1;
  }
  void linksShowTheirSubjects() {
    QFETCH(QString, href);
    QFETCH(bool, intercepted);
    QFETCH(int, shown);
    AppHarness harness;
    harness.Start({harness.FruitTome()});
    harness.View().ShowSubject(Fruit("Fig"), -1, -1);
    QCOMPARE(harness.View().FollowLink(href), intercepted);
    if (intercepted) {
      QCOMPARE(harness.List().SelectionMark(), shown);
      QCOMPARE(harness.ShownPageName(), QStringLiteral("data.htm"));
    } else {
      // Not one of the program's pages: the pane goes back to the start page.
      QCOMPARE(harness.ShownPageName(), QStringLiteral("startup.htm"));
    }
  }

  void clickingALinkInThePage() {
    AppHarness harness;
    harness.Start({harness.FruitTome()});
    harness.View().ShowSubject(Fruit("Apple"), -1, -1);
    harness.Frame().resize(1000, 700);
    harness.Frame().show();
    QVERIFY(QTest::qWaitForWindowExposed(&harness.Frame()));
    const QTextCursor found = harness.View().document()->find(QStringLiteral("the clock"));
    QVERIFY(!found.isNull());
    QTextCursor inside(harness.View().document());
    inside.setPosition(found.selectionStart() + 2);
    const QPoint point = harness.View().cursorRect(inside).center();
    QTest::mouseClick(harness.View().viewport(), Qt::LeftButton, {}, point);
    QTRY_COMPARE(harness.List().SelectionMark(), Fruit("Big Ben"));
    QVERIFY(harness.PageBytes().contains("<h2>Big Ben</h2>"));
  }

  void releasedKeysFeedTheQuickFind() {
    AppHarness harness;
    harness.Start({harness.FruitTome()});
    CLibrovanceView& view = harness.View();
    QTest::keyRelease(&view, Qt::Key_G);
    QCOMPARE(harness.QuickFindEdit()->text(), QStringLiteral("G"));
    QCOMPARE(harness.List().SelectionMark(), Fruit("Grape"));
    QTest::keyRelease(&view, Qt::Key_F3);
    QTest::keyRelease(&view, Qt::Key_B, Qt::ControlModifier);
    QTest::keyRelease(&view, Qt::Key_Space);
    QCOMPARE(harness.QuickFindEdit()->text(), QStringLiteral("G"));
    QTest::keyRelease(&view, Qt::Key_Backspace);
    QCOMPARE(harness.QuickFindEdit()->text(), QString());
    QTest::keyRelease(&view, Qt::Key_D);
    QTest::keyRelease(&view, Qt::Key_Escape);
    QCOMPARE(harness.QuickFindEdit()->text(), QString());
  }

  void pasteKeysFillTheQuickFindFromAnyPane() {
    AppHarness harness;
    harness.Start({harness.FruitTome()});
    harness.Frame().show();
    QVERIFY(QTest::qWaitForWindowExposed(&harness.Frame()));
    QGuiApplication::clipboard()->setText(QStringLiteral("ch"));
    harness.View().setFocus();
    QTest::keyClick(&harness.View(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(harness.QuickFindEdit()->text(), QStringLiteral("ch"));
    QCOMPARE(harness.List().SelectionMark(), Fruit("Cherry"));
    harness.QuickFindEdit()->clear();
    harness.List().setFocus();
    QTest::keyClick(&harness.List(), Qt::Key_Insert, Qt::ShiftModifier);
    QCOMPARE(harness.QuickFindEdit()->text(), QStringLiteral("ch"));
  }

  void rowsAreReadOnDemand() {
    AppHarness harness;
    harness.Start({harness.FruitTome()});
    SubjectListModel* model = harness.List().Model();
    QCOMPARE(model->rowCount(), FruitLines().size());
    QCOMPARE(model->columnCount(), 2);
    QCOMPARE(model->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("Subject"));
    QCOMPARE(model->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("Preview"));
    QCOMPARE(harness.List().columnWidth(1), 600);
    QCOMPARE(model->index(Fruit("Big Ben"), 0).data().toString(), QStringLiteral("Big Ben"));
    // The preview shows a link's visible text, not its target, and stops at the first line break.
    const QString apple = model->index(Fruit("Apple"), 1).data().toString();
    QVERIFY(apple.contains(QStringLiteral("the clock")));
    QVERIFY(!apple.contains(QStringLiteral("Big Ben")));
    QCOMPARE(model->index(Fruit("Abbey"), 1).data().toString(), QStringLiteral("A house of monks or nuns."));
  }

  void longRowsAreCut() {
    AppHarness harness;
    const QString subject(150, QLatin1Char('s'));
    const QString text(700, QLatin1Char('t'));
    const QString tome = MakeTome(harness.Dir(), QStringLiteral("long.lv"), {subject + "\t" + text});
    harness.Start({tome});
    SubjectListModel* model = harness.List().Model();
    QCOMPARE(model->index(0, 0).data().toString().size(), SubjectListModel::kSubjectLimit);
    QVERIFY(model->index(0, 1).data().toString().size() <= SubjectListModel::kPreviewLimit);
  }

  void clicksAndArrowsShowSubjects() {
    AppHarness harness;
    harness.Start({harness.FruitTome()});
    harness.Frame().resize(1000, 700);
    harness.Frame().show();
    QVERIFY(QTest::qWaitForWindowExposed(&harness.Frame()));
    CLibrovanceSubjectListView& list = harness.List();
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, RowCentre(list, 3));
    QCOMPARE(list.SelectionMark(), 3);
    QVERIFY(harness.PageBytes().contains("<h2>Banana</h2>"));
    QTest::keyClick(&list, Qt::Key_Down);
    QCOMPARE(list.SelectionMark(), 4);
    QTest::keyClick(&list, Qt::Key_Up);
    QTest::keyClick(&list, Qt::Key_Up);
    QCOMPARE(list.SelectionMark(), 2);
    QVERIFY(harness.PageBytes().contains("<h2>Apple</h2>"));
    // A click below the last row, or with the right button, changes nothing.
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, QPoint(10, list.viewport()->height() - 2));
    QTest::mouseClick(list.viewport(), Qt::RightButton, {}, RowCentre(list, 6));
    QCOMPARE(list.SelectionMark(), 2);
  }

  void arrowsStopAtTheEnds() {
    AppHarness harness;
    harness.Start({harness.FruitTome()});
    CLibrovanceSubjectListView& list = harness.List();
    QTest::keyClick(&list, Qt::Key_Up);
    QCOMPARE(list.SelectionMark(), 0);
    const int last = list.Model()->rowCount() - 1;
    harness.View().ShowSubject(last, -1, -1);
    QTest::keyClick(&list, Qt::Key_Down);
    QCOMPARE(list.SelectionMark(), last);
    QVERIFY(harness.PageBytes().contains("<h2>Grape</h2>"));
  }

  void typedCharactersGoToQuickFindOrTheList() {
    AppHarness harness;
    harness.Start({harness.FruitTome()});
    CLibrovanceSubjectListView& list = harness.List();
    QTest::keyClicks(&list, QStringLiteral("ch"));
    QCOMPARE(harness.QuickFindEdit()->text(), QStringLiteral("ch"));
    QCOMPARE(list.SelectionMark(), Fruit("Cherry"));
    QTest::keyClick(&list, Qt::Key_Space);
    QTest::keyClick(&list, Qt::Key_Period);
    QTest::keyClick(&list, Qt::Key_E, Qt::AltModifier);  // a menu key, not a typed character
    QCOMPARE(harness.QuickFindEdit()->text(), QStringLiteral("ch"));
    QCOMPARE(list.SelectionMark(), Fruit("Cherry"));
  }

  void selectionScrollsFiveSuccessorsIntoView() {
    AppHarness harness;
    QStringList lines;
    for (int i = 0; i < 300; ++i) lines << QStringLiteral("Subject %1\tText %1.").arg(i, 3, 10, QLatin1Char('0'));
    const QString tome = MakeTome(harness.Dir(), QStringLiteral("many.lv"), lines);
    harness.Start({tome});
    harness.Frame().resize(1000, 700);
    harness.Frame().show();
    QVERIFY(QTest::qWaitForWindowExposed(&harness.Frame()));
    CLibrovanceSubjectListView& list = harness.List();
    const QRect area = list.viewport()->rect();
    harness.View().ShowSubject(150, -1, -1);
    QVERIFY(area.contains(list.visualRect(list.Model()->index(150, 0))));
    QVERIFY(area.intersects(list.visualRect(list.Model()->index(155, 0))));
    harness.View().ShowSubject(299, -1, -1);
    QVERIFY(area.contains(list.visualRect(list.Model()->index(299, 0))));
    harness.View().ShowSubject(0, -1, -1);
    QCOMPARE(list.verticalScrollBar()->value(), 0);
    // A fifth successor that is partly visible already is enough: the list does not move.
    const int rowHeight = list.rowHeight(0);
    list.resize(list.width(), list.height() - list.viewport()->height() % rowHeight + rowHeight / 2);
    const int cut = list.rowAt(list.viewport()->height() - 1);
    QVERIFY(!list.viewport()->rect().contains(list.visualRect(list.Model()->index(cut, 0))));
    harness.View().ShowSubject(cut - 5, -1, -1);
    QCOMPARE(list.verticalScrollBar()->value(), 0);
  }

  void listColourFollowsTheBackgroundStyle_data() {
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
  void listColourFollowsTheBackgroundStyle() {
    QFETCH(int, style);
    QFETCH(QColor, colour);
    AppHarness harness;
    harness.WriteSettings({{"PageBackground", style}, {"BackRValue", 0}, {"BackGValue", 128}, {"BackBValue", 15}});
    harness.Start({harness.FruitTome()});
    QCOMPARE(harness.List().BackgroundColour(), colour);
    QCOMPARE(harness.List().palette().color(QPalette::Base), colour);
    if (style == 0) QVERIFY(harness.PageBytes().contains("<body bgcolor = \"00800f\">"));
  }

  void printingMakesAPdfWithoutTheBackground() {
    AppHarness harness;
    harness.Start({harness.FruitTome()});
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(harness.Path(QStringLiteral("page.pdf")));
    harness.View().PrintTo(printer);
    QFile pdf(harness.Path(QStringLiteral("page.pdf")));
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    QVERIFY(pdf.readAll().startsWith("%PDF"));
    harness.Frame().Action(kCmdPrint)->trigger();  // the print dialog is asked, and cancelled
    QCOMPARE(harness.dialogs.printerRequests, 1);
  }
};

QTEST_MAIN(ViewsTest)
#include "views_qtest.moc"
