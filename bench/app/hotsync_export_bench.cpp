// Times the export of a tome through the "HotSync To PalmOS..." window: OK is pressed, the export runs
// on the window's worker, and the window's event loop is watched meanwhile by a timer that should
// fire every 10 ms. Usage: hotsync_export_bench TOME OUT.pdb 2.5|2.8 none|low|default|medium|high
// Prints "result seconds longestStallMs": the export's result, its wall time, and the longest time
// the window's thread went without handling its timer.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "app/dialogs/hotsync_dialog.h"
#include "app/platform/page_folder.h"
#include "app/platform/settings_store.h"
#include "palm/palm_tome_writer.h"
#include "queue/hotsync_folder.h"
#include "silent_dialogs.h"

namespace {

using lv::bench::SilentDialogs;

constexpr const char* kLevels[] = {"none", "low", "default", "medium", "high"};

int LevelIndex(const char* level) {
  for (int i = 0; i < 5; ++i) {
    if (std::strcmp(level, kLevels[i]) == 0) return i;
  }
  return -1;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc != 5 || (std::strcmp(argv[3], "2.5") != 0 && std::strcmp(argv[3], "2.8") != 0) || LevelIndex(argv[4]) < 0) {
    std::fprintf(stderr, "usage: hotsync_export_bench TOME OUT.pdb 2.5|2.8 none|low|default|medium|high\n");
    return 1;
  }
  SilentDialogs dialogs;
  lv::SettingsStore settings;
  settings.showNewVersionDialog = 0;
  lv::PageFolder pages;
  QTemporaryDir hotSync;
  lv::HotSyncFolder queue(QFile::encodeName(hotSync.path()).toStdString());
  lv::HotSyncSource source{lv::HotSyncSource::Kind::kTome, QString::fromLocal8Bit(argv[1]), QStringLiteral("bench.lv")};
  auto* window =
      new lv::HotSyncDialog(source, dialogs, settings, pages, lv::HotSyncTarget{queue, hotSync.path()}, nullptr);
  window->Open();
  window->findChild<QLineEdit*>(QStringLiteral("outputFile"))->setText(QString::fromLocal8Bit(argv[2]));
  window->findChild<QCheckBox*>(QStringLiteral("queueForHotSync"))->setChecked(false);
  window->findChild<QComboBox*>(QStringLiteral("format"))->setCurrentIndex(std::strcmp(argv[3], "2.8") == 0 ? 1 : 0);
  window->findChild<QComboBox*>(QStringLiteral("acceleration"))->setCurrentIndex(LevelIndex(argv[4]));

  QElapsedTimer sinceTick;
  qint64 longestStall = 0;
  QTimer ticks;
  ticks.setInterval(10);
  QObject::connect(&ticks, &QTimer::timeout, [&] { longestStall = std::max(longestStall, sinceTick.restart()); });
  bool written = false;
  QEventLoop loop;
  QObject::connect(window, &lv::HotSyncDialog::exportFinished, [&](bool ok) {
    written = ok;
    loop.quit();
  });
  QElapsedTimer clock;
  clock.start();
  sinceTick.start();
  ticks.start();
  window->accept();
  loop.exec();
  const double seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
  std::printf("%d %.3f %lld\n", written ? 0 : 1, seconds, static_cast<long long>(longestStall));
  return written ? 0 : 1;
}
