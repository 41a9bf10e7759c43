// Queueing a Palm database for the handheld: the user is chosen in "Select HotSync User", the file
// goes to the install queue, and the outcome is reported in a box captioned "HotSync".
#pragma once

#include <QString>

class QWidget;

namespace lv {

class InstallQueue;
class UserDialogs;

inline constexpr const char* kHotSyncCaption = "HotSync";
inline constexpr const char* kInstalledText =
    "Next time you perform a HotSync operation,\nthis file will be installed on your handheld.";
inline constexpr const char* kExportQueueFailedText =
    "There was a problem in installing the file.\nPlease refer to the user manual.";
inline constexpr const char* kInstallFailedText =
    "There is a problem with file installation.\nPlease refer to user manual.";

// Where the install queue lives and what it answers.
struct HotSyncTarget {
  InstallQueue& queue;
  QString folder;  // shown when there is no user yet
};

// Queues a Palm database that already exists (a database the program cannot show itself) for the
// chosen user. Cancelling the choice queues nothing and says nothing.
void InstallPalmDatabase(UserDialogs& dialogs, QWidget* parent, const HotSyncTarget& target, const QString& path);

// Queues a freshly exported Palm tome for the chosen user, or, with toCard, for the card in the first
// slot of that user's handheld (the handheld itself when it has no slot).
void QueueExportedPalmTome(UserDialogs& dialogs, QWidget* parent, const HotSyncTarget& target, const QString& path,
                           bool toCard);

}  // namespace lv
