// A PalmDOC made in the test, shown by the document: its text as an escaped page with its NUL bytes
// in sight, and Find and Find Next in it with one marked match, the wrap to the start, the text's own
// character set, and a failed open that leaves the PalmDOC on display searchable.
#include <QFile>
#include <QSignalSpy>
#include <QTest>

#include <memory>

#include "app_fixture.h"
#include "palm/pdb_container.h"

using namespace lv;

namespace {

const QByteArray kMarkOpen = "<a name=\"findloc\"></a><font color=\"red\">";
const QByteArray kMarkClose = "</font>";

// The text block of a text page.
QByteArray Body(const QByteArray& page) {
  const QByteArray open = "<div style=\"white-space: pre-wrap\">";
  const qsizetype begin = page.indexOf(open);
  const qsizetype end = page.lastIndexOf("</div>");
  if (begin < 0 || end < 0) return "<no text block>";
  return page.mid(begin + open.size(), end - begin - open.size());
}

// body with the stretch [at, at + length) marked.
QByteArray Marked(const QByteArray& body, qsizetype at, qsizetype length) {
  return body.left(at) + kMarkOpen + body.mid(at, length) + kMarkClose + body.mid(at + length);
}

// A Palm tome's database: type "LiVa", creator "LVPW", one record.
QString MakePalmTome(const QString& path) {
  const std::vector<uint8_t> header = MakePdbHeader("tome", "LiVa", "LVPW", {4}, [] { return int64_t{0}; });
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly)) qFatal("cannot write %s", qPrintable(path));
  file.write(reinterpret_cast<const char*>(header.data()), static_cast<qint64>(header.size()));
  file.write("tome");
  return path;
}

}  // namespace

class DocumentPalmDocTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    m_parts = std::make_unique<Collaborators>();
    m_document = std::make_unique<Document>(m_parts->dialogs, m_parts->pages, m_parts->pageSettings);
  }
  void cleanup() {
    m_document.reset();
    m_parts.reset();
  }

  void palmDocBecomesAnEscapedPage_data() {
    QTest::addColumn<bool>("compressed");
    QTest::newRow("stored") << false;
    QTest::newRow("compressed") << true;
  }
  void palmDocBecomesAnEscapedPage() {
    QFETCH(bool, compressed);
    QVERIFY(m_document->Open(MakeTome(m_parts->Dir(), QStringLiteral("fruit.lv"), FruitLines())));
    const QByteArray first("\0Chapter <1>\r\n", 14);
    const QByteArray second("Tom & \"Jerry\"\0\0the end\n", 23);
    const QString pdb = MakePalmDoc(m_parts->Path(QStringLiteral("book.pdb")), {first, second}, compressed);
    QSignalSpy inUse(m_document.get(), &Document::tomeInUseChanged);
    QSignalSpy closed(m_document.get(), &Document::tomeClosed);
    QSignalSpy written(m_document.get(), &Document::textPageWritten);
    QVERIFY(m_document->Open(pdb));
    QCOMPARE(m_document->Kind(), DocumentKind::kPalmDoc);
    QVERIFY(!m_document->IsTomeOpen());
    QCOMPARE(closed.size(), 1);
    QCOMPARE(inUse.size(), 1);
    QCOMPARE(inUse[0][0].toBool(), false);
    QVERIFY(m_parts->dialogs.shown.isEmpty());
    // The text stays whole; the page shows each NUL as the symbol for NUL and obeys no markup.
    QCOMPARE(QByteArray::fromStdString(m_document->PalmDoc().Text()), first + second);
    const QByteArray page = m_parts->PageBytes();
    QCOMPARE(Body(page), QByteArray("&#9216;Chapter &lt;1&gt;\nTom &amp; &quot;Jerry&quot;&#9216;&#9216;the end\n"));
    QVERIFY(page.contains("<font size=\"12\" face=\"Arial\">"));
    QCOMPARE(written.size(), 1);
    QCOMPARE(written[0][0].toByteArray(), page);
    QCOMPARE(written[0][1].toBool(), false);

    // New settings build the page again.
    m_document->SetPlainPageFont(5, QStringLiteral("Liberation Serif"));
    m_document->RefreshTextPage();
    QCOMPARE(written.size(), 2);
    QVERIFY(m_parts->PageBytes().contains("<font size=\"5\" face=\"Liberation Serif\">"));
  }

  void findAndFindNextMarkOneMatchAndWrap() {
    const QByteArray text = "cat dog <cat> bird cat.";
    QVERIFY(m_document->Open(MakePalmDoc(m_parts->Path(QStringLiteral("cats.pdb")), {text})));
    const QByteArray body = Body(m_parts->PageBytes());  // "cat dog &lt;cat&gt; bird cat."
    QSignalSpy written(m_document.get(), &Document::textPageWritten);

    QVERIFY(m_document->FindInPalmDoc(QStringLiteral("  cat ")));
    QCOMPARE(Body(m_parts->PageBytes()), Marked(body, 0, 3));
    QCOMPARE(written.last()[1].toBool(), true);
    QVERIFY(m_document->FindNextInPalmDoc());
    QCOMPARE(Body(m_parts->PageBytes()), Marked(body, 12, 3));
    QVERIFY(m_document->FindNextInPalmDoc());
    QCOMPARE(Body(m_parts->PageBytes()), Marked(body, 25, 3));
    // After the last match Find Next wraps to the first; the page never holds two marks.
    QVERIFY(m_document->FindNextInPalmDoc());
    QCOMPARE(Body(m_parts->PageBytes()), Marked(body, 0, 3));
    QCOMPARE(m_parts->PageBytes().count("findloc"), 1);
    // The text itself carries no marks.
    QCOMPARE(QByteArray::fromStdString(m_document->PalmDoc().Text()), text);

    // Nothing found (case matters, and an empty term finds nothing): the page stays as it is and
    // Find Next goes on with the last term found.
    const qsizetype pages = written.size();
    QVERIFY(!m_document->FindInPalmDoc(QStringLiteral("Cat")));
    QVERIFY(!m_document->FindInPalmDoc(QStringLiteral("   ")));
    QCOMPARE(written.size(), pages);
    QCOMPARE(Body(m_parts->PageBytes()), Marked(body, 0, 3));
    QVERIFY(m_document->FindNextInPalmDoc());
    QCOMPARE(Body(m_parts->PageBytes()), Marked(body, 12, 3));

    // A markup character is found as the text holds it and marked whole on the page.
    QVERIFY(m_document->FindInPalmDoc(QStringLiteral("<cat>")));
    QCOMPARE(Body(m_parts->PageBytes()), Marked(body, 8, 11));

    // Refreshing keeps the mark but does not move to it.
    m_document->RefreshTextPage();
    QCOMPARE(Body(m_parts->PageBytes()), Marked(body, 8, 11));
    QCOMPARE(written.last()[1].toBool(), false);
  }

  void findLooksForTheTermInTheTextsCharacterSet_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("term");
    QTest::addColumn<QByteArray>("marked");
    QTest::newRow("utf-8") << QByteArray("na\xC3\xAFve caf\xC3\xA9 au lait") << QStringLiteral("caf\u00E9")
                           << QByteArray("na\xC3\xAFve ") + kMarkOpen + "caf\xC3\xA9" + kMarkClose + " au lait";
    QTest::newRow("windows-1252") << QByteArray("\x93quoted\x94 caf\xE9") << QStringLiteral("caf\u00E9")
                                  << QByteArray("\x93quoted\x94 ") + kMarkOpen + "caf\xE9" + kMarkClose;
  }
  void findLooksForTheTermInTheTextsCharacterSet() {
    QFETCH(QByteArray, text);
    QFETCH(QString, term);
    QFETCH(QByteArray, marked);
    QVERIFY(m_document->Open(MakePalmDoc(m_parts->Path(QStringLiteral("cafe.pdb")), {text})));
    QVERIFY(m_document->FindInPalmDoc(term));
    QCOMPARE(Body(m_parts->PageBytes()), marked);
  }

  void findOutsideAPalmDocDoesNothing() {
    QVERIFY(!m_document->FindNextInPalmDoc());
    QVERIFY(m_document->Open(MakeTome(m_parts->Dir(), QStringLiteral("fruit.lv"), FruitLines())));
    QSignalSpy written(m_document.get(), &Document::textPageWritten);
    QVERIFY(!m_document->FindInPalmDoc(QStringLiteral("fruit")));
    QVERIFY(!m_document->FindNextInPalmDoc());
    QCOMPARE(written.size(), 0);
  }

  // A .pdb that is refused or missing leaves the PalmDOC on display as it was, Find Next included.
  void failedPalmOpenKeepsThePalmDocShown() {
    const QByteArray text = "one cat, two cats";
    const QString pdb = MakePalmDoc(m_parts->Path(QStringLiteral("cats.pdb")), {text}, true);
    QVERIFY(m_document->Open(pdb));
    QVERIFY(m_document->FindInPalmDoc(QStringLiteral("cat")));
    QVERIFY(!m_document->Open(MakePalmTome(m_parts->Path(QStringLiteral("tome.pdb")))));
    QVERIFY(!m_document->Open(m_parts->Path(QStringLiteral("absent.pdb"))));
    QCOMPARE(m_parts->dialogs.shown.size(), 2);
    QCOMPARE(m_document->Kind(), DocumentKind::kPalmDoc);
    QCOMPARE(QByteArray::fromStdString(m_document->PalmDoc().Text()), text);
    QVERIFY(m_document->FindNextInPalmDoc());
    QCOMPARE(Body(m_parts->PageBytes()), Marked(text, 13, 3));
  }

  // The last term found is looked for again in the next PalmDOC opened.
  void findNextCarriesOnInTheNextPalmDoc() {
    QVERIFY(m_document->Open(MakePalmDoc(m_parts->Path(QStringLiteral("a.pdb")), {"a cat"})));
    QVERIFY(m_document->FindInPalmDoc(QStringLiteral("cat")));
    QVERIFY(m_document->Open(MakePalmDoc(m_parts->Path(QStringLiteral("b.pdb")), {"cat and cat"})));
    QVERIFY(!m_parts->PageBytes().contains("findloc"));
    QVERIFY(m_document->FindNextInPalmDoc());
    QCOMPARE(Body(m_parts->PageBytes()), Marked("cat and cat", 8, 3));
  }

 private:
  std::unique_ptr<Collaborators> m_parts;
  std::unique_ptr<Document> m_document;
};

QTEST_MAIN(DocumentPalmDocTest)
#include "document_palmdoc_qtest.moc"
