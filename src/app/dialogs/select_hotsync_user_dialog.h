// "Select HotSync User": a list of the HotSync users with OK and Cancel; the first user starts
// selected. With no user at all it says where a user is added.
#pragma once

#include <QDialog>
#include <QStringList>

class QListWidget;

namespace lv {

class SelectHotSyncUserDialog : public QDialog {
  Q_OBJECT

 public:
  SelectHotSyncUserDialog(const QStringList& users, const QString& hotSyncFolder, QWidget* parent);
  // The selected user; empty when none is.
  QString SelectedUser() const;

 private:
  QListWidget* m_list = nullptr;
};

}  // namespace lv
