#include "app/dialogs/palm_install.h"

#include <QFile>
#include <QStringList>

#include "app/dialogs/user_dialogs.h"
#include "queue/install_queue.h"

namespace lv {
namespace {

// The chosen user, or empty when the choice was cancelled.
QString ChooseUser(UserDialogs& dialogs, QWidget* parent, const HotSyncTarget& target) {
  QStringList users;
  for (const std::string& name : HotSyncUserNames(target.queue)) users.append(QFile::decodeName(name.c_str()));
  return dialogs.SelectHotSyncUser(parent, users, target.folder);
}

// Queues path for user and reports the outcome: successText when it worked, failureText when not.
void QueueAndReport(UserDialogs& dialogs, QWidget* parent, const HotSyncTarget& target, const QString& user,
                    const QString& path, bool toCard, const char* failureText) {
  const QueueOutcome outcome =
      QueueFile(target.queue, QFile::encodeName(user).toStdString(), QFile::encodeName(path).toStdString(), toCard);
  const bool queued = outcome.status.IsOk();
  dialogs.ShowMessage(parent, QString::fromLatin1(kHotSyncCaption),
                      QString::fromLatin1(queued ? kInstalledText : failureText), MessageIcon::kExclamation);
}

}  // namespace

void InstallPalmDatabase(UserDialogs& dialogs, QWidget* parent, const HotSyncTarget& target, const QString& path) {
  const QString user = ChooseUser(dialogs, parent, target);
  if (!user.isEmpty()) QueueAndReport(dialogs, parent, target, user, path, false, kInstallFailedText);
}

void QueueExportedPalmTome(UserDialogs& dialogs, QWidget* parent, const HotSyncTarget& target, const QString& path,
                           bool toCard) {
  const QString user = ChooseUser(dialogs, parent, target);
  if (!user.isEmpty()) QueueAndReport(dialogs, parent, target, user, path, toCard, kExportQueueFailedText);
}

}  // namespace lv
