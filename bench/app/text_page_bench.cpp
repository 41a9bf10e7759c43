// Times the desktop reader on a 3 MB plain text file: from the open command to the page on display,
// and from a change of the font size to the page drawn again. Usage: text_page_bench DATA_FOLDER
// (the text file is made there once).
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "app/frame/application.h"
#include "app/frame/main_window.h"
#include "app/views/entry_view.h"
#include "silent_dialogs.h"

namespace {

constexpr qint64 kTextBytes = 3 * 1024 * 1024;

using lv::bench::SilentDialogs;

// A text of lines of various lengths, with tabs, runs of spaces, markup characters and UTF-8.
QString MakeTextFile(const QString& folder) {
  const QString path = folder + QStringLiteral("/three-megabytes.txt");
  if (QFileInfo(path).size() >= kTextBytes) return path;
  QFile out(path);
  if (!out.open(QIODevice::WriteOnly)) qFatal("cannot write %s", qPrintable(path));
  qint64 written = 0;
  for (int line = 0; written < kTextBytes; ++line) {
    QByteArray text = "Line " + QByteArray::number(line) + ":\tif a < b && c > d, the caf\xC3\xA9 says \"so\".";
    for (int words = 0; words < line % 17; ++words) text += " word" + QByteArray::number(words);
    if (line % 9 == 0) text = "    indented    " + text;
    text += line % 40 == 0 ? "\r\n\r\n" : "\r\n";
    written += out.write(text);
  }
  return path;
}

double Milliseconds(const QElapsedTimer& timer) { return static_cast<double>(timer.nsecsElapsed()) / 1e6; }

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: text_page_bench DATA_FOLDER\n");
    return 2;
  }
  const QString text = MakeTextFile(QString::fromLocal8Bit(argv[1]));
  QTemporaryDir settingsDir;
  SilentDialogs dialogs;
  lv::Application app(
      lv::Application::Options{settingsDir.filePath(QStringLiteral("settings.ini")), &dialogs, QString()});
  if (!app.Start({QStringLiteral("librovance")})) return 1;
  QApplication::processEvents();

  std::vector<double> openMs;
  for (int round = 0; round < 3; ++round) {
    QElapsedTimer timer;
    timer.start();
    if (!app.OpenFile(text)) return 1;
    QApplication::processEvents();  // the page is laid out and drawn
    openMs.push_back(Milliseconds(timer));
  }

  auto* sizes = app.Window()->findChild<QComboBox*>(QStringLiteral("sizeCombo"));
  std::vector<double> fontMs;
  for (int round = 0; round < 4; ++round) {
    QElapsedTimer timer;
    timer.start();
    sizes->setCurrentIndex(round % 2 == 0 ? 6 : 2);  // "36", then "12" again
    QApplication::processEvents();
    fontMs.push_back(Milliseconds(timer));
  }
  const int lines = app.Window()->EntryView()->document()->blockCount();

  QTextStream report(stdout);
  report << "desktop reader, text file of " << QFileInfo(text).size() / 1024 << " KiB (" << lines
         << " blocks on the page)\n";
  report << "  open to page shown:             median " << QString::number(Median(openMs), 'f', 1)
         << " ms  (target < 1000)\n";
  report << "  font size change to page shown: median " << QString::number(Median(fontMs), 'f', 1)
         << " ms  (target < 1000)\n";
  app.Window()->close();
  return 0;
}
