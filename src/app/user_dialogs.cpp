#include "app/user_dialogs.h"

#include <QColorDialog>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QVBoxLayout>

namespace lv {
namespace {

QMessageBox::Icon ToQtIcon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::kQuestion:
      return QMessageBox::Question;
    case MessageIcon::kStop:
      return QMessageBox::Critical;
    case MessageIcon::kInformation:
      return QMessageBox::Information;
    case MessageIcon::kExclamation:
      break;
  }
  return QMessageBox::Warning;
}

}  // namespace

void QtUserDialogs::ShowMessage(QWidget* parent, const QString& caption, const QString& text, MessageIcon icon) {
  QMessageBox box(ToQtIcon(icon), caption, text, QMessageBox::Ok, parent);
  box.exec();
}

bool QtUserDialogs::AskYesNo(QWidget* parent, const QString& caption, const QString& text, MessageIcon icon) {
  QMessageBox box(ToQtIcon(icon), caption, text, QMessageBox::Yes | QMessageBox::No, parent);
  return box.exec() == QMessageBox::Yes;
}

QString QtUserDialogs::ChooseFileToOpen(QWidget* parent, const QString& filter) {
  return QFileDialog::getOpenFileName(parent, QStringLiteral("Open"), QString(), filter);
}

QString QtUserDialogs::ChooseFileToSave(QWidget* parent, const QString& proposedPath, const QString& filter,
                                        const QString& defaultSuffix) {
  QFileDialog dialog(parent, QStringLiteral("Save As"), proposedPath, filter);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix(defaultSuffix);
  dialog.selectFile(proposedPath);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
  return dialog.selectedFiles().first();
}

std::optional<QColor> QtUserDialogs::ChooseColor(QWidget* parent) {
  QColor colour = QColorDialog::getColor(Qt::white, parent);
  if (!colour.isValid()) return std::nullopt;
  return colour;
}

bool QtUserDialogs::ChoosePrinter(QWidget* parent, QPrinter& printer) {
  QPrintDialog dialog(&printer, parent);
  return dialog.exec() == QDialog::Accepted;
}

void QtUserDialogs::ShowAbout(QWidget* parent) {
  QDialog dialog(parent);
  dialog.setWindowTitle(QStringLiteral("About Librovance"));
  auto* picture = new QLabel(&dialog);
  picture->setPixmap(QPixmap(QStringLiteral(":/icons/librovance.png")));
  auto* text = new QLabel(QStringLiteral("Version 2.8"), &dialog);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  auto* row = new QHBoxLayout;
  row->addWidget(picture);
  row->addWidget(text, 1);
  auto* layout = new QVBoxLayout(&dialog);
  layout->addLayout(row);
  layout->addWidget(buttons);
  dialog.exec();
}

}  // namespace lv
