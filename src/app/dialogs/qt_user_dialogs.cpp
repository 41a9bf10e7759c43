#include "app/dialogs/qt_user_dialogs.h"

#include <QColorDialog>
#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QUrl>

#include "app/dialogs/about_dialog.h"
#include "app/dialogs/import_dialog.h"
#include "app/dialogs/new_format_notice.h"
#include "app/dialogs/preferences_dialog.h"
#include "app/dialogs/search_dialog.h"
#include "app/dialogs/select_bookmark_dialog.h"
#include "app/dialogs/select_hotsync_user_dialog.h"

namespace lv {
namespace {

QMessageBox::Icon ToQtIcon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::kQuestion: return QMessageBox::Question;
    case MessageIcon::kStop: return QMessageBox::Critical;
    case MessageIcon::kInformation: return QMessageBox::Information;
    case MessageIcon::kNone: return QMessageBox::NoIcon;
    case MessageIcon::kExclamation: break;
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

QString QtUserDialogs::ChooseFileToOpen(QWidget* parent, const QString& folder, const QString& filter) {
  return QFileDialog::getOpenFileName(parent, QStringLiteral("Open"), folder, filter);
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
  AboutDialog dialog(parent);
  dialog.exec();
}

void QtUserDialogs::OpenExternalLink(QWidget* /*parent*/, const QUrl& url) { QDesktopServices::openUrl(url); }
std::optional<SearchDialogValues> QtUserDialogs::AskSearch(QWidget* parent, SearchDialogForm form) {
  SearchDialog dialog(form, parent);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.Values();
}

int QtUserDialogs::SelectBookmark(QWidget* parent, SelectBookmarkMode mode, const QList<SelectBookmarkItem>& items) {
  SelectBookmarkDialog dialog(mode, items, parent);
  dialog.exec();
  return dialog.Result();
}

QString QtUserDialogs::ChooseFileToOpenFiltered(QWidget* parent, const QString& filters, QString& selectedFilter) {
  QFileDialog dialog(parent, QStringLiteral("Open"), QString(), filters);
  dialog.setFileMode(QFileDialog::ExistingFile);
  if (!selectedFilter.isEmpty()) dialog.selectNameFilter(selectedFilter);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
  selectedFilter = dialog.selectedNameFilter();
  return dialog.selectedFiles().first();
}

void QtUserDialogs::RunImport(QWidget* parent, const std::optional<ImportChoice>& preset,
                              const ImportFinished& finished) {
  ImportDialog dialog(*this, parent);
  QObject::connect(&dialog, &ImportDialog::imported, &dialog, finished);
  if (preset) dialog.Preset(*preset);
  dialog.exec();
}

bool QtUserDialogs::EditPreferences(QWidget* parent, SettingsStore& settings) {
  PreferencesDialog dialog(settings, *this, parent);
  return dialog.exec() == QDialog::Accepted;
}

QString QtUserDialogs::SelectHotSyncUser(QWidget* parent, const QStringList& users, const QString& hotSyncFolder) {
  SelectHotSyncUserDialog dialog(users, hotSyncFolder, parent);
  return dialog.exec() == QDialog::Accepted ? dialog.SelectedUser() : QString();
}

bool QtUserDialogs::ShowNewFormatNotice(QWidget* parent) {
  NewFormatNotice notice(parent);
  notice.exec();
  return notice.DontShowAgain();
}

}  // namespace lv
