// The entry view on its own, built with a tome reader, page settings, the page folder and scripted
// dialogs: the page it writes and what it displays, links, released keys, backgrounds, help pages
// and printing.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QKeyEvent>
#include <QPrinter>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>
#include <memory>

#include "app/views/quick_find_keys.h"
#include "app_fixture.h"
#include "tome/format.h"

using namespace lv;

class EntryViewTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    m_parts = std::make_unique<Collaborators>();
    m_parts->OpenFruitTome();
    m_view =
        std::make_unique<EntryView>(m_parts->reader, m_parts->pageSettings, m_parts->pages, m_parts->dialogs, nullptr);
    m_view->SetStartPagePath(m_parts->Path(QStringLiteral("Help/startup.htm")));
  }
  void cleanup() {
    m_view.reset();
    m_parts.reset();
  }

  // The page file holds the renderer's page byte for byte; the view displays those same bytes.
  void pageFileIsTheRenderersPage() {
    const int apple = Fruit("Apple");
    QSignalSpy shown(m_view.get(), &EntryView::subjectShown);
    m_view->ShowSubject(apple);
    TomeReader& reader = m_parts->reader;
    reader.LoadEntryText(apple);
    const std::string expected =
        RenderEntryPage(reader.Subject(apple), reader.CurrentEntryText(), m_parts->pageSettings, std::nullopt);
    QCOMPARE(m_parts->PageBytes(), QByteArray::fromStdString(expected));
    QCOMPARE(ShownPageName(*m_view), QStringLiteral("data.htm"));
    QCOMPARE(m_view->source(), QUrl::fromLocalFile(m_parts->pages.PageFilePath()));
    QCOMPARE(QFileInfo(m_parts->pages.PageFilePath()).absolutePath(), m_parts->pages.Path());
    QVERIFY(m_view->toPlainText().contains(QStringLiteral("A round fruit.")));
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown[0][0].toInt(), apple);

    // The same file shown again displays its new contents.
    m_view->ShowSubject(Fruit("Date"));
    QCOMPARE(ShownPageName(*m_view), QStringLiteral("data.htm"));
    QVERIFY(m_view->toPlainText().contains(QStringLiteral("The fruit of a palm.")));
  }

  // The view never reads the page file back: what it displays comes from the bytes it wrote.
  void displayComesFromMemory() {
    m_view->ShowSubject(Fruit("Cat"));
    QFile page(m_parts->pages.PageFilePath());
    QVERIFY(page.open(QIODevice::WriteOnly | QIODevice::Truncate));
    page.write("<html><body>changed behind the view's back</body></html>");
    page.close();
    m_view->reload();
    QVERIFY(m_view->toPlainText().contains(QStringLiteral("A small animal that purrs.")));
  }

  void findMarkOpensThePageAtTheMark() {
    m_view->ShowSubject(Fruit("Apple"), FindMark{2, 5});
    QCOMPARE(ShownPageName(*m_view), QStringLiteral("data.htm#findloc"));
    QVERIFY(m_parts->PageBytes().contains("<a name=\"findloc\"><font color=\"red\">round</a></font>"));
    // No mark: no fragment, nothing red.
    m_view->ShowSubject(Fruit("Apple"));
    QCOMPARE(ShownPageName(*m_view), QStringLiteral("data.htm"));
    QVERIFY(!m_parts->PageBytes().contains("findloc"));
  }

  void findMarkScrollsIntoView() {
    QStringList lines = FruitLines();
    QString longText;
    for (int i = 0; i < 400; ++i) longText += QStringLiteral("Filler line %1.<br>").arg(i);
    lines << QStringLiteral("Zucchini\t") + longText + QStringLiteral("The marked word.");
    const QString tome = MakeTome(m_parts->Dir(), QStringLiteral("long.lv"), lines);
    QVERIFY(m_parts->reader.Open(QFile::encodeName(tome).toStdString(), OpenMode::kReadWrite).IsOk());
    m_view->resize(600, 300);
    m_view->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_view.get()));
    m_parts->reader.LoadEntryText(12);
    const int offset = static_cast<int>(m_parts->reader.CurrentEntryText().find("marked"));
    QVERIFY(offset > 0);
    m_view->ShowSubject(12, FindMark{offset, 6});
    QTRY_VERIFY(m_view->verticalScrollBar()->value() > 0);
  }

  void textPagesAreShownFromTheirBytes() {
    const QByteArray page = "<html><body>Plain page<br></body></html>";
    m_view->ShowPage(page, false);
    QCOMPARE(ShownPageName(*m_view), QStringLiteral("data.htm"));
    QCOMPARE(m_view->toPlainText().trimmed(), QStringLiteral("Plain page"));
  }

  void failedPageWriteIsReported() {
    QVERIFY(QDir().mkdir(m_parts->pages.PageFilePath()));  // a folder where the page file goes
    QSignalSpy shown(m_view.get(), &EntryView::subjectShown);
    m_view->ShowSubject(Fruit("Fig"));
    QCOMPARE(m_parts->dialogs.shown.size(), 1);
    QVERIFY(m_parts->dialogs.shown[0].text.startsWith(QStringLiteral("Cannot show this entry: writing ")));
    QCOMPARE(shown.size(), 0);
  }

  void withoutATomeTheStartPageShows() {
    m_parts->reader.Close();
    m_view->ShowSubject(0);
    QCOMPARE(ShownPageName(*m_view), QStringLiteral("startup.htm"));
  }

  void backgroundsComeFromTheProgram() {
    const QVariant image = m_view->document()->resource(QTextDocument::ImageResource,
                                                        QUrl(QStringLiteral("res://librovance.exe/#2/#192")));
    QCOMPARE(image.value<QImage>().size(), QSize(192, 192));
    const QVariant unknown = m_view->document()->resource(QTextDocument::ImageResource,
                                                          QUrl(QStringLiteral("res://librovance.exe/#2/#999")));
    QVERIFY(!unknown.value<QImage>().isNull());  // an unknown number gets the default background
  }

  void helpPagesLoadFromDisk() {
    QVERIFY(QDir().mkpath(m_parts->Path(QStringLiteral("Help"))));
    QFile index(m_parts->Path(QStringLiteral("Help/index.html")));
    QVERIFY(index.open(QIODevice::WriteOnly));
    index.write("<html><body>Help written on disk</body></html>");
    index.close();
    m_view->NavigateTo(index.fileName());
    QCOMPARE(ShownPageName(*m_view), QStringLiteral("index.html"));
    QVERIFY(m_view->toPlainText().contains(QStringLiteral("Help written on disk")));
    // A help page missing on disk comes from the copy inside the program.
    m_view->ShowStartPage();
    QVERIFY(!m_view->toPlainText().isEmpty());
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
    m_view->ShowSubject(Fruit("Fig"));
    QSignalSpy spy(m_view.get(), &EntryView::subjectShown);
    QCOMPARE(m_view->FollowLink(href), intercepted);
    QCOMPARE(ShownPageName(*m_view), QStringLiteral("data.htm"));
    if (intercepted) {
      QCOMPARE(spy.size(), 1);
      QCOMPARE(spy[0][0].toInt(), shown);
    } else {
      // Not a link of the program's own: the entry stays.
      QCOMPARE(spy.size(), 0);
      QVERIFY(m_parts->PageBytes().contains("<h2>Fig</h2>"));
    }
  }

  // Web and mail links go to the desktop's browser or mail program; no other scheme is followed, and
  // the entry stays on display either way.
  void linksOfOtherSchemes_data() {
    QTest::addColumn<QString>("href");
    QTest::addColumn<bool>("handedOn");
    QTest::newRow("http") << "http://example.org/bees" << true;
    QTest::newRow("https") << "https://example.org/bees?q=1" << true;
    QTest::newRow("mailto") << "mailto:editor@example.org" << true;
    QTest::newRow("scheme in capitals") << "HTTPS://example.org/" << true;
    QTest::newRow("file") << "file:///etc/hostname" << false;
    QTest::newRow("javascript") << "javascript:alert(1)" << false;
    QTest::newRow("relative page") << "other.htm" << false;
    QTest::newRow("ftp") << "ftp://example.org/file" << false;
  }
  void linksOfOtherSchemes() {
    QFETCH(QString, href);
    QFETCH(bool, handedOn);
    m_view->ShowSubject(Fruit("Fig"));
    QSignalSpy shown(m_view.get(), &EntryView::subjectShown);
    QVERIFY(!m_view->FollowLink(href));
    QCOMPARE(m_parts->dialogs.openedLinks.size(), handedOn ? 1 : 0);
    if (handedOn) QCOMPARE(m_parts->dialogs.openedLinks[0], QUrl(href));
    QCOMPARE(shown.size(), 0);
    QCOMPARE(ShownPageName(*m_view), QStringLiteral("data.htm"));
    QVERIFY(m_parts->PageBytes().contains("<h2>Fig</h2>"));
  }

  // Resting the mouse on a link reports its target as the page wrote it; leaving it reports nothing.
  void hoveredLinksReportTheirTargets() {
    m_view->resize(700, 500);
    m_view->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_view.get()));
    m_view->ShowSubject(Fruit("Apple"));
    const QTextCursor found = m_view->document()->find(QStringLiteral("the clock"));
    QVERIFY(!found.isNull());
    QTextCursor inside(m_view->document());
    inside.setPosition(found.selectionStart() + 2);
    QSignalSpy hovered(m_view.get(), &EntryView::linkHovered);
    QTest::mouseMove(m_view->viewport(), m_view->cursorRect(inside).center());
    QTRY_VERIFY(!hovered.isEmpty());
    QCOMPARE(hovered.last()[0].toString(), QStringLiteral("tome::Big Ben"));
    QTest::mouseMove(m_view->viewport(), QPoint(m_view->viewport()->width() - 5, m_view->viewport()->height() - 5));
    QTRY_COMPARE(hovered.last()[0].toString(), QString());
  }

  void clickingALinkInThePage() {
    m_view->resize(700, 500);
    m_view->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_view.get()));
    m_view->ShowSubject(Fruit("Apple"));
    const QTextCursor found = m_view->document()->find(QStringLiteral("the clock"));
    QVERIFY(!found.isNull());
    QTextCursor inside(m_view->document());
    inside.setPosition(found.selectionStart() + 2);
    QSignalSpy shown(m_view.get(), &EntryView::subjectShown);
    QTest::mouseClick(m_view->viewport(), Qt::LeftButton, {}, m_view->cursorRect(inside).center());
    QTRY_COMPARE(shown.size(), 1);
    QCOMPARE(shown[0][0].toInt(), Fruit("Big Ben"));
    QVERIFY(m_parts->PageBytes().contains("<h2>Big Ben</h2>"));
  }

  void releasedKeysAreQuickFindKeys_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("character");  // -1: no quick-find key
    QTest::newRow("letter") << int(Qt::Key_G) << 0 << int('G');
    QTest::newRow("digit") << int(Qt::Key_7) << 0 << int('7');
    QTest::newRow("shift with 1") << int(Qt::Key_Exclam) << int(Qt::ShiftModifier) << int('1');
    QTest::newRow("shift with 2") << int(Qt::Key_At) << int(Qt::ShiftModifier) << int('2');
    QTest::newRow("shift with 0") << int(Qt::Key_ParenRight) << int(Qt::ShiftModifier) << int('0');
    QTest::newRow("shift with a letter") << int(Qt::Key_G) << int(Qt::ShiftModifier) << int('G');
    QTest::newRow("backspace") << int(Qt::Key_Backspace) << 0 << kQuickFindBackspace;
    QTest::newRow("escape") << int(Qt::Key_Escape) << 0 << kQuickFindEscape;
    QTest::newRow("function key") << int(Qt::Key_F3) << 0 << -1;
    QTest::newRow("with Ctrl") << int(Qt::Key_B) << int(Qt::ControlModifier) << -1;
    QTest::newRow("with Alt") << int(Qt::Key_B) << int(Qt::AltModifier) << -1;
    QTest::newRow("space") << int(Qt::Key_Space) << 0 << -1;
  }
  void releasedKeysAreQuickFindKeys() {
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(int, character);
    QSignalSpy keys(m_view.get(), &EntryView::quickFindKey);
    QTest::keyRelease(m_view.get(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(keys.size(), character < 0 ? 0 : 1);
    if (character >= 0) QCOMPARE(keys[0][0].toInt(), character);
    // A key held down repeats its press, not its character.
    QKeyEvent repeated(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"), true);
    QCoreApplication::sendEvent(m_view.get(), &repeated);
    QCOMPARE(keys.size(), character < 0 ? 0 : 1);
  }

  void printingMakesAPdfWithoutTheBackground() {
    m_view->ShowSubject(Fruit("Apple"));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(m_parts->Path(QStringLiteral("page.pdf")));
    m_view->PrintTo(printer);
    QFile pdf(m_parts->Path(QStringLiteral("page.pdf")));
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    QVERIFY(pdf.readAll().startsWith("%PDF"));
    m_view->Print();  // the print dialog is asked, and cancelled
    QCOMPARE(m_parts->dialogs.printerRequests, 1);
  }

 private:
  std::unique_ptr<Collaborators> m_parts;
  std::unique_ptr<EntryView> m_view;
};

QTEST_MAIN(EntryViewTest)
#include "entry_view_qtest.moc"
