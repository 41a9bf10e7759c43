// Commands that write tomes or sources: import, sort, upgrade.
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "cli/command.h"
#include "cli/terminal_progress.h"
#include "cli/tome_access.h"
#include "tome/format.h"
#include "tome/tome_builder.h"
#include "tome/tome_import.h"
#include "tome/tome_reader.h"

namespace lv::cli {
namespace {

bool SameFile(const std::string& a, const std::string& b) {
  struct stat sa, sb;
  return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
         sa.st_ino == sb.st_ino;
}

// kExitOk when path can be opened for reading, else an error naming the file and the cause.
int CheckReadable(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return Fail(kExitFile, CannotOpen(path, errno));
  std::fclose(file);
  return kExitOk;
}

int SortSource(const std::string& path) {
  errno = 0;
  if (SortTabFile(path)) return kExitOk;
  const int cause = errno;
  return Fail(kExitFailed, "cannot sort " + Quoted(path) + (cause ? std::string(": ") + std::strerror(cause) : ""));
}

constexpr OptionSpec kImportOptions[] = {
    {"--output", "-o", true}, {"--tab", "", false}, {"--tagged", "", false}, {"--sort", "", false}};

int RunImport(const Arguments& args) {
  if (args.Positionals().size() != 1) return UsageError("import", "expects one SOURCE");
  const std::string source = args.Positionals()[0];
  if (args.Has("--tab") && args.Has("--tagged")) return UsageError("import", "--tab and --tagged exclude each other");
  SourceFormat format = SourceFormatFromPath(source);
  if (args.Has("--tab")) format = SourceFormat::kTab;
  if (args.Has("--tagged")) format = SourceFormat::kTagged;
  if (args.Has("--sort") && format != SourceFormat::kTab) {
    return UsageError("import", "--sort works only on tab-separated sources");
  }
  const std::string tome = args.Value("--output").value_or(WithExtension(source, ".lv"));
  if (tome.empty()) return UsageError("import", "the output path is empty");

  if (const int status = CheckReadable(source); status != kExitOk) return status;
  if (SameFile(source, tome)) return Fail(kExitUsage, "the tome " + Quoted(tome) + " would replace its own source");
  if (args.Has("--sort")) {
    if (const int status = SortSource(source); status != kExitOk) return status;
  }

  ImportOutcome outcome;
  {
    TerminalProgress progress("Importing");
    outcome = ImportSource(source, tome, format, progress.Active() ? &progress : nullptr);
  }
  if (!outcome.ok) {
    return Fail(kExitFailed, outcome.error.empty() ? "cannot import " + Quoted(source) : outcome.error);
  }
  std::printf("%s\n", Cp1252ToUtf8(FormatImportResults(outcome)).c_str());
  return kExitOk;
}

int RunSort(const Arguments& args) {
  if (args.Positionals().size() != 1) return UsageError("sort", "expects one FILE");
  const std::string path = args.Positionals()[0];
  if (const int status = CheckReadable(path); status != kExitOk) return status;
  if (const int status = SortSource(path); status != kExitOk) return status;
  std::printf("Sorted %s; the unsorted file is %s\n", Quoted(path).c_str(), Quoted(path + ".bak").c_str());
  return kExitOk;
}

int RunUpgrade(const Arguments& args) {
  if (args.Positionals().size() != 1) return UsageError("upgrade", "expects one TOME");
  const std::string path = args.Positionals()[0];
  {
    TomeReader reader;
    if (const int status = OpenTomeReadOnly(reader, path); status != kExitOk) return status;
    if (reader.IsCurrentLayout()) {
      std::printf("%s is already in the current layout (version %d); nothing to do\n", Quoted(path).c_str(),
                  reader.GetVersion());
      return kExitOk;
    }
  }
  const UpgradeOutcome outcome = UpgradeVersion1Tome(path);
  if (!outcome.ok) {
    return Fail(kExitFailed, outcome.error.empty() ? "cannot upgrade " + Quoted(path) : outcome.error);
  }
  std::printf("Upgraded %s to version %d: %d subjects\n", Quoted(path).c_str(), kWrittenVersion, outcome.entryCount);
  return kExitOk;
}

}  // namespace

const Command kImportCommand = {
    "import",
    "SOURCE [-o TOME] [--tab|--tagged] [--sort]",
    "Build a tome from a tagged-text or tab-separated source.",
    "The format follows the extension: a source ending in \".tab\" (any case) is tab-separated, any\n"
    "other tagged text; --tab or --tagged overrides it.\n\n"
    "  -o, --output TOME  the tome to write (default: SOURCE with its extension replaced by \".lv\");\n"
    "                     it is replaced only once the new tome is complete\n"
    "  --tab              read SOURCE as tab-separated text (one entry per line)\n"
    "  --tagged           read SOURCE as tagged text (entries start with <new>)\n"
    "  --sort             sort a tab-separated SOURCE in place first, keeping it as SOURCE.bak\n\n"
    "Shows a progress bar when standard error is a terminal, then the import results.\n",
    kImportOptions,
    RunImport,
};

const Command kSortCommand = {
    "sort",
    "FILE.tab",
    "Sort the lines of a tab-separated source in place.",
    "Lines are sorted by the tome collation (ASCII letters folded to lower case, then byte order);\n"
    "empty lines are dropped. The unsorted file is kept as FILE.tab.bak.\n",
    {},
    RunSort,
};

const Command kUpgradeCommand = {
    "upgrade",
    "TOME",
    "Rewrite a version-1 tome in the current layout, in place.",
    "Every entry and bookmark is kept. The tome is replaced only once the new one is complete.\n",
    {},
    RunUpgrade,
};

}  // namespace lv::cli
