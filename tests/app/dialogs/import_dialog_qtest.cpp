// The Import dialog on its own: the choice of source and tome, the source kind from the chosen
// filter, the status texts and results of an import run on the worker, a preset that imports by
// itself, failures that say why, and Cancel leaving the tome at the path as it was.
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "app/dialogs/import_dialog.h"
#include "app_fixture.h"

using namespace lv;

namespace {

template <typename T>
T* Child(ImportDialog& dialog, const char* name) {
  return dialog.findChild<T*>(QString::fromLatin1(name));
}

// Runs the dialog's import of what it shows and waits until the dialog has closed or the import
// has ended with the dialog open.
void ImportAndWait(ImportDialog& dialog) {
  dialog.show();
  QTest::mouseClick(Child<QPushButton>(dialog, "importButton"), Qt::LeftButton);
  QTRY_VERIFY_WITH_TIMEOUT(!dialog.IsImporting(), 60000);
}

}  // namespace

class ImportDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void startsIdleWithItsTexts() {
    ScriptedDialogs dialogs;
    ImportDialog dialog(dialogs, nullptr);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Import "));
    QVERIFY(!Child<QCheckBox>(dialog, "sortBox")->isEnabled());
    QCOMPARE(Child<QCheckBox>(dialog, "sortBox")->text(), QStringLiteral("Sort File"));
    QVERIFY(Child<QPushButton>(dialog, "importButton")->isDefault());
    QVERIFY(Child<QLineEdit>(dialog, "sourceEdit")->isReadOnly());
    QVERIFY(Child<QLineEdit>(dialog, "tomeEdit")->isReadOnly());
    QCOMPARE(dialog.Format(), SourceFormat::kTagged);
  }

  // The kind of source is the filter's, whatever the file's own extension; only a tab-separated text
  // can be sorted.
  void inputBrowseTakesTheKindFromTheFilter() {
    const QString tagged = QStringLiteral("Tagged Text Files (*.txt)");
    const QString tab = QStringLiteral("Tab Separated Files (*.tab)");
    const QString dictd = QStringLiteral("dictd Dictionaries (*.index)");
    const QString stardict = QStringLiteral("StarDict Dictionaries (*.ifo)");
    const struct {
      QString chosen;
      QString filter;
      QString tomePath;
      SourceFormat format;
      DictionaryKind dictionary;
    } cases[] = {
        {"/d/dict.tab", tab, "/d/dict.lv", SourceFormat::kTab, DictionaryKind::kNone},
        {"/d/words.txt", tagged, "/d/words.lv", SourceFormat::kTagged, DictionaryKind::kNone},
        {"/d/words.txt", tab, "/d/words.lv", SourceFormat::kTab, DictionaryKind::kNone},
        {"/d/plain", tagged, "/d/plain.lv", SourceFormat::kTagged, DictionaryKind::kNone},
        {"/d.x/plain", tagged, "/d.x/plain.lv", SourceFormat::kTagged, DictionaryKind::kNone},
        {"/usr/share/dictd/wn.index", dictd, "/usr/share/dictd/wn.lv", SourceFormat::kTagged, DictionaryKind::kDictd},
        {"/d/foo.ifo", stardict, "/d/foo.lv", SourceFormat::kTagged, DictionaryKind::kStarDict},
        {"/d/wn.index", tagged, "/d/wn.lv", SourceFormat::kTagged, DictionaryKind::kNone},
    };
    for (const auto& c : cases) {
      ScriptedDialogs dialogs;
      dialogs.filteredFilesToOpen.append({c.chosen, c.filter});
      ImportDialog dialog(dialogs, nullptr);
      QTest::mouseClick(Child<QPushButton>(dialog, "sourceBrowse"), Qt::LeftButton);
      const QString offered = QStringList{tagged, tab, dictd, stardict}.join(QStringLiteral(";;"));
      QCOMPARE(dialogs.filteredOpenFilters, QStringList{offered});
      QCOMPARE(dialog.SourcePath(), c.chosen);
      QCOMPARE(dialog.TomePath(), c.tomePath);
      QCOMPARE(dialog.Format(), c.format);
      QCOMPARE(dialog.Dictionary(), c.dictionary);
      QCOMPARE(Child<QCheckBox>(dialog, "sortBox")->isEnabled(), c.format == SourceFormat::kTab);
    }
  }

  void outputBrowseSetsTheTome() {
    ScriptedDialogs dialogs;
    dialogs.filesToSave.append(QStringLiteral("/elsewhere/book.lv"));
    ImportDialog dialog(dialogs, nullptr);
    QTest::mouseClick(Child<QPushButton>(dialog, "tomeBrowse"), Qt::LeftButton);
    QCOMPARE(dialog.TomePath(), QStringLiteral("/elsewhere/book.lv"));
    // Cancelling the Save As dialog keeps it.
    QTest::mouseClick(Child<QPushButton>(dialog, "tomeBrowse"), Qt::LeftButton);
    QCOMPARE(dialog.TomePath(), QStringLiteral("/elsewhere/book.lv"));
  }

  // A sorted import steps through the four texts in order, fills the bar, reports the tome written
  // and shows the results without an icon.
  void sortedImportShowsEachStepAndTheResults() {
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("dict.tab"));
    WriteFile(source, "b\ttwo\r\nA\tone\r\nc\tthree\r\n");
    ScriptedDialogs dialogs;
    dialogs.filteredFilesToOpen.append({source, QStringLiteral("Tab Separated Files (*.tab)")});
    ImportDialog dialog(dialogs, nullptr);
    QTest::mouseClick(Child<QPushButton>(dialog, "sourceBrowse"), Qt::LeftButton);
    Child<QCheckBox>(dialog, "sortBox")->setChecked(true);
    QStringList texts;
    connect(Child<QLineEdit>(dialog, "statusLine"), &QLineEdit::textChanged, this,
            [&texts](const QString& text) { texts.append(text); });
    QList<ImportReport> reports;
    connect(&dialog, &ImportDialog::imported, this, [&reports](const ImportReport& r) { reports.append(r); });

    ImportAndWait(dialog);
    QCOMPARE(texts,
             (QStringList{"Sorting file.....", "Preparing to import.....", "Importing.....", "Saving Tome....."}));
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(reports.size(), 1);
    QCOMPARE(reports[0].choice.sourcePath, source);
    QCOMPARE(reports[0].choice.tomePath, dir.filePath(QStringLiteral("dict.lv")));
    QVERIFY(reports[0].choice.sortFile);
    QVERIFY(QFile::exists(source + QStringLiteral(".bak")));
    QProgressBar* bar = Child<QProgressBar>(dialog, "progressBar");
    QCOMPARE(bar->maximum(), int(ReadFile(source).size()) + 1);
    QCOMPARE(bar->value(), int(ReadFile(source).size()));
    QCOMPARE(dialogs.shown.size(), 1);
    QCOMPARE(dialogs.shown[0].caption, QStringLiteral("Import results"));
    QCOMPARE(dialogs.shown[0].text, QStringLiteral("Number of subjects:   \t3\nFile sorted status:       \tYes"));
    QCOMPARE(dialogs.shown[0].icon, MessageIcon::kNone);
    TomeReader reader;
    QVERIFY(reader.Open(QFile::encodeName(dialog.TomePath()).toStdString(), OpenMode::kReadOnly).IsOk());
    QCOMPARE(reader.Subject(0), std::string("A"));
  }

  // A preset dialog imports by itself as soon as it is shown; ".TAB" is tab-separated.
  void presetImportsWithoutAClick() {
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("LIST.TAB"));
    const QByteArray longSubject(101, 'x');
    WriteFile(source, "b\tone\r\na\ttwo\r\n" + longSubject + "\tthree");
    ScriptedDialogs dialogs;
    ImportDialog dialog(dialogs, nullptr);
    dialog.Preset({source, dir.filePath(QStringLiteral("list.lv")), false});
    QCOMPARE(dialog.Format(), SourceFormat::kTab);
    QVERIFY(!Child<QCheckBox>(dialog, "sortBox")->isChecked());
    dialog.show();
    QTRY_COMPARE_WITH_TIMEOUT(dialog.result(), int(QDialog::Accepted), 60000);
    QCOMPARE(dialogs.shown.size(), 1);
    QCOMPARE(dialogs.shown[0].text,
             QStringLiteral("Number of subjects:   \t3\nFile sorted status:       \tNo\nSorted check failed at "
                            "subject: a\n\nNote: The subjects in this text were very long \nand may cause problems "
                            "in some versions of Librovance."));
    QCOMPARE(dialogs.shown[0].icon, MessageIcon::kExclamation);
    QVERIFY(!QFile::exists(source + QStringLiteral(".bak")));
  }

  // Files that cannot be opened are named in the status line and the dialog stays open; a tome that
  // cannot be written is reported as a failure with its cause, never as results.
  void failuresSayWhy() {
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("s.txt"));
    WriteFile(source, "<new>a\ntext");
    QDir(dir.path()).mkdir(QStringLiteral("taken.lv"));
    const struct {
      QString source;
      QString tome;
      QString statusStart;
      bool message;
    } cases[] = {
        {dir.filePath(QStringLiteral("missing.txt")), dir.filePath(QStringLiteral("m.lv")),
         QStringLiteral("Cannot open '%1'").arg(dir.filePath(QStringLiteral("missing.txt"))), false},
        {source, dir.filePath(QStringLiteral("no-folder/s.lv")), QString(), false},
        // A folder where the tome should go is refused before the import starts.
        {source, dir.filePath(QStringLiteral("taken.lv")), QString(), false},
    };
    for (const auto& c : cases) {
      ScriptedDialogs dialogs;
      ImportDialog dialog(dialogs, nullptr);
      dialog.Preset({c.source, c.tome, false});
      dialog.show();
      QTRY_VERIFY_WITH_TIMEOUT(!dialog.IsImporting() && !dialog.StatusText().isEmpty() &&
                                   !dialog.StatusText().endsWith(QStringLiteral(".....")),
                               60000);
      QVERIFY(dialog.isVisible());
      QVERIFY2(dialog.StatusText().startsWith(c.statusStart), qPrintable(dialog.StatusText()));
      QCOMPARE(dialogs.shown.size(), c.message ? 1 : 0);
      if (c.message) {
        QVERIFY(dialogs.shown[0].caption != QStringLiteral("Import results"));
        QVERIFY2(dialogs.shown[0].text.contains(dialog.StatusText()), qPrintable(dialogs.shown[0].text));
      }
      QVERIFY(Child<QPushButton>(dialog, "importButton")->isEnabled());
      dialog.reject();
    }
    QVERIFY(QFileInfo(dir.filePath(QStringLiteral("taken.lv"))).isDir());
  }

  // Cancel stops a running import; the tome at the path keeps its old bytes and nothing is left.
  void cancelLeavesTheOldTome() {
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("big.txt"));
    QByteArray text;
    for (int i = 0; i < 200000; ++i)
      text += "<new>subject " + QByteArray::number(i) + "\nan entry text of some length\n";
    WriteFile(source, text);
    const QString tome = dir.filePath(QStringLiteral("big.lv"));
    WriteFile(tome, "the old tome");
    ScriptedDialogs dialogs;
    ImportDialog dialog(dialogs, nullptr);
    Child<QLineEdit>(dialog, "sourceEdit")->setText(source);
    Child<QLineEdit>(dialog, "tomeEdit")->setText(tome);
    dialog.show();
    dialog.StartImport();
    QVERIFY(dialog.IsImporting());
    QTest::mouseClick(Child<QPushButton>(dialog, "cancelButton"), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!dialog.IsImporting(), 60000);
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QVERIFY(dialogs.shown.isEmpty());
    QCOMPARE(ReadFile(tome), QByteArray("the old tome"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 2);
  }
};

QTEST_MAIN(ImportDialogTest)
#include "import_dialog_qtest.moc"
