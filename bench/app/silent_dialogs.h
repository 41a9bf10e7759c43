// The dialog interface for the desktop benchmarks: every dialog is cancelled at once, and messages go
// to stderr, so a benchmark runs without anyone at the screen.
#pragma once

#include <QColor>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <cstdio>
#include <optional>

#include "app/dialogs/user_dialogs.h"

namespace lv::bench {

class SilentDialogs : public UserDialogs {
 public:
  void ShowMessage(QWidget*, const QString&, const QString& text, MessageIcon) override {
    std::fprintf(stderr, "message: %s\n", qPrintable(text));
  }
  bool AskYesNo(QWidget*, const QString&, const QString&, MessageIcon) override { return false; }
  QString ChooseFileToOpen(QWidget*, const QString&, const QString&) override { return {}; }
  QString ChooseFileToSave(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
  std::optional<QColor> ChooseColor(QWidget*) override { return std::nullopt; }
  bool ChoosePrinter(QWidget*, QPrinter&) override { return false; }
  void ShowAbout(QWidget*) override {}
  void OpenExternalLink(QWidget*, const QUrl&) override {}
  std::optional<SearchDialogValues> AskSearch(QWidget*, SearchDialogForm) override { return std::nullopt; }
  int SelectBookmark(QWidget*, SelectBookmarkMode, const QList<SelectBookmarkItem>&) override { return -1; }
  QString ChooseFileToOpenFiltered(QWidget*, const QString&, QString&) override { return {}; }
  void RunImport(QWidget*, const std::optional<ImportChoice>&, const ImportFinished&) override {}
  bool EditPreferences(QWidget*, SettingsStore&) override { return false; }
  QString SelectHotSyncUser(QWidget*, const QStringList&, const QString&) override { return {}; }
  bool ShowNewFormatNotice(QWidget*) override { return false; }
};

}  // namespace lv::bench
