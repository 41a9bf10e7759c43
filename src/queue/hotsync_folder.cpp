#include "queue/hotsync_folder.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <system_error>

#include "tome/file_util.h"

namespace lv {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kCardPrefix = "Card";
constexpr const char* kInstallFolder = "Install";

// The names of the visible sub-folders of folder; empty when it cannot be read.
std::vector<std::string> SubFolders(const fs::path& folder) {
  std::vector<std::string> names;
  std::error_code error;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    std::error_code typeError;
    const std::string name = it->path().filename().string();
    if (name.empty() || name[0] == '.' || !it->is_directory(typeError)) continue;
    names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

// The slot number of a folder named Card<N>, or false.
bool ParseCardFolder(std::string_view name, uint32_t& slot) {
  if (name.size() <= kCardPrefix.size() || name.substr(0, kCardPrefix.size()) != kCardPrefix) return false;
  const std::string_view digits = name.substr(kCardPrefix.size());
  if (!std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) return false;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), slot);
  return error == std::errc() && end == digits.data() + digits.size();
}

// Copies the file at source into folder (made when missing) under its own name: a hidden temporary
// file first, renamed into place once complete.
Status CopyInto(const std::string& source, const fs::path& folder) {
  const File in = OpenFile(source, "rb");
  if (!in) return Status::IoError("cannot open " + source + ": " + std::strerror(errno));
  std::error_code error;
  fs::create_directories(folder, error);
  if (error) return Status::IoError("cannot create " + folder.string() + ": " + error.message());
  const fs::path destination = folder / fs::path(source).filename();
  AtomicFileWriter writer;
  if (Status opened = writer.Open(destination.string()); !opened.IsOk()) return opened;
  if (!CopyStream(in.get(), writer.Stream())) {
    return Status::IoError("cannot copy " + source + " to " + destination.string() + ": " + std::strerror(errno));
  }
  return writer.Commit();
}

}  // namespace

std::string DefaultHotSyncFolder() {
  const char* dataHome = std::getenv("XDG_DATA_HOME");
  fs::path base;
  if (dataHome && *dataHome) {
    base = dataHome;
  } else {
    const char* home = std::getenv("HOME");
    base = fs::path(home && *home ? home : ".") / ".local" / "share";
  }
  return (base / "Librovance" / "HotSync").string();
}

std::vector<std::string> HotSyncFolder::Users() const { return SubFolders(m_root); }

std::vector<uint32_t> HotSyncFolder::Slots(const std::string& user) const {
  std::vector<uint32_t> slots;
  for (const std::string& name : SubFolders(m_root / user)) {
    uint32_t slot = 0;
    if (ParseCardFolder(name, slot)) slots.push_back(slot);
  }
  std::sort(slots.begin(), slots.end());
  slots.erase(std::unique(slots.begin(), slots.end()), slots.end());
  return slots;
}

std::string HotSyncFolder::CardFolder(const std::string& user, uint32_t slot) const {
  for (const std::string& name : SubFolders(m_root / user)) {
    uint32_t parsed = 0;
    if (ParseCardFolder(name, parsed) && parsed == slot) return name;
  }
  return std::string();
}

int HotSyncFolder::UserCount() { return static_cast<int>(Users().size()); }

UserNameResult HotSyncFolder::UserName(int index, char* buffer, uint16_t& bufferSize) {
  const std::vector<std::string> users = Users();
  if (index < 0 || static_cast<size_t>(index) >= users.size()) return UserNameResult::kNoSuchUser;
  const std::string& name = users[static_cast<size_t>(index)];
  if (name.size() + 1 > bufferSize) {
    bufferSize = static_cast<uint16_t>(std::min<size_t>(name.size() + 1, UINT16_MAX));
    return UserNameResult::kBufferTooSmall;
  }
  std::memcpy(buffer, name.c_str(), name.size() + 1);
  return UserNameResult::kOk;
}

Status HotSyncFolder::QueueForUser(const std::string& user, const std::string& path) {
  const std::vector<std::string> users = Users();
  if (std::find(users.begin(), users.end(), user) == users.end()) {
    return Status::NotFound("there is no HotSync user named \"" + user + "\" in " + m_root.string());
  }
  return CopyInto(path, m_root / user / kInstallFolder);
}

uint32_t HotSyncFolder::UserId(const std::string& user) {
  const std::vector<std::string> users = Users();
  const auto it = std::find(users.begin(), users.end(), user);
  return it == users.end() ? 0 : static_cast<uint32_t>(it - users.begin()) + 1;
}

std::string HotSyncFolder::UserOfId(uint32_t userId) const {
  const std::vector<std::string> users = Users();
  return userId == 0 || userId > users.size() ? std::string() : users[userId - 1];
}

uint32_t HotSyncFolder::SlotCount(uint32_t userId) {
  const std::string user = UserOfId(userId);
  return user.empty() ? 0 : static_cast<uint32_t>(Slots(user).size());
}

std::vector<uint32_t> HotSyncFolder::SlotNumbers(uint32_t userId) {
  const std::string user = UserOfId(userId);
  return user.empty() ? std::vector<uint32_t>() : Slots(user);
}

Status HotSyncFolder::QueueForCard(uint32_t userId, uint32_t slot, const std::string& path) {
  const std::string user = UserOfId(userId);
  if (user.empty()) return Status::NotFound("there is no HotSync user with id " + std::to_string(userId));
  const std::string card = CardFolder(user, slot);
  if (card.empty()) {
    return Status::NotFound("the handheld of \"" + user + "\" has no card slot " + std::to_string(slot));
  }
  return CopyInto(path, m_root / user / card / kInstallFolder);
}

}  // namespace lv
