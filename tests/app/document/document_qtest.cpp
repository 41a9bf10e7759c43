// The document on its own, built with scripted dialogs, the page folder and page settings: opening
// by extension, text file pages, the failed open, the read-only medium and the upgrade of version-1
// tomes, with what it reports by its signals.
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTest>
#include <sys/stat.h>

#include <cerrno>

#include <memory>

#include "app_fixture.h"

using namespace lv;

namespace {

const QString kUpgradeCaption = QStringLiteral("Upgrade file?");
const QString kCdCaption = QStringLiteral("Copy file from CD to Hard-drive?");
const QString kCdQuestion = QStringLiteral(
    "The file you are opening is stored on a CDROM. Although Librovance can view files stored on CDROMs its "
    "operation will be noticeably slower on large files and you will not be able to save recorded Bookmarks."
    "\n\nWould you like to copy this file to your hard-drive and open it from there?");
const QString kUpgradeQuestion = QStringLiteral(
    "The file you have opened is in the old Librovance version 1 file format.\nUpgrading the file will save "
    "space on your hard drive.\nUpgrading may take a little time but only has to be done once for each "
    "file.\nIt is recommended that you upgrade.");

QList<QPair<QByteArray, QByteArray>> OldEntries() {
  return {{"Alpha", "The first letter."}, {"Beta", "The second letter."}, {"Gamma", "The third\t\x08letter."}};
}

void MakeReadOnly(const QString& path) {
  QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
}

// A file system that refuses to make anything writable, as a read-only medium does.
int ReadOnlyMedium(const QString&) { return EROFS; }

}  // namespace

class DocumentTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    m_parts = std::make_unique<Collaborators>();
    m_document = std::make_unique<Document>(m_parts->dialogs, m_parts->pages, m_parts->pageSettings);
    m_fruitTome = MakeTome(m_parts->Dir(), QStringLiteral("fruit.lv"), FruitLines());
  }
  void cleanup() {
    m_document.reset();
    m_parts.reset();
  }

  void extensionDecidesTheKind_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("opens");
    QTest::newRow("upper case") << "BOOK.LV" << true;
    QTest::newRow("mixed case") << "book.Lv" << true;
    QTest::newRow("lower case") << "book.lv" << true;
    QTest::newRow("backup") << "book.lv.bak" << false;
    QTest::newRow("no extension") << "book" << false;
  }
  void extensionDecidesTheKind() {
    QFETCH(QString, name);
    QFETCH(bool, opens);
    const QString path = m_parts->Path(name);
    QVERIFY(QFile::copy(m_fruitTome, path));
    QSignalSpy inUse(m_document.get(), &Document::tomeInUseChanged);
    QCOMPARE(m_document->Open(path), opens);
    if (opens) {
      QCOMPARE(m_document->Kind(), DocumentKind::kTome);
      QCOMPARE(m_document->OpenedPath(), path);
      QVERIFY(m_parts->dialogs.shown.isEmpty());
      QCOMPARE(inUse.size(), 1);
      QCOMPARE(inUse[0][0].toBool(), true);
    } else {
      QCOMPARE(m_parts->dialogs.shown.size(), 1);
      QCOMPARE(m_parts->dialogs.shown[0].text, QStringLiteral("This file type is unrecognized."));
      QCOMPARE(m_document->Kind(), DocumentKind::kNothing);
      QCOMPARE(inUse.size(), 0);
    }
  }

  void palmDatabaseGetsAClearMessage() {
    QVERIFY(m_document->Open(m_fruitTome));
    const QString pdb = m_parts->Path(QStringLiteral("notes.pdb"));
    QFile file(pdb);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(100, '\0'));
    file.close();
    QVERIFY(!m_document->Open(pdb));
    QCOMPARE(m_parts->dialogs.shown.size(), 1);
    QCOMPARE(m_parts->dialogs.shown[0].text, QStringLiteral("This file is of an unknown format."));
    // The tome stays open as it was.
    QCOMPARE(m_document->Kind(), DocumentKind::kTome);
    QVERIFY(m_document->IsTomeOpen());
  }

  // A text file's page is built once: the page file holds it and the same bytes are handed on.
  void textFileBecomesAPlainPage() {
    QVERIFY(m_document->Open(m_fruitTome));
    const QString text = m_parts->Path(QStringLiteral("notes.txt"));
    QFile file(text);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("First line\r\nSecond <b>line</b>\n\ncaf\xE9");
    file.close();
    QSignalSpy inUse(m_document.get(), &Document::tomeInUseChanged);
    QSignalSpy closed(m_document.get(), &Document::tomeClosed);
    QSignalSpy written(m_document.get(), &Document::textPageWritten);
    QVERIFY(m_document->Open(text));
    QCOMPARE(m_document->Kind(), DocumentKind::kTextFile);
    QVERIFY(!m_document->IsTomeOpen());
    QCOMPARE(inUse.size(), 1);
    QCOMPARE(inUse[0][0].toBool(), false);
    QCOMPARE(closed.size(), 1);
    const QByteArray page = m_parts->PageBytes();
    QVERIFY(
        page.startsWith("<html>\r\n<head>\r\n<meta http-equiv=\"Content-Type\" content=\"text/html; "
                        "charset=windows-1252\">\r\n<title>Librovance</title>\r\n</head>\r\n"));
    QVERIFY(page.contains("<font size=\"12\" face=\"Arial\">"));
    // The text is shown as written: markup escaped, line ends kept in a pre-wrapped block.
    QVERIFY(
        page.endsWith("<div style=\"white-space: pre-wrap\">First line\nSecond &lt;b&gt;line&lt;/b&gt;\n\ncaf\xE9"
                      "</div></font></body></html>"));
    QCOMPARE(written.size(), 1);
    QCOMPARE(written[0][0].toByteArray(), page);

    // New settings build the page again.
    m_document->SetPlainPageFont(7, QStringLiteral("Liberation Serif"));
    m_parts->pageSettings.backgroundStyle = 0;
    m_document->RefreshTextPage();
    QCOMPARE(written.size(), 2);
    QVERIFY(m_parts->PageBytes().contains("<body bgcolor = \"eeeeff\"><font size=\"7\" face=\"Liberation Serif\">"));
    QCOMPARE(written[1][0].toByteArray(), m_parts->PageBytes());
  }

  void missingTextFileIsReported() {
    QVERIFY(m_document->Open(m_fruitTome));
    QSignalSpy inUse(m_document.get(), &Document::tomeInUseChanged);
    QSignalSpy written(m_document.get(), &Document::textPageWritten);
    QVERIFY(!m_document->Open(m_parts->Path(QStringLiteral("absent.txt"))));
    QCOMPARE(m_parts->dialogs.shown.size(), 1);
    QVERIFY(m_parts->dialogs.shown[0].text.contains(QStringLiteral("absent.txt")));
    QCOMPARE(written.size(), 0);
    // The tome stays open, and so do its quick find and Bookmarks menu.
    QVERIFY(m_document->IsTomeOpen());
    QCOMPARE(m_document->Kind(), DocumentKind::kTome);
    QCOMPARE(inUse.size(), 2);
    QCOMPARE(inUse[1][0].toBool(), true);
  }

  void textFileThatIsANamedPipeIsRefusedAtOnce() {
    const QString pipe = m_parts->Path(QStringLiteral("pipe.txt"));
    QCOMPARE(mkfifo(QFile::encodeName(pipe).constData(), 0644), 0);
    QVERIFY(!m_document->Open(pipe));
    QCOMPARE(m_parts->dialogs.shown.size(), 1);
    QVERIFY(m_parts->dialogs.shown[0].text.contains(QStringLiteral("pipe.txt")));
    QVERIFY(m_parts->dialogs.shown[0].text.contains(QStringLiteral("it is a named pipe, not a regular file")));
  }

  void failedTomeOpenIsReported() {
    QVERIFY(m_document->Open(m_fruitTome));
    m_document->SetPath(m_fruitTome);
    const QString broken = m_parts->Path(QStringLiteral("broken.lv"));
    QFile file(broken);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("not a tome at all");
    file.close();
    QSignalSpy failed(m_document.get(), &Document::tomeOpenFailed);
    QVERIFY(!m_document->Open(broken));
    QCOMPARE(failed.size(), 1);
    QCOMPARE(failed[0][0].toString(), broken);
    QVERIFY(m_document->Path().isEmpty());
    QCOMPARE(m_document->Title(), QStringLiteral("Untitled"));
    QVERIFY(!m_document->IsTomeOpen());
  }

  // The user is told which file failed and why; the tome's commands are set aside with the tome.
  void failedTomeOpenSaysWhy_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("cause");
    QTest::newRow("empty") << QByteArray() << "The file is empty.";
    QTest::newRow("foreign") << QByteArray("Dear diary, today I opened a text file as a tome.") << "It is not a tome.";
    QTest::newRow("damaged") << QByteArray() << "The tome is damaged at byte ";
  }
  void failedTomeOpenSaysWhy() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, cause);
    if (QTest::currentDataTag() == QByteArrayLiteral("damaged")) {
      QFile good(m_fruitTome);
      QVERIFY(good.open(QIODevice::ReadOnly));
      bytes = good.readAll().left(5000);  // the text sections are cut off
    }
    QVERIFY(m_document->Open(m_fruitTome));
    const QString broken = m_parts->Path(QStringLiteral("broken.lv"));
    QFile file(broken);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    QSignalSpy inUse(m_document.get(), &Document::tomeInUseChanged);
    QVERIFY(!m_document->Open(broken));
    QCOMPARE(m_parts->dialogs.shown.size(), 1);
    QCOMPARE(m_parts->dialogs.shown[0].caption, QStringLiteral("Librovance"));
    const QString text = m_parts->dialogs.shown[0].text;
    QVERIFY2(text.startsWith(QStringLiteral("Cannot open %1:\n%2").arg(broken, cause)), qPrintable(text));
    QCOMPARE(inUse.last()[0].toBool(), false);
  }

  void tomeOnAReadOnlyFileSystemIsOfferedACopy() {
    // The tome keeps its write bits, as on a stick mounted read-only.
    m_document->SetReadOnlyFileSystemCheck([this](const QString& path) { return path == m_fruitTome; });
    m_parts->dialogs.yesNoAnswers << false;
    QVERIFY(m_document->Open(m_fruitTome));
    QCOMPARE(m_parts->dialogs.shown.size(), 1);
    QCOMPARE(m_parts->dialogs.shown[0].caption, kCdCaption);
    QVERIFY(m_document->Reader().IsReadOnly());
    // A tome elsewhere is opened in place without a question.
    const QString other = MakeTome(m_parts->Dir(), QStringLiteral("other.lv"), {"Zebra\tStriped."});
    QVERIFY(m_document->Open(other));
    QCOMPARE(m_parts->dialogs.shown.size(), 1);
    QVERIFY(!m_document->Reader().IsReadOnly());
  }

  void readOnlyTomeOnAWritableDiskOpensInPlace() {
    MakeReadOnly(m_fruitTome);
    QVERIFY(m_document->Open(m_fruitTome));
    QVERIFY(m_parts->dialogs.shown.isEmpty());
    QVERIFY(m_document->IsTomeOpen());
    QVERIFY(!m_document->Reader().IsReadOnly());
    QVERIFY(QFileInfo(m_fruitTome).permissions() & QFile::WriteOwner);
  }

  void readOnlyMediumAnsweredNoReadsInPlace() {
    const QString tome = MakeVersion1Tome(m_parts->Dir(), QStringLiteral("old.lv"), OldEntries());
    MakeReadOnly(tome);
    m_document->SetMakeWritable(ReadOnlyMedium);
    m_parts->dialogs.yesNoAnswers << false;
    QVERIFY(m_document->Open(tome));
    QCOMPARE(m_parts->dialogs.shown.size(), 1);  // no upgrade question for a tome on a CD
    QCOMPARE(m_parts->dialogs.shown[0].caption, kCdCaption);
    QCOMPARE(m_parts->dialogs.shown[0].text, kCdQuestion);
    // A question that names no icon of its own shows the exclamation mark.
    QCOMPARE(m_parts->dialogs.shown[0].icon, MessageIcon::kExclamation);
    QVERIFY(m_document->Reader().IsReadOnly());
    QCOMPARE(m_document->OpenedPath(), tome);
    QCOMPARE(m_document->Reader().SubjectCount(), 3);
  }

  void readOnlyMediumCopiedToTheChosenPlace() {
    MakeReadOnly(m_fruitTome);
    const QString copy = m_parts->Path(QStringLiteral("copied.lv"));
    m_document->SetMakeWritable(ReadOnlyMedium);
    m_parts->dialogs.yesNoAnswers << true;
    m_parts->dialogs.filesToSave << copy;
    QVERIFY(m_document->Open(m_fruitTome));
    QCOMPARE(m_document->OpenedPath(), copy);
    QVERIFY(!m_document->Reader().IsReadOnly());
    QVERIFY(QFileInfo(copy).permissions() & QFile::WriteOwner);
    QCOMPARE(QFileInfo(copy).lastModified(), QFileInfo(m_fruitTome).lastModified());
    QCOMPARE(m_document->Reader().SubjectCount(), FruitLines().size());
  }

  void readOnlyMediumCopyCancelledOrFailing() {
    MakeReadOnly(m_fruitTome);
    m_document->SetMakeWritable(ReadOnlyMedium);
    m_parts->dialogs.yesNoAnswers << true << true;
    m_parts->dialogs.filesToSave << m_parts->Path(QStringLiteral("no/such/folder/copy.lv"));
    QVERIFY(m_document->Open(m_fruitTome));
    QCOMPARE(m_parts->dialogs.shown.last().caption, QStringLiteral("Error"));
    QCOMPARE(m_parts->dialogs.shown.last().text, QStringLiteral("Could not save file.\nOpening from CD."));
    QVERIFY(m_document->Reader().IsReadOnly());
    // Cancelling the Save As dialog opens the file where it is, read-only.
    QVERIFY(m_document->Open(m_fruitTome));
    QVERIFY(m_document->Reader().IsReadOnly());
    QCOMPARE(m_document->OpenedPath(), m_fruitTome);
  }

  void version1TomeUpgradedWhenAsked() {
    const QString tome = MakeVersion1Tome(m_parts->Dir(), QStringLiteral("old.lv"), OldEntries());
    m_parts->dialogs.yesNoAnswers << true;
    QSignalSpy closed(m_document.get(), &Document::tomeClosed);
    QVERIFY(m_document->Open(tome));
    QCOMPARE(m_parts->dialogs.shown.size(), 1);
    QCOMPARE(m_parts->dialogs.shown[0].caption, kUpgradeCaption);
    QCOMPARE(m_parts->dialogs.shown[0].text, kUpgradeQuestion);
    QCOMPARE(m_parts->dialogs.shown[0].icon, MessageIcon::kExclamation);
    QCOMPARE(closed.size(), 1);  // the reader let go of the file while it was rewritten
    TomeReader& reader = m_document->Reader();
    QVERIFY(m_document->IsTomeOpen());
    QVERIFY(reader.IsCurrentLayout());
    QCOMPARE(m_document->OpenedPath(), tome);
    QCOMPARE(reader.SubjectCount(), 3);
    QCOMPARE(reader.Subject(2), std::string("Gamma"));
    QVERIFY(reader.LoadEntryText(2));
    QVERIFY(RenderEntryPage("Gamma", reader.CurrentEntryText(), m_parts->pageSettings, std::nullopt)
                .find("The third<br>letter.") != std::string::npos);
    // Opened again, the tome is current and nothing is asked.
    QVERIFY(m_document->Open(tome));
    QCOMPARE(m_parts->dialogs.shown.size(), 1);
  }

  void version1TomeLeftAloneWhenDeclined() {
    const QString tome = MakeVersion1Tome(m_parts->Dir(), QStringLiteral("old.lv"), OldEntries());
    m_parts->dialogs.yesNoAnswers << false;
    QVERIFY(m_document->Open(tome));
    QCOMPARE(m_parts->dialogs.shown.size(), 1);
    QCOMPARE(m_parts->dialogs.shown[0].caption, kUpgradeCaption);
    QVERIFY(!m_document->Reader().IsCurrentLayout());
    QCOMPARE(m_document->Reader().SubjectCount(), 3);
    QVERIFY(m_document->Reader().LoadEntryText(0));
    QCOMPARE(std::string(m_document->Reader().CurrentEntryText()), std::string("The first letter."));
  }

 private:
  std::unique_ptr<Collaborators> m_parts;
  std::unique_ptr<Document> m_document;
  QString m_fruitTome;
};

QTEST_MAIN(DocumentTest)
#include "document_qtest.moc"
