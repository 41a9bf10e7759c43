#include "app/dialogs/select_bookmark_dialog.h"

#include <QDialogButtonBox>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace lv {

SelectBookmarkDialog::SelectBookmarkDialog(SelectBookmarkMode mode, const QList<SelectBookmarkItem>& items,
                                           QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(mode == SelectBookmarkMode::kFavourites ? QStringLiteral("Remove Favourite")
                                                         : QStringLiteral("Select Bookmark"));
  m_list = new QListWidget(this);
  m_list->setObjectName(QStringLiteral("bookmarkList"));
  for (const SelectBookmarkItem& item : items) {
    auto* row = new QListWidgetItem(item.text, m_list);
    row->setData(Qt::UserRole, item.number);
  }
  auto* buttons = new QDialogButtonBox(this);
  QPushButton* remove = buttons->addButton(QStringLiteral("Remove"), QDialogButtonBox::AcceptRole);
  remove->setDefault(true);
  buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
  connect(buttons, &QDialogButtonBox::accepted, this, &SelectBookmarkDialog::Remove);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_list);
  layout->addWidget(buttons);
  resize(400, 260);
}

void SelectBookmarkDialog::Remove() {
  const QListWidgetItem* chosen = m_list->currentItem();
  m_result = chosen != nullptr && chosen->isSelected() ? chosen->data(Qt::UserRole).toInt() : -1;
  accept();
}

}  // namespace lv
