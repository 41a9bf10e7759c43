// The document's Palm databases, made in the test: a Palm tome is refused with the address of a
// collection of Palm documents, another application's database is offered for the handheld and
// queued in a temporary HotSync folder, and an unknown database is said to be one.
#include <QDir>
#include <QFile>
#include <QTest>

#include <memory>

#include "app/dialogs/palm_install.h"
#include "app_fixture.h"
#include "palm/pdb_container.h"
#include "queue/hotsync_folder.h"

using namespace lv;

namespace {

// A Palm database of the given type and creator with one record.
QString MakePalmDatabase(const QString& path, const char* type, const char* creator, const QByteArray& record) {
  const std::vector<uint8_t> header =
      MakePdbHeader("db", type, creator, {static_cast<uint32_t>(record.size())}, [] { return int64_t{0}; });
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly)) qFatal("cannot write %s", qPrintable(path));
  file.write(reinterpret_cast<const char*>(header.data()), static_cast<qint64>(header.size()));
  file.write(record);
  return path;
}

}  // namespace

class DocumentPalmTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    m_parts = std::make_unique<Collaborators>();
    m_hotSync = m_parts->Path(QStringLiteral("HotSync"));
    m_queue = std::make_unique<HotSyncFolder>(QFile::encodeName(m_hotSync).toStdString());
    m_document = std::make_unique<Document>(m_parts->dialogs, m_parts->pages, m_parts->pageSettings);
    m_document->SetInstallQueue(m_queue.get(), m_hotSync);
    QVERIFY(m_document->Open(MakeTome(m_parts->Dir(), QStringLiteral("fruit.lv"), FruitLines())));
  }
  void cleanup() {
    m_document.reset();
    m_queue.reset();
    m_parts.reset();
  }

  void aPalmTomeIsRefused() {
    const QString pdb = MakePalmDatabase(m_parts->Path(QStringLiteral("fruit.pdb")), "LiVa", "LVPW", "header");
    QVERIFY(!m_document->Open(pdb));
    QCOMPARE(m_parts->dialogs.shown.size(), 1);
    QCOMPARE(m_parts->dialogs.shown[0].text,
             QStringLiteral("This is a Librovance Palm file intended just for viewing with Librovance Palm.\nPlease "
                            "open the original Librovance file (*.lv) in Librovance Windows. If you don't have it then "
                            "it is probably on https://www.memoware.com"));
    QCOMPARE(m_parts->dialogs.shown[0].icon, MessageIcon::kStop);
    QCOMPARE(m_document->Kind(), DocumentKind::kTome);
    QVERIFY(m_document->IsTomeOpen());
  }

  void anotherApplicationsDatabaseIsOfferedForTheHandheld() {
    QDir().mkpath(m_hotSync + QStringLiteral("/anna"));
    const QString pdb = MakePalmDatabase(m_parts->Path(QStringLiteral("book.pdb")), "Data", "Plkr", "plucked");
    const QString question = QStringLiteral(
        "This Palm Database file is in Plucker format. Librovance Windows cannot read this file.\nWould you like "
        "Librovance to HotSync this file to your Palm where the appropriate reader should be able to read it?");
    // No: nothing is queued.
    QVERIFY(!m_document->Open(pdb));
    QCOMPARE(m_parts->dialogs.shown.size(), 1);
    QCOMPARE(m_parts->dialogs.shown[0].text, question);
    QVERIFY(m_parts->dialogs.shown[0].question);
    QVERIFY(m_parts->dialogs.hotSyncUserLists.isEmpty());
    // Yes and a user: queued for that user.
    m_parts->dialogs.yesNoAnswers << true;
    m_parts->dialogs.hotSyncUserAnswers << QStringLiteral("anna");
    QVERIFY(!m_document->Open(pdb));
    QCOMPARE(m_parts->dialogs.hotSyncUserLists, QList<QStringList>{QStringList{QStringLiteral("anna")}});
    QFile queued(m_hotSync + QStringLiteral("/anna/Install/book.pdb"));
    QVERIFY(queued.open(QIODevice::ReadOnly));
    QVERIFY(queued.readAll().endsWith("plucked"));
    QCOMPARE(m_parts->dialogs.shown.last().caption, QStringLiteral("HotSync"));
    QCOMPARE(m_parts->dialogs.shown.last().text, QString::fromLatin1(kInstalledText));
    // Yes, then cancelling the user: nothing more.
    const qsizetype shown = m_parts->dialogs.shown.size();
    m_parts->dialogs.yesNoAnswers << true;
    QVERIFY(!m_document->Open(pdb));
    QCOMPARE(m_parts->dialogs.shown.size(), shown + 1);
    QVERIFY(m_document->IsTomeOpen());
  }

  void anUnknownDatabaseIsSaidToBeOne() {
    const struct {
      const char* type;
      const char* creator;
      QByteArray record;
    } cases[] = {
        {"Data", "Mdb1", "x"},                                // known creator, other type
        {"TEXt", "REAd", QByteArray("\x00\x07\x00\x00", 4)},  // a PalmDOC of an unknown compression
    };
    for (const auto& c : cases) {
      m_parts->dialogs.shown.clear();
      QVERIFY(!m_document->Open(MakePalmDatabase(m_parts->Path(QStringLiteral("odd.pdb")), c.type, c.creator,
                                                 c.record + QByteArray(12, '\0'))));
      QCOMPARE(m_parts->dialogs.shown.size(), 1);
      QCOMPARE(m_parts->dialogs.shown[0].text, QStringLiteral("This file is of an unknown format."));
      QCOMPARE(m_parts->dialogs.shown[0].icon, MessageIcon::kStop);
    }
  }

 private:
  std::unique_ptr<Collaborators> m_parts;
  QString m_hotSync;
  std::unique_ptr<HotSyncFolder> m_queue;
  std::unique_ptr<Document> m_document;
};

QTEST_MAIN(DocumentPalmTest)
#include "document_palm_qtest.moc"
