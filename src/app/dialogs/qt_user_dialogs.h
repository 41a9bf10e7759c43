// The user dialogs of the running program: Qt's message boxes, file, colour and print dialogs, and
// the program's own dialogs from this folder.
#pragma once

#include "app/dialogs/user_dialogs.h"

namespace lv {

class QtUserDialogs : public UserDialogs {
 public:
  void ShowMessage(QWidget* parent, const QString& caption, const QString& text, MessageIcon icon) override;
  bool AskYesNo(QWidget* parent, const QString& caption, const QString& text, MessageIcon icon) override;
  QString ChooseFileToOpen(QWidget* parent, const QString& filter) override;
  QString ChooseFileToSave(QWidget* parent, const QString& proposedPath, const QString& filter,
                           const QString& defaultSuffix) override;
  std::optional<QColor> ChooseColor(QWidget* parent) override;
  bool ChoosePrinter(QWidget* parent, QPrinter& printer) override;
  void ShowAbout(QWidget* parent) override;
  QString SelectHotSyncUser(QWidget* parent, const QStringList& users, const QString& hotSyncFolder) override;
  bool ShowNewFormatNotice(QWidget* parent) override;
};

}  // namespace lv
