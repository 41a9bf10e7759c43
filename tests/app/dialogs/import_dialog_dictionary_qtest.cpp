// The Import dialog with dictionaries: a dictd set and a StarDict set made here, chosen through the
// Browse filters and imported on the worker with the same status texts and a results box that carries
// the dictionary's own lines; a preset names its kind by the file; Cancel stops a dictionary import.
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include "app/dialogs/import_dialog.h"
#include "app_fixture.h"

using namespace lv;

namespace {

const QString kDictdFilter = QStringLiteral("dictd Dictionaries (*.index)");
const QString kStarDictFilter = QStringLiteral("StarDict Dictionaries (*.ifo)");

template <typename T>
T* Child(ImportDialog& dialog, const char* name) {
  return dialog.findChild<T*>(QString::fromLatin1(name));
}

// A number in the base-64 digits of a dictd index.
QByteArray DictdNumber(qint64 value) {
  static const char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  QByteArray digits;
  do {
    digits.prepend(kDigits[value % 64]);
    value /= 64;
  } while (value > 0);
  return digits;
}

// Writes base.index and a plain base.dict holding the (headword, text) pairs; returns the index path.
QString WriteDictd(const QString& base, const QList<QPair<QByteArray, QByteArray>>& entries) {
  QByteArray index;
  QByteArray data;
  for (const auto& [headword, text] : entries) {
    index += headword + '\t' + DictdNumber(data.size()) + '\t' + DictdNumber(text.size()) + '\n';
    data += text;
  }
  WriteFile(base + QStringLiteral(".index"), index);
  WriteFile(base + QStringLiteral(".dict"), data);
  return base + QStringLiteral(".index");
}

QByteArray BigEndian32(quint32 value) {
  QByteArray bytes(4, '\0');
  qToBigEndian(value, bytes.data());
  return bytes;
}

// Writes a StarDict set of HTML entries with synonyms (word, number of its main word) beside them;
// returns the .ifo path.
QString WriteStarDict(const QString& base, const QList<QPair<QByteArray, QByteArray>>& entries,
                      const QList<QPair<QByteArray, quint32>>& synonyms) {
  QByteArray index;
  QByteArray data;
  for (const auto& [word, text] : entries) {
    index += word + '\0' + BigEndian32(quint32(data.size())) + BigEndian32(quint32(text.size()));
    data += text;
  }
  QByteArray syn;
  for (const auto& [word, main] : synonyms) syn += word + '\0' + BigEndian32(main);
  WriteFile(base + QStringLiteral(".ifo"),
            "StarDict's dict ifo file\nversion=3.0.0\nbookname=Small Words\nwordcount=" +
                QByteArray::number(entries.size()) + "\nidxfilesize=" + QByteArray::number(index.size()) +
                "\nsynwordcount=" + QByteArray::number(synonyms.size()) + "\nsametypesequence=h\n");
  WriteFile(base + QStringLiteral(".idx"), index);
  WriteFile(base + QStringLiteral(".dict"), data);
  WriteFile(base + QStringLiteral(".syn"), syn);
  return base + QStringLiteral(".ifo");
}

// Chooses source under filter with the input Browse, imports it and waits for the end; returns the
// status texts the import went through.
QStringList ImportThroughBrowse(ImportDialog& dialog, ScriptedDialogs& dialogs, const QString& source,
                                const QString& filter) {
  dialogs.filteredFilesToOpen.append({source, filter});
  QTest::mouseClick(Child<QPushButton>(dialog, "sourceBrowse"), Qt::LeftButton);
  QStringList texts;
  const QMetaObject::Connection watch =
      QObject::connect(Child<QLineEdit>(dialog, "statusLine"), &QLineEdit::textChanged, &dialog,
                       [&texts](const QString& text) { texts.append(text); });
  dialog.show();
  QTest::mouseClick(Child<QPushButton>(dialog, "importButton"), Qt::LeftButton);
  [&dialog] { QTRY_VERIFY_WITH_TIMEOUT(!dialog.IsImporting(), 60000); }();
  QObject::disconnect(watch);
  return texts;
}

QStringList SubjectsOf(const QString& tomePath) {
  TomeReader reader;
  if (!reader.Open(QFile::encodeName(tomePath).toStdString(), OpenMode::kReadOnly).IsOk()) return {};
  QStringList subjects;
  for (int i = 0; i < reader.SubjectCount(); ++i) subjects.append(QString::fromLatin1(reader.Subject(i)));
  return subjects;
}

}  // namespace

class ImportDialogDictionaryTest : public QObject {
  Q_OBJECT

 private slots:
  // A dictd set: its short name heads the results, a character without a Windows-1252 form is noted,
  // and the tome written is reported and holds the headwords.
  void dictdImportsWithItsResults() {
    QTemporaryDir dir;
    const QString index =
        WriteDictd(dir.filePath(QStringLiteral("tiny")), {{"00-database-short", "00-database-short\n     Tiny Words\n"},
                                                          {"apple", "apple\n   A fruit; see {pear}.\n"},
                                                          {"pear", "pear\n   A fruit \xE2\x80\x94 \xE6\xBC\xA2.\n"}});
    ScriptedDialogs dialogs;
    ImportDialog dialog(dialogs, nullptr);
    QList<ImportReport> reports;
    connect(&dialog, &ImportDialog::imported, this, [&reports](const ImportReport& r) { reports.append(r); });

    const QStringList texts = ImportThroughBrowse(dialog, dialogs, index, kDictdFilter);
    QCOMPARE(texts, (QStringList{"Preparing to import.....", "Importing.....", "Saving Tome....."}));
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(reports.size(), 1);
    QCOMPARE(reports[0].choice.sourcePath, index);
    QCOMPARE(reports[0].choice.tomePath, dir.filePath(QStringLiteral("tiny.lv")));
    QVERIFY(!reports[0].choice.sortFile);
    QCOMPARE(reports[0].outcome.entryCount, 2);
    QCOMPARE(dialogs.shown.size(), 1);
    QCOMPARE(dialogs.shown[0].caption, QStringLiteral("Import results"));
    QCOMPARE(dialogs.shown[0].text,
             QStringLiteral("Dictionary:   \tTiny Words\nNumber of subjects:   \t2\nFile sorted status:       \tYes"
                            "\n\nNote: 1 characters have no Windows-1252 form and were replaced with \"?\"."));
    QCOMPARE(dialogs.shown[0].icon, MessageIcon::kExclamation);
    QCOMPARE(SubjectsOf(dir.filePath(QStringLiteral("tiny.lv"))), (QStringList{"apple", "pear"}));
  }

