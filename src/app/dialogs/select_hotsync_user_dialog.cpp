#include "app/dialogs/select_hotsync_user_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace lv {

SelectHotSyncUserDialog::SelectHotSyncUserDialog(const QStringList& users, const QString& hotSyncFolder,
                                                 QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(QStringLiteral("Select HotSync User"));
  m_list = new QListWidget(this);
  m_list->setObjectName(QStringLiteral("users"));
  m_list->addItems(users);
  if (!users.isEmpty()) m_list->setCurrentRow(0);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(m_list, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_list);
  if (users.isEmpty()) {
    auto* hint = new QLabel(QStringLiteral("There is no HotSync user yet. To add one, create a folder named after the "
                                           "user in\n%1\nand open this window again.")
                                .arg(hotSyncFolder),
                            this);
    hint->setObjectName(QStringLiteral("noUserHint"));
    hint->setWordWrap(true);
    hint->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(hint);
    buttons->button(QDialogButtonBox::Ok)->setEnabled(false);
  }
  layout->addWidget(buttons);
}

QString SelectHotSyncUserDialog::SelectedUser() const {
  const QListWidgetItem* item = m_list->currentItem();
  return item ? item->text() : QString();
}

}  // namespace lv
