// lvtool: builds, checks and reads tomes from the command line.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "cli/command.h"
#include "cli/palm_commands.h"
#include "cli/queue_commands.h"
#include "tome/temp_files.h"
#include "version.h"

namespace lv::cli {
namespace {

// The commands in the order "lvtool --help" lists them. A new command is one more line here.
const Command* const kCommands[] = {
    &kImportCommand,       &kInfoCommand,   &kListCommand,    &kShowCommand,  &kFindCommand,
    &kExportTaggedCommand, &kSortCommand,   &kUpgradeCommand, &kPdbCommand,   &kPdbInfoCommand,
    &kPalmDocCommand,      &kSearchCommand, &kUsersCommand,   &kQueueCommand,
};

const Command* FindCommand(std::string_view name) {
  for (const Command* command : kCommands) {
    if (command->name == name) return command;
  }
  return nullptr;
}

void PrintToolHelp() {
  std::printf(
      "Usage: lvtool COMMAND [ARGUMENTS]\n"
      "Builds, checks and reads Librovance tomes (.lv files).\n\nCommands:\n");
  for (const Command* command : kCommands) {
    std::printf("  %-14.*s %.*s\n", static_cast<int>(command->name.size()), command->name.data(),
                static_cast<int>(command->summary.size()), command->summary.data());
  }
  std::printf(
      "\nRun 'lvtool COMMAND --help' for the arguments of a command.\n"
      "Run 'lvtool --version' for the version of lvtool.\n\n"
      "Exit status:\n"
      "  0  success\n"
      "  1  usage error: unknown command or option, missing or bad argument\n"
      "  2  a file cannot be opened, read or written, or is not a file the command reads\n"
      "     (not a tome this version can read, not a regular file); the message names the file\n"
      "     and the system's reason\n"
      "  3  the import, sort, upgrade, export or queueing itself failed (a damaged entry, not enough\n"
      "     memory, a tome too large for a Palm database, a PalmDOC of unknown compression)\n"
      "  4  no subject matches (find, show, search)\n");
}

void PrintCommandHelp(const Command& command) {
  std::printf("Usage: lvtool %.*s %.*s\n%.*s\n\n%.*s", static_cast<int>(command.name.size()), command.name.data(),
              static_cast<int>(command.usage.size()), command.usage.data(), static_cast<int>(command.summary.size()),
              command.summary.data(), static_cast<int>(command.details.size()), command.details.data());
}

ExitStatus Main(int argc, char** argv) {
  if (argc < 2) {
    PrintToolHelp();
    return ExitStatus::kUsage;
  }
  const std::string_view name = argv[1];
  if (name == "--help" || name == "-h" || name == "help") {
    PrintToolHelp();
    return ExitStatus::kOk;
  }
  if (name == "--version") {
    std::printf("lvtool %s\n", kVersion);
    return ExitStatus::kOk;
  }
  const Command* command = FindCommand(name);
  if (!command) {
    std::fprintf(stderr, "lvtool: unknown command '%s'\nTry 'lvtool --help'.\n", argv[1]);
    return ExitStatus::kUsage;
  }
  Arguments args;
  if (!args.Parse(std::vector<std::string>(argv + 2, argv + argc), command->options)) {
    return UsageError(command->name, args.Error());
  }
  if (args.HelpRequested()) {
    PrintCommandHelp(*command);
    return ExitStatus::kOk;
  }
  // An interrupted output leaves no temporary file behind.
  RemoveTempFilesOnSignals();
  const ExitStatus status = command->run(args);
  if ((std::fflush(stdout) != 0 || std::ferror(stdout)) && status == ExitStatus::kOk) {
    return Fail(ExitStatus::kFile, std::string("cannot write the standard output: ") + std::strerror(errno));
  }
  return status;
}

}  // namespace
}  // namespace lv::cli

int main(int argc, char** argv) { return static_cast<int>(lv::cli::Main(argc, argv)); }