  // A StarDict set with a synonym and a picture: the synonym is counted, the picture noted as skipped.
  void starDictImportsWithItsResults() {
    QTemporaryDir dir;
    const QString ifo =
        WriteStarDict(dir.filePath(QStringLiteral("small")),
                      {{"apple", "<b>red</b> fruit<img src=\"apple.png\">"}, {"berry", "small fruit"}}, {{"fruit", 0}});
    ScriptedDialogs dialogs;
    ImportDialog dialog(dialogs, nullptr);
    const QStringList texts = ImportThroughBrowse(dialog, dialogs, ifo, kStarDictFilter);
    QCOMPARE(texts, (QStringList{"Preparing to import.....", "Importing.....", "Saving Tome....."}));
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialogs.shown.size(), 1);
    QCOMPARE(dialogs.shown[0].text,
             QStringLiteral("Dictionary:   \tSmall Words\nNumber of subjects:   \t3\nFile sorted status:       \tYes"
                            "\nSynonyms:   \t1\n\nNote: 1 pictures, sounds and other files were skipped."));
    QCOMPARE(dialogs.shown[0].icon, MessageIcon::kExclamation);
    QCOMPARE(SubjectsOf(dir.filePath(QStringLiteral("small.lv"))), (QStringList{"apple", "berry", "fruit"}));
  }

  // A preset (the reimport of a changed source) takes the kind from the file's ending; a dictionary
  // is never sorted, whatever the preset says.
  void presetTakesTheDictionaryFromThePath() {
    QTemporaryDir dir;
    const QString index = WriteDictd(dir.filePath(QStringLiteral("wn")), {{"b", "two\n"}, {"a", "one\n"}});
    ScriptedDialogs dialogs;
    ImportDialog dialog(dialogs, nullptr);
    dialog.Preset({index, dir.filePath(QStringLiteral("wn.lv")), true});
    QCOMPARE(dialog.Dictionary(), DictionaryKind::kDictd);
    QVERIFY(!Child<QCheckBox>(dialog, "sortBox")->isEnabled());
    dialog.show();
    QTRY_COMPARE_WITH_TIMEOUT(dialog.result(), int(QDialog::Accepted), 60000);
    QCOMPARE(dialogs.shown.size(), 1);
    QVERIFY2(dialogs.shown[0].text.contains(QStringLiteral("File sorted status:       \tNo")),
             qPrintable(dialogs.shown[0].text));
    QCOMPARE(ReadFile(index), QByteArray("b\tA\tE\na\tE\tE\n"));
    QVERIFY(!QFile::exists(index + QStringLiteral(".bak")));
  }

  // A set that is missing a file is named in the status line and the dialog stays open.
  void missingFileIsNamed() {
    QTemporaryDir dir;
    const QString index = WriteDictd(dir.filePath(QStringLiteral("lost")), {{"a", "one\n"}});
    QFile::remove(dir.filePath(QStringLiteral("lost.dict")));
    ScriptedDialogs dialogs;
    ImportDialog dialog(dialogs, nullptr);
    ImportThroughBrowse(dialog, dialogs, index, kDictdFilter);
    QVERIFY(dialog.isVisible());
    QVERIFY2(dialog.StatusText().contains(QStringLiteral("lost.dict")), qPrintable(dialog.StatusText()));
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("lost.lv"))));
    dialog.reject();
  }

  // Cancel stops a running dictionary import; the tome at the path keeps its old bytes and nothing is
  // left beside it.
  void cancelLeavesTheOldTome() {
    QTemporaryDir dir;
    QList<QPair<QByteArray, QByteArray>> entries;
    for (int i = 0; i < 200000; ++i) {
      const QByteArray word = "word" + QByteArray::number(100000 + i);
      entries.append({word, word + "\n   an entry text of some length\n"});
    }
    const QString index = WriteDictd(dir.filePath(QStringLiteral("big")), entries);
    const QString tome = dir.filePath(QStringLiteral("big.lv"));
    WriteFile(tome, "the old tome");
    ScriptedDialogs dialogs;
    dialogs.filteredFilesToOpen.append({index, kDictdFilter});
    ImportDialog dialog(dialogs, nullptr);
    QTest::mouseClick(Child<QPushButton>(dialog, "sourceBrowse"), Qt::LeftButton);
    QCOMPARE(dialog.TomePath(), tome);
    dialog.show();
    dialog.StartImport();
    QVERIFY(dialog.IsImporting());
    QTest::mouseClick(Child<QPushButton>(dialog, "cancelButton"), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!dialog.IsImporting(), 60000);
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QVERIFY(dialogs.shown.isEmpty());
    QCOMPARE(ReadFile(tome), QByteArray("the old tome"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 3);
  }
};

QTEST_MAIN(ImportDialogDictionaryTest)
#include "import_dialog_dictionary_qtest.moc"
