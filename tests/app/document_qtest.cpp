// The document: opening by extension, text files, the failed open, the read-only medium and the
// upgrade of version-1 tomes.
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenuBar>
#include <QTest>
#include <sys/stat.h>

#include <cerrno>

#include "app_fixture.h"
#include "docview/qt/subject_list_model.h"

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
    AppHarness harness;
    const QString path = harness.Path(name);
    QVERIFY(QFile::copy(harness.FruitTome(), path));
    harness.Start();
    QCOMPARE(harness.App().OpenDocumentFile(path), opens);
    if (opens) {
      QCOMPARE(harness.Doc().Kind(), int(CLibrovanceDoc::kTome));
      QVERIFY(harness.dialogs.shown.isEmpty());
    } else {
      QCOMPARE(harness.dialogs.shown.size(), 1);
      QCOMPARE(harness.dialogs.shown[0].text, QStringLiteral("This file type is unrecognized."));
      QCOMPARE(harness.Doc().Kind(), int(CLibrovanceDoc::kNothing));
    }
  }

  void palmDatabaseGetsAClearMessage() {
    AppHarness harness;
    harness.Start({harness.FruitTome()});
    const QString pdb = harness.Path(QStringLiteral("notes.pdb"));
    QFile file(pdb);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(100, '\0'));
    file.close();
    QVERIFY(!harness.App().OpenDocumentFile(pdb));
    QCOMPARE(harness.dialogs.shown.size(), 1);
    QVERIFY(harness.dialogs.shown[0].text.contains(QStringLiteral("notes.pdb")));
    QVERIFY(harness.dialogs.shown[0].text.contains(QStringLiteral("Palm")));
    // The tome stays open as it was.
    QCOMPARE(harness.Doc().Kind(), int(CLibrovanceDoc::kTome));
    QCOMPARE(harness.Doc().PathName(), harness.FruitTome());
  }

  void textFileBecomesAPlainPage() {
    AppHarness harness;
    harness.Start({harness.FruitTome()});
    const QString text = harness.Path(QStringLiteral("notes.txt"));
    QFile file(text);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("First line\r\nSecond <b>line</b>\n\ncaf\xE9");
    file.close();
    QVERIFY(harness.App().OpenDocumentFile(text));
    QCOMPARE(harness.Doc().Kind(), int(CLibrovanceDoc::kTextFile));
    QVERIFY(!harness.Doc().IsTomeOpen());
    QVERIFY(!harness.QuickFindEdit()->isEnabled());
    QVERIFY(!harness.Frame().menuBar()->actions().at(2)->isEnabled());
    QCOMPARE(harness.List().Model()->rowCount(), 0);
    const QByteArray page = harness.PageBytes();
    QVERIFY(page.startsWith("<html>\r\n<head>\r\n<title>Librovance</title>\r\n</head>\r\n"));
    QVERIFY(page.contains("<font size=\"3\" face="));
    QVERIFY(page.endsWith("First line<br>Second <b>line</b><br><br>caf\xE9<br></body></html>"));
    QCOMPARE(harness.ShownPageName(), QStringLiteral("data.htm"));
    QCOMPARE(harness.Frame().windowTitle(), QStringLiteral("notes.txt - Librovance"));
    // A tome opened afterwards enables the tome's commands again.
    QVERIFY(harness.App().OpenDocumentFile(harness.FruitTome()));
    QVERIFY(harness.QuickFindEdit()->isEnabled());
    QVERIFY(harness.Frame().menuBar()->actions().at(2)->isEnabled());
  }

  void missingTextFileIsReported() {
    AppHarness harness;
    harness.Start({harness.FruitTome()});
    QVERIFY(!harness.App().OpenDocumentFile(harness.Path(QStringLiteral("absent.txt"))));
    QCOMPARE(harness.dialogs.shown.size(), 1);
    QVERIFY(harness.dialogs.shown[0].text.contains(QStringLiteral("absent.txt")));
    QCOMPARE(harness.ShownPageName(), QStringLiteral("data.htm"));
    // The tome stays open and shown, and so do its quick find and Bookmarks menu.
    QVERIFY(harness.Doc().IsTomeOpen());
    QVERIFY(harness.QuickFindEdit()->isEnabled());
    QVERIFY(harness.Frame().menuBar()->actions().at(2)->isEnabled());
  }

  void readOnlyTomeOnAWritableDiskOpensInPlace() {
    AppHarness harness;
    const QString tome = harness.FruitTome();
    MakeReadOnly(tome);
    harness.Start({tome});
    QVERIFY(harness.dialogs.shown.isEmpty());
    QVERIFY(harness.Doc().IsTomeOpen());
    QVERIFY(!harness.Doc().Reader().IsReadOnly());
    QVERIFY(QFileInfo(tome).permissions() & QFile::WriteOwner);
  }

  void readOnlyMediumAnsweredNoReadsInPlace() {
    AppHarness harness;
    const QString tome = MakeVersion1Tome(harness.Dir(), QStringLiteral("old.lv"), OldEntries());
    MakeReadOnly(tome);
    harness.Start();
    harness.Doc().SetMakeWritable(ReadOnlyMedium);
    harness.dialogs.yesNoAnswers << false;
    QVERIFY(harness.App().OpenDocumentFile(tome));
    QCOMPARE(harness.dialogs.shown.size(), 1);  // no upgrade question for a tome on a CD
    QCOMPARE(harness.dialogs.shown[0].caption, kCdCaption);
    QCOMPARE(harness.dialogs.shown[0].text, kCdQuestion);
    // A question that names no icon of its own shows the exclamation mark.
    QCOMPARE(harness.dialogs.shown[0].icon, MessageIcon::kExclamation);
    QVERIFY(harness.Doc().Reader().IsReadOnly());
    QCOMPARE(harness.Doc().PathName(), tome);
    QCOMPARE(harness.List().Model()->rowCount(), 3);
  }

  void readOnlyMediumCopiedToTheChosenPlace() {
    AppHarness harness;
    const QString tome = harness.FruitTome();
    MakeReadOnly(tome);
    const QString copy = harness.Path(QStringLiteral("copied.lv"));
    harness.Start();
    harness.Doc().SetMakeWritable(ReadOnlyMedium);
    harness.dialogs.yesNoAnswers << true;
    harness.dialogs.filesToSave << copy;
    QVERIFY(harness.App().OpenDocumentFile(tome));
    QCOMPARE(harness.Doc().PathName(), copy);
    QVERIFY(!harness.Doc().Reader().IsReadOnly());
    QVERIFY(QFileInfo(copy).permissions() & QFile::WriteOwner);
    QCOMPARE(QFileInfo(copy).lastModified(), QFileInfo(tome).lastModified());
    QCOMPARE(harness.List().Model()->rowCount(), FruitLines().size());
  }

  void readOnlyMediumCopyCancelledOrFailing() {
    AppHarness harness;
    const QString tome = harness.FruitTome();
    MakeReadOnly(tome);
    harness.Start();
    harness.Doc().SetMakeWritable(ReadOnlyMedium);
    harness.dialogs.yesNoAnswers << true << true;
    harness.dialogs.filesToSave << harness.Path(QStringLiteral("no/such/folder/copy.lv"));
    QVERIFY(harness.App().OpenDocumentFile(tome));
    QCOMPARE(harness.dialogs.shown.last().caption, QStringLiteral("Error"));
    QCOMPARE(harness.dialogs.shown.last().text, QStringLiteral("Could not save file.\nOpening from CD."));
    QVERIFY(harness.Doc().Reader().IsReadOnly());
    // Cancelling the Save As dialog opens the file where it is, read-only.
    QVERIFY(harness.App().OpenDocumentFile(tome));
    QVERIFY(harness.Doc().Reader().IsReadOnly());
    QCOMPARE(harness.Doc().PathName(), tome);
  }

  void version1TomeUpgradedWhenAsked() {
    AppHarness harness;
    const QString tome = MakeVersion1Tome(harness.Dir(), QStringLiteral("old.lv"), OldEntries());
    harness.Start();
    harness.dialogs.yesNoAnswers << true;
    QVERIFY(harness.App().OpenDocumentFile(tome));
    QCOMPARE(harness.dialogs.shown.size(), 1);
    QCOMPARE(harness.dialogs.shown[0].caption, kUpgradeCaption);
    QCOMPARE(harness.dialogs.shown[0].text, kUpgradeQuestion);
    QCOMPARE(harness.dialogs.shown[0].icon, MessageIcon::kExclamation);
    QVERIFY(harness.Doc().IsTomeOpen());
    QVERIFY(harness.Doc().Reader().IsCurrentLayout());
    QCOMPARE(harness.Doc().PathName(), tome);
    QCOMPARE(harness.List().Model()->rowCount(), 3);
    QCOMPARE(harness.List().Model()->index(2, 0).data().toString(), QStringLiteral("Gamma"));
    harness.View().ShowSubject(2, -1, -1);
    QVERIFY(harness.PageBytes().contains("The third<br>letter."));
    // Opened again, the tome is current and nothing is asked.
    QVERIFY(harness.App().OpenDocumentFile(tome));
    QCOMPARE(harness.dialogs.shown.size(), 1);
  }

  void version1TomeLeftAloneWhenDeclined() {
    AppHarness harness;
    const QString tome = MakeVersion1Tome(harness.Dir(), QStringLiteral("old.lv"), OldEntries());
    harness.Start();
    harness.dialogs.yesNoAnswers << false;
    QVERIFY(harness.App().OpenDocumentFile(tome));
    QCOMPARE(harness.dialogs.shown.size(), 1);
    QCOMPARE(harness.dialogs.shown[0].caption, kUpgradeCaption);
    QVERIFY(!harness.Doc().Reader().IsCurrentLayout());
    QCOMPARE(harness.List().Model()->rowCount(), 3);
    QVERIFY(harness.PageBytes().contains("<h2>Alpha</h2>The first letter."));
  }
};

QTEST_MAIN(DocumentTest)
#include "document_qtest.moc"
