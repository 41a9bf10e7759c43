// Times an import through the Import dialog, as a user runs it: the dialog preset with the source and
// the tome, shown, importing on its worker thread while the window's thread draws the progress, and
// closed after the results.
//   librovance_import_bench SOURCE TOME            prints the seconds of one import
//   librovance_import_bench --cancel SOURCE TOME   prints the seconds from Cancel, pressed half a
//                                                  second into an import, to the dialog closed
// bench/app/run sets the first beside `lvtool import` on the same source.
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>

#include <cstdio>
#include <cstring>

#include "app/dialogs/import_dialog.h"
#include "app/dialogs/user_dialogs.h"

namespace {

// Prints the messages (the results, a failure) and answers nothing else.
class PrintingDialogs : public lv::UserDialogs {
 public:
  void ShowMessage(QWidget*, const QString& caption, const QString& text, lv::MessageIcon) override {
    std::fprintf(stderr, "%s: %s\n", qPrintable(caption), qPrintable(QString(text).replace('\n', ' ')));
    failed = caption != QStringLiteral("Import results");
  }
  bool AskYesNo(QWidget*, const QString&, const QString&, lv::MessageIcon) override { return false; }
  QString ChooseFileToOpen(QWidget*, const QString&, const QString&) override { return {}; }
  QString ChooseFileToSave(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
  std::optional<QColor> ChooseColor(QWidget*) override { return std::nullopt; }
  bool ChoosePrinter(QWidget*, QPrinter&) override { return false; }
  void ShowAbout(QWidget*) override {}
  void OpenExternalLink(QWidget*, const QUrl&) override {}
  std::optional<lv::SearchDialogValues> AskSearch(QWidget*, lv::SearchDialogForm) override { return std::nullopt; }
  int SelectBookmark(QWidget*, lv::SelectBookmarkMode, const QList<lv::SelectBookmarkItem>&) override { return -1; }
  QString ChooseFileToOpenFiltered(QWidget*, const QString&, QString&) override { return {}; }
  void RunImport(QWidget*, const std::optional<lv::ImportChoice>&, const lv::ImportFinished&) override {}
  bool EditPreferences(QWidget*, lv::SettingsStore&) override { return false; }
  QString SelectHotSyncUser(QWidget*, const QStringList&, const QString&) override { return {}; }
  bool ShowNewFormatNotice(QWidget*) override { return false; }

  bool failed = false;
};

double Seconds(const QElapsedTimer& timer) { return static_cast<double>(timer.nsecsElapsed()) / 1e9; }

int TimeImport(lv::ImportDialog& dialog, const PrintingDialogs& dialogs) {
  QElapsedTimer timer;
  timer.start();
  if (dialog.exec() != QDialog::Accepted || dialogs.failed) {
    std::fprintf(stderr, "import failed: %s\n", qPrintable(dialog.StatusText()));
    return 1;
  }
  std::printf("%.3f\n", Seconds(timer));
  return 0;
}

int TimeCancel(lv::ImportDialog& dialog) {
  QElapsedTimer sinceCancel;
  QTimer::singleShot(500, &dialog, [&] {
    sinceCancel.start();
    dialog.reject();
  });
  if (dialog.exec() != QDialog::Rejected) {
    std::fprintf(stderr, "the import ended before it could be cancelled\n");
    return 1;
  }
  std::printf("%.3f\n", Seconds(sinceCancel));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  const bool cancel = argc > 1 && std::strcmp(argv[1], "--cancel") == 0;
  const int first = cancel ? 2 : 1;
  if (argc != first + 2) {
    std::fprintf(stderr, "usage: librovance_import_bench [--cancel] SOURCE TOME\n");
    return 1;
  }
  PrintingDialogs dialogs;
  {
    // The program's window is up before anyone imports: the fonts and the window system are ready.
    lv::ImportDialog warmUp(dialogs, nullptr);
    warmUp.show();
    QApplication::processEvents();
  }
  lv::ImportDialog dialog(dialogs, nullptr);
  dialog.Preset({QFile::decodeName(argv[first]), QFile::decodeName(argv[first + 1]), false});
  return cancel ? TimeCancel(dialog) : TimeImport(dialog, dialogs);
}
