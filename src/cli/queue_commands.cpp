#include "cli/queue_commands.h"

#include <cstdio>
#include <string>
#include <vector>

#include "queue/hotsync_folder.h"

namespace lv::cli {
namespace {

constexpr OptionSpec kUsersOptions[] = {{"--hotsync", "", true}};
constexpr OptionSpec kQueueOptions[] = {{"--user", "", true}, {"--card", "", false}, {"--hotsync", "", true}};

std::string HotSyncRoot(const Arguments& args) { return args.Value("--hotsync").value_or(DefaultHotSyncFolder()); }

// "Card1, Card2" for the slots, or "".
std::string SlotList(const std::vector<uint32_t>& slots) {
  std::string text;
  for (uint32_t slot : slots) text += (text.empty() ? "" : ", ") + std::string("Card") + std::to_string(slot);
  return text;
}

ExitStatus RunUsers(const Arguments& args) {
  if (!args.Positionals().empty()) return UsageError("users", "takes no file");
  HotSyncFolder folder(HotSyncRoot(args));
  for (const std::string& user : HotSyncUserNames(folder)) {
    const std::string slots = SlotList(folder.Slots(user));
    std::printf("%s%s%s\n", user.c_str(), slots.empty() ? "" : "\t", slots.c_str());
  }
  return ExitStatus::kOk;
}

ExitStatus RunQueue(const Arguments& args) {
  if (args.Positionals().size() != 1) return UsageError("queue", "expects one FILE.pdb");
  const std::optional<std::string> user = args.Value("--user");
  if (!user || user->empty()) return UsageError("queue", "--user NAME is required");
  const std::string path = args.Positionals()[0];
  HotSyncFolder folder(HotSyncRoot(args));
  const QueueOutcome queued = QueueFile(folder, *user, path, args.Has("--card"));
  if (!queued.status.IsOk()) {
    const ExitStatus status = queued.status.Code() == StatusCode::kIoError ? ExitStatus::kFile : ExitStatus::kFailed;
    return Fail(status, "cannot queue " + Quoted(path) + ": " + queued.status.Message());
  }
  if (queued.target == QueueTarget::kCard) {
    std::printf("Queued %s for the card in slot %u of %s\n", Quoted(path).c_str(), queued.slot, user->c_str());
  } else {
    std::printf("Queued %s for %s\n", Quoted(path).c_str(), user->c_str());
  }
  return ExitStatus::kOk;
}

constexpr const char* kFolderHelp =
    "  --hotsync DIR  the HotSync folder (default: $XDG_DATA_HOME/Librovance/HotSync); each folder\n"
    "                 in it is a HotSync user, and the Card<N> folders of a user are the card slots\n"
    "                 of that user's handheld\n";

}  // namespace

const Command kUsersCommand = {
    "users",     "[--hotsync DIR]", "List the HotSync users, one a line, with their card slots.",
    kFolderHelp, kUsersOptions,     RunUsers,
};

const Command kQueueCommand = {
    "queue",
    "FILE.pdb --user NAME [--card] [--hotsync DIR]",
    "Queue a Palm database for installation at the user's next HotSync.",
    "  --user NAME    the HotSync user\n"
    "  --card         install on the card in the handheld's first slot (the handheld itself when it\n"
    "                 has no slot)\n"
    "  --hotsync DIR  the HotSync folder (default: $XDG_DATA_HOME/Librovance/HotSync)\n"
    "The file is copied into the user's Install folder (or Card<N>/Install) and replaces a queued\n"
    "file of the same name.\n",
    kQueueOptions,
    RunQueue,
};

}  // namespace lv::cli
