// HotSyncFolder: the install queue on the file system. The HotSync folder holds one folder per
// HotSync user; a user's expansion-card slots are the Card<N> folders inside it (N a slot number):
//
//   <HotSync folder>/<user>/Install/<file>.pdb           installed on the handheld at its next sync
//   <HotSync folder>/<user>/Card<N>/Install/<file>.pdb   installed on the card in slot N
//
// A queued file is copied under a hidden temporary name and renamed into place when complete, so a
// sync tool never sees half a file; a queued file of the same name is replaced. Folders whose names
// start with "." are not users.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "queue/install_queue.h"

namespace lv {

// $XDG_DATA_HOME/Librovance/HotSync, with $XDG_DATA_HOME defaulting to $HOME/.local/share.
std::string DefaultHotSyncFolder();

class HotSyncFolder : public InstallQueue {
 public:
  explicit HotSyncFolder(std::filesystem::path root) : m_root(std::move(root)) {}

  const std::filesystem::path& Root() const { return m_root; }

  int UserCount() override;
  UserNameResult UserName(int index, char* buffer, uint16_t& bufferSize) override;
  Status QueueForUser(const std::string& user, const std::string& path) override;
  uint32_t UserId(const std::string& user) override;
  uint32_t SlotCount(uint32_t userId) override;
  std::vector<uint32_t> SlotNumbers(uint32_t userId) override;
  Status QueueForCard(uint32_t userId, uint32_t slot, const std::string& path) override;

  // The user names in byte order.
  std::vector<std::string> Users() const;
  // The slot numbers of a user's Card<N> folders, ascending.
  std::vector<uint32_t> Slots(const std::string& user) const;

 private:
  // The user whose id is userId (its place in Users() plus one), or "" when there is none.
  std::string UserOfId(uint32_t userId) const;
  // The name of the user's folder for the card in slot ("Card1"), or "" when there is none.
  std::string CardFolder(const std::string& user, uint32_t slot) const;

  std::filesystem::path m_root;
};

}  // namespace lv
