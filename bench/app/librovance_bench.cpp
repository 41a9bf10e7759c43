// Times the desktop reader on a tome of a million subjects: from the open command to the first entry
// on display, from a quick-find key to its entry on display, and the memory of the running program
// with the tome open. Usage: librovance_bench DATA_FOLDER (the tome is made there once).
#include <QApplication>
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
#include "app/frame/quick_find_bar.h"
#include "app/views/subject_list_view.h"
#include "silent_dialogs.h"
#include "tome/tome_import.h"

namespace {

constexpr int kSubjects = 1000000;

using lv::bench::SilentDialogs;

// Subject n is "w" and n in base 26 as five letters (sorted as the tome needs), then its number.
QByteArray SubjectName(int n) {
  char letters[6] = {};
  int rest = n;
  for (int i = 4; i >= 0; --i) {
    letters[i] = static_cast<char>('a' + rest % 26);
    rest /= 26;
  }
  return QByteArray("w") + letters + ' ' + QByteArray::number(n);
}

QString MakeMillionTome(const QString& folder) {
  const QString tome = folder + QStringLiteral("/million.lv");
  if (QFileInfo::exists(tome)) return tome;
  const QString source = folder + QStringLiteral("/million.tab");
  QFile out(source);
  if (!out.open(QIODevice::WriteOnly)) qFatal("cannot write %s", qPrintable(source));
  for (int n = 0; n < kSubjects; ++n) {
    const QByteArray subject = SubjectName(n);
    out.write(subject + "\tThe <b>entry</b> of " + subject + ", with a <a:" + SubjectName((n * 7) % kSubjects) +
              ">link</a> and a second sentence that makes the text as long as a short definition.\r\n");
  }
  out.close();
  std::fprintf(stderr, "importing %d subjects...\n", kSubjects);
  const lv::ImportOutcome outcome = lv::ImportSource(
      QFile::encodeName(source).toStdString(), QFile::encodeName(tome).toStdString(), lv::SourceFormat::kTab, nullptr);
  QFile::remove(source);
  if (!outcome.status.IsOk()) qFatal("import failed: %s", outcome.status.Message().c_str());
  return tome;
}

long ResidentKiB() {
  QFile status(QStringLiteral("/proc/self/status"));
  if (!status.open(QIODevice::ReadOnly)) return -1;
  for (const QByteArray& line : status.readAll().split('\n')) {
    if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').first().toLong();
  }
  return -1;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: librovance_bench DATA_FOLDER\n");
    return 2;
  }
  const QString tome = MakeMillionTome(QString::fromLocal8Bit(argv[1]));
  QTemporaryDir settingsDir;
  SilentDialogs dialogs;
  lv::Application app(
      lv::Application::Options{settingsDir.filePath(QStringLiteral("settings.ini")), &dialogs, QString()});
  if (!app.Start({QStringLiteral("librovance")})) return 1;
  QApplication::processEvents();
  const long baseKiB = ResidentKiB();

  QElapsedTimer timer;
  timer.start();
  if (!app.OpenFile(tome)) return 1;
  QApplication::processEvents();  // the list and the page are drawn
  const double openMs = static_cast<double>(timer.nsecsElapsed()) / 1e6;
  const int rows = app.Window()->SubjectList()->model()->rowCount();

  // Quick find: a fresh five-letter prefix each time (a pause resets the text), spread over the tome.
  qint64 fakeNow = 0;
  lv::QuickFindBar& quickFind = *app.Window()->QuickFindBar();
  quickFind.SetClock([&fakeNow] { return fakeNow; });
  std::vector<double> keyMs;
  for (int i = 0; i < 200; ++i) {
    const QByteArray prefix = SubjectName((i * 4999) % kSubjects).mid(0, 5);
    fakeNow += 1000;
    for (int k = 0; k < prefix.size() - 1; ++k) quickFind.TypeCharacter(prefix[k]);
    QApplication::processEvents();
    timer.restart();
    quickFind.TypeCharacter(prefix.back());
    QApplication::processEvents();
    keyMs.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
  }
  const long openKiB = ResidentKiB();

  QTextStream report(stdout);
  report << "desktop reader, tome of " << rows << " subjects (" << QFileInfo(tome).size() / (1024 * 1024) << " MiB)\n";
  report << "  open to first entry shown:      " << QString::number(openMs, 'f', 1) << " ms  (target < 100)\n";
  report << "  quick-find key to entry shown:  median " << QString::number(Median(keyMs), 'f', 2) << " ms, worst "
         << QString::number(*std::max_element(keyMs.begin(), keyMs.end()), 'f', 2) << " ms  (target < 20)\n";
  report << "  memory with the tome open:      " << openKiB / 1024 << " MiB resident (program alone " << baseKiB / 1024
         << " MiB)  (target < 150)\n";
  app.Window()->close();
  return 0;
}
