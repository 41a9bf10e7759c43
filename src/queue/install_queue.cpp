#include "queue/install_queue.h"

namespace lv {

std::vector<std::string> HotSyncUserNames(InstallQueue& queue) {
  std::vector<std::string> names;
  // The count is asked again after each user, as the service may change under us.
  for (int index = 0; index < queue.UserCount(); ++index) {
    uint16_t size = kUserNameBufferSize;
    std::vector<char> buffer(size);
    UserNameResult result = queue.UserName(index, buffer.data(), size);
    if (result == UserNameResult::kBufferTooSmall) {
      buffer.assign(size, '\0');
      result = queue.UserName(index, buffer.data(), size);
    }
    if (result != UserNameResult::kOk) continue;
    names.emplace_back(buffer.data());
  }
  return names;
}

QueueOutcome QueueFile(InstallQueue& queue, const std::string& user, const std::string& path, bool toCard) {
  QueueOutcome outcome;
  if (toCard) {
    const uint32_t id = queue.UserId(user);
    if (queue.SlotCount(id) > 0) {
      const std::vector<uint32_t> slots = queue.SlotNumbers(id);
      if (!slots.empty()) {
        outcome.target = QueueTarget::kCard;
        outcome.slot = slots.front();
        outcome.status = queue.QueueForCard(id, outcome.slot, path);
        return outcome;
      }
    }
  }
  outcome.status = queue.QueueForUser(user, path);
  return outcome;
}

}  // namespace lv
