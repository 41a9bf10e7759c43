// Every question, message and file or colour choice the program puts to the user goes through this
// interface, so that tests can answer them. QtUserDialogs shows the real Qt dialogs.
#pragma once

#include <QColor>
#include <QString>
#include <optional>

#include "tome/messages.h"

class QPrinter;
class QWidget;

namespace lv {

class UserDialogs {
 public:
  virtual ~UserDialogs() = default;
  // A modal message with an OK button.
  virtual void ShowMessage(QWidget* parent, const QString& caption, const QString& text, MessageIcon icon) = 0;
  // A modal Yes/No question; true for Yes.
  virtual bool AskYesNo(QWidget* parent, const QString& caption, const QString& text, MessageIcon icon) = 0;
  // filter in Qt's form ("Librovance Files (*.lv);;Text Files (*.txt)"); empty when cancelled.
  virtual QString ChooseFileToOpen(QWidget* parent, const QString& filter) = 0;
  // Asks before overwriting; empty when cancelled.
  virtual QString ChooseFileToSave(QWidget* parent, const QString& proposedPath, const QString& filter,
                                   const QString& defaultSuffix) = 0;
  virtual std::optional<QColor> ChooseColor(QWidget* parent) = 0;
  // Sets up printer; false when cancelled.
  virtual bool ChoosePrinter(QWidget* parent, QPrinter& printer) = 0;
  virtual void ShowAbout(QWidget* parent) = 0;
};

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
};

}  // namespace lv
