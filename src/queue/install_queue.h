// InstallQueue: what the program needs of a handheld's desktop install service. The operations keep
// the shape of the service's calls: the user list is read by index into a caller's buffer, and a
// buffer that is too small is answered with kBufferTooSmall and the size it needs, after which the
// caller asks once more. Queueing answers with a Status whose message names the cause of a failure.
//
// HotSyncFolder (hotsync_folder.h) implements it on a folder of the file system.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tome/status.h"

namespace lv {

// Results of InstallQueue::UserName.
enum class UserNameResult {
  kOk = 0,
  kNoSuchUser = -1,
  kBufferTooSmall = -502,  // the size the name needs (with its NUL) was stored in bufferSize
};

// The first size of a user-name buffer; longer names take a second call.
inline constexpr uint16_t kUserNameBufferSize = 50;

class InstallQueue {
 public:
  virtual ~InstallQueue() = default;

  // The number of HotSync users.
  virtual int UserCount() = 0;
  // Copies the name of user index (from 0), NUL-terminated, into buffer of bufferSize bytes. When it
  // does not fit, stores the size it needs in bufferSize and answers kBufferTooSmall.
  virtual UserNameResult UserName(int index, char* buffer, uint16_t& bufferSize) = 0;
  // Queues the file at path for the user's next HotSync.
  virtual Status QueueForUser(const std::string& user, const std::string& path) = 0;

  // The user's id; 0 for a user that does not exist.
  virtual uint32_t UserId(const std::string& user) = 0;
  // The number of expansion-card slots of the user's handheld.
  virtual uint32_t SlotCount(uint32_t userId) = 0;
  // The numbers of those slots, in order.
  virtual std::vector<uint32_t> SlotNumbers(uint32_t userId) = 0;
  // Queues the file at path for the card in the given slot of the user's handheld.
  virtual Status QueueForCard(uint32_t userId, uint32_t slot, const std::string& path) = 0;
};

// Every user name, read the way the service hands them out (a second call for a long name).
std::vector<std::string> HotSyncUserNames(InstallQueue& queue);

// Where a file was queued.
enum class QueueTarget { kUser, kCard };

struct QueueOutcome {
  Status status;
  QueueTarget target = QueueTarget::kUser;
  uint32_t slot = 0;  // the card slot, for kCard
};

// Queues path for user: with toCard, for the card in the user's first slot, or for the user's own
// queue when the handheld has no slot; without it, for the user's own queue.
QueueOutcome QueueFile(InstallQueue& queue, const std::string& user, const std::string& path, bool toCard);

}  // namespace lv
