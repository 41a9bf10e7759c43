// The user dialogs of the running program: Qt's message boxes, file, colour and print dialogs, and
// the program's own dialogs from this folder.
#pragma once

#include "app/dialogs/user_dialogs.h"

namespace lv {

class QtUserDialogs : public UserDialogs {
 public:
  void ShowMessage(QWidget* parent, const QString& caption, const QString& text, MessageIcon icon) override;
  bool AskYesNo(QWidget* parent, const QString& caption, const QString& text, MessageIcon icon) override;
  QString ChooseFileToOpen(QWidget* parent, const QString& folder, const QString& filter) override;
  QString ChooseFileToSave(QWidget* parent, const QString& proposedPath, const QString& filter,
                           const QString& defaultSuffix) override;
  std::optional<QColor> ChooseColor(QWidget* parent) override;
  bool ChoosePrinter(QWidget* parent, QPrinter& printer) override;
  void ShowAbout(QWidget* parent) override;
  void OpenExternalLink(QWidget* parent, const QUrl& url) override;
  std::optional<SearchDialogValues> AskSearch(QWidget* parent, SearchDialogForm form) override;
  int SelectBookmark(QWidget* parent, SelectBookmarkMode mode, const QList<SelectBookmarkItem>& items) override;
  QString ChooseFileToOpenFiltered(QWidget* parent, const QString& filters, QString& selectedFilter) override;
  void RunImport(QWidget* parent, const std::optional<ImportChoice>& preset, const ImportFinished& finished) override;
  bool EditPreferences(QWidget* parent, SettingsStore& settings) override;
  QString SelectHotSyncUser(QWidget* parent, const QStringList& users, const QString& hotSyncFolder) override;
  bool ShowNewFormatNotice(QWidget* parent) override;
};

}  // namespace lv
