// Times an import through the Import dialog, as a user runs it: the dialog preset with the source and
// the tome, shown, importing on its worker thread while the window's thread draws the progress, and
// closed after the results. Usage: librovance_import_bench SOURCE TOME [RUNS]; prints the best time
// of RUNS (default 3) in seconds, to be set beside `lvtool import` on the same source.
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>

#include <algorithm>
#include <cstdio>

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
  QString ChooseFileToOpen(QWidget*, const QString&) override { return {}; }
  QString ChooseFileToSave(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
  std::optional<QColor> ChooseColor(QWidget*) override { return std::nullopt; }
  bool ChoosePrinter(QWidget*, QPrinter&) override { return false; }
  void ShowAbout(QWidget*) override {}
  QString ChooseFileToOpenFiltered(QWidget*, const QString&, QString&) override { return {}; }
  void RunImport(QWidget*, const std::optional<lv::ImportChoice>&, const lv::ImportFinished&) override {}
  bool EditPreferences(QWidget*, lv::SettingsStore&) override { return false; }

  bool failed = false;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  if (argc < 3) {
    std::fprintf(stderr, "usage: librovance_import_bench SOURCE TOME [RUNS]\n");
    return 1;
  }
  const QString source = QFile::decodeName(argv[1]);
  const QString tome = QFile::decodeName(argv[2]);
  const int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 3;
  PrintingDialogs dialogs;
  double best = -1;
  for (int run = 0; run < runs; ++run) {
    lv::ImportDialog dialog(dialogs, nullptr);
    dialog.Preset({source, tome, false});
    QElapsedTimer timer;
    timer.start();
    const int result = dialog.exec();
    const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    if (result != QDialog::Accepted || dialogs.failed) {
      std::fprintf(stderr, "import failed: %s\n", qPrintable(dialog.StatusText()));
      return 1;
    }
    best = best < 0 ? seconds : std::min(best, seconds);
  }
  std::printf("%.3f\n", best);
  return 0;
}
