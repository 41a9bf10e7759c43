// The one display-preparation step between a page's bytes and what the entry view shows, and the
// two URL readings that go with it (links and backgrounds).
#include <QTest>

#include "app/views/page_display.h"

using namespace lv;

class PageDisplayTest : public QObject {
  Q_OBJECT

 private slots:
  void pagesAreAdjustedForDisplay_data() {
    QTest::addColumn<QByteArray>("page");
    QTest::addColumn<QString>("shown");
    QTest::newRow("windows-1252") << QByteArray("caf\xE9 \x80 \x93q\x94")
                                  << QString::fromUtf8("caf\xC3\xA9 \xE2\x82\xAC \xE2\x80\x9Cq\xE2\x80\x9D");
    QTest::newRow("strike-through") << QByteArray("<strike>x</STRIKE>") << QStringLiteral("<s>x</s>");
    QTest::newRow("bare colour") << QByteArray("<body bgcolor = \"eeeeff\">")
                                 << QStringLiteral("<body bgcolor=\"#eeeeff\">");
    QTest::newRow("find mark") << QByteArray("<a name=\"findloc\"><font color=\"red\">hit</a></font>")
                               << QStringLiteral("<a name=\"findloc\"></a><font color=\"red\">hit</font>");
    QTest::newRow("plain text") << QByteArray("<p>nothing to adjust</p>") << QStringLiteral("<p>nothing to adjust</p>");
    QTest::newRow("declared utf-8") << QByteArray("<head><meta content=\"text/html; charset=utf-8\"></head>caf\xC3\xA9")
                                    << QString::fromUtf8(
                                           "<head><meta content=\"text/html; charset=utf-8\"></head>caf\xC3\xA9");
    QTest::newRow("utf-8 named only in the body")
        << QByteArray("<body>charset=utf-8 caf\xE9") << QString::fromUtf8("<body>charset=utf-8 caf\xC3\xA9");
  }
  void pagesAreAdjustedForDisplay() {
    QFETCH(QByteArray, page);
    QFETCH(QString, shown);
    QCOMPARE(PrepareDisplayHtml(page), shown);
  }

  // Links reach the link rule exactly as the page wrote them, whatever Qt does to URLs.
  void linksCarryTheirTextIntact_data() {
    QTest::addColumn<QString>("href");
    QTest::newRow("tome link with a space") << "tome::Big Ben";
    QTest::newRow("escaped space") << "tome::Big%20Ben";
    QTest::newRow("other case") << "TOME::x";
    QTest::newRow("page") << "other.htm#part";
  }
  void linksCarryTheirTextIntact() {
    QFETCH(QString, href);
    const QString html = PrepareDisplayHtml(("<a href=\"" + href + "\">b</a>").toLatin1());
    QVERIFY(!html.contains(href));
    const qsizetype start = html.indexOf(QStringLiteral("href=\"")) + 6;
    const QUrl link(html.mid(start, html.indexOf(QLatin1Char('"'), start) - start));
    QCOMPARE(PageLinkText(link), href);
    QCOMPARE(PageLinkText(QUrl(href)), QString());  // not one of ours
  }

  void backgroundsAreNamedByNumber() {
    QCOMPARE(BackgroundBitmapNumber(QUrl(QStringLiteral("res://librovance.exe/#2/#235"))), 235);
    QCOMPARE(BackgroundBitmapNumber(QUrl(QStringLiteral("http://example.com/#2/#235"))), -1);
    QCOMPARE(BackgroundBitmapNumber(QUrl(QStringLiteral("res://librovance.exe/#2/"))), -1);
  }
};

QTEST_GUILESS_MAIN(PageDisplayTest)
#include "page_display_qtest.moc"
