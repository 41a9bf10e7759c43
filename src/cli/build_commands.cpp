// Commands that write tomes or sources: import, sort, upgrade.
#include <cstdio>
#include <optional>
#include <string>

#include "cli/command.h"
#include "cli/terminal_progress.h"
#include "cli/tome_access.h"
#include "dictionaries/dictionary_import.h"
#include "tome/format.h"
#include "tome/tome_builder.h"
#include "tome/tome_import.h"
#include "tome/tome_reader.h"
#include "tome/tome_text.h"

namespace lv::cli {
namespace {

ExitStatus SortSource(const std::string& path, SourceEncoding encoding) {
  const Status sorted = SortTabFile(path, {}, encoding);
  if (sorted.IsOk()) return ExitStatus::kOk;
  if (sorted.Code() == StatusCode::kIoError) return Fail(sorted);
  return Fail(ExitStatus::kFailed, "cannot sort " + Quoted(path) + CauseOf(sorted));
}

constexpr OptionSpec kImportOptions[] = {{"--output", "-o", true},
                                         {"--tab", "", false},
                                         {"--tagged", "", false},
                                         {"--sort", "", false},
                                         {"--encoding", "", true}};
constexpr OptionSpec kSortOptions[] = {{"--encoding", "", true}};

// The --encoding choice; false (after a usage message) when it names no encoding.
bool ReadEncodingChoice(const Arguments& args, const char* command, SourceEncoding& encoding) {
  encoding = SourceEncoding::kAuto;
  const std::optional<std::string> value = args.Value("--encoding");
  if (!value) return true;
  if (const std::optional<SourceEncoding> parsed = ParseSourceEncoding(*value)) {
    encoding = *parsed;
    return true;
  }
  UsageError(command, "--encoding must be auto, utf-8 or windows-1252");
  return false;
}

// A dictd or StarDict dictionary: the files of the set are found beside source.
ExitStatus ImportDictionarySource(const std::string& source, const std::string& tome, DictionaryKind kind) {
  DictionaryImportOutcome outcome;
  {
    TerminalProgress progress("Importing");
    outcome = ImportDictionary(source, tome, kind, progress.Active() ? &progress : nullptr);
  }
  if (!outcome.import.status.IsOk()) {
    const Status& status = outcome.import.status;
    const bool fileError = status.Code() == StatusCode::kNotFound || status.Code() == StatusCode::kIoError;
    return Fail(fileError ? ExitStatus::kFile : ExitStatus::kFailed,
                status.Message().empty() ? "cannot import " + Quoted(source) : status.Message());
  }
  std::printf("%s\n", Windows1252ToUtf8(FormatDictionaryImportResults(outcome)).c_str());
  return ExitStatus::kOk;
}

ExitStatus RunImport(const Arguments& args) {
  if (args.Positionals().size() != 1) return UsageError("import", "expects one SOURCE");
  const std::string source = args.Positionals()[0];
  if (args.Has("--tab") && args.Has("--tagged")) return UsageError("import", "--tab and --tagged exclude each other");
  const DictionaryKind dictionary =
      args.Has("--tab") || args.Has("--tagged") ? DictionaryKind::kNone : DictionaryKindFromPath(source);
  SourceFormat format = SourceFormatFromPath(source);
  if (args.Has("--tab")) format = SourceFormat::kTab;
  if (args.Has("--tagged")) format = SourceFormat::kTagged;
  if (args.Has("--sort") && (format != SourceFormat::kTab || dictionary != DictionaryKind::kNone)) {
    return UsageError("import", "--sort works only on tab-separated sources");
  }
  SourceEncoding encoding = SourceEncoding::kAuto;
  if (!ReadEncodingChoice(args, "import", encoding)) return ExitStatus::kUsage;
  const std::string tome = args.Value("--output").value_or(WithExtension(source, ".lv"));
  if (tome.empty()) return UsageError("import", "the output path is empty");

  if (const ExitStatus status = CheckInputFile(source); status != ExitStatus::kOk) return status;
  if (const ExitStatus status = CheckOutputIsNotInput(tome, source); status != ExitStatus::kOk) return status;
  if (dictionary != DictionaryKind::kNone) return ImportDictionarySource(source, tome, dictionary);
  if (args.Has("--sort")) {
    if (const ExitStatus status = SortSource(source, encoding); status != ExitStatus::kOk) return status;
  }

  ImportOutcome outcome;
  {
    TerminalProgress progress("Importing");
    outcome = ImportSource(source, tome, format, progress.Active() ? &progress : nullptr, encoding);
  }
  if (!outcome.status.IsOk()) return Fail(outcome.status);
  std::printf("%s\n", TomeTextToUtf8(FormatImportResults(outcome), outcome.encoding).c_str());
  return ExitStatus::kOk;
}

ExitStatus RunSort(const Arguments& args) {
  if (args.Positionals().size() != 1) return UsageError("sort", "expects one FILE");
  const std::string path = args.Positionals()[0];
  SourceEncoding encoding = SourceEncoding::kAuto;
  if (!ReadEncodingChoice(args, "sort", encoding)) return ExitStatus::kUsage;
  if (const ExitStatus status = CheckInputFile(path); status != ExitStatus::kOk) return status;
  if (const ExitStatus status = SortSource(path, encoding); status != ExitStatus::kOk) return status;
  std::printf("Sorted %s; the unsorted file is %s\n", Quoted(path).c_str(), Quoted(path + ".bak").c_str());
  return ExitStatus::kOk;
}

ExitStatus RunUpgrade(const Arguments& args) {
  if (args.Positionals().size() != 1) return UsageError("upgrade", "expects one TOME");
  const std::string path = args.Positionals()[0];
  {
    TomeReader reader;
    if (const ExitStatus status = OpenTomeReadOnly(reader, path); status != ExitStatus::kOk) return status;
    if (reader.IsCurrentLayout()) {
      std::printf("%s is already in the current layout (version %d); nothing to do\n", Quoted(path).c_str(),
                  reader.Version());
      return ExitStatus::kOk;
    }
  }
  const UpgradeOutcome outcome = UpgradeVersion1Tome(path);
  if (!outcome.status.IsOk()) return Fail(outcome.status);
  std::printf("Upgraded %s to version %d: %d subjects\n", Quoted(path).c_str(), kWrittenVersion, outcome.entryCount);
  return ExitStatus::kOk;
}

}  // namespace

const Command kImportCommand = {
    "import",
    "SOURCE [-o TOME] [--tab|--tagged] [--sort] [--encoding auto|utf-8|windows-1252]",
    "Build a tome from a tagged-text, tab-separated or dictionary source.",
    "The format follows the extension: a source ending in \".tab\" (any case) is tab-separated, any\n"
    "other tagged text; --tab or --tagged overrides it. A dictd dictionary is imported from its\n"
    "NAME.index (with NAME.dict or NAME.dict.dz beside it), a StarDict dictionary from its NAME.ifo\n"
    "(with NAME.idx[.gz], NAME.dict[.dz] and, if present, NAME.syn).\n\n"
    "  -o, --output TOME  the tome to write (default: SOURCE with its extension replaced by \".lv\");\n"
    "                     it is replaced only once the new tome is complete\n"
    "  --tab              read SOURCE as tab-separated text (one entry per line)\n"
    "  --tagged           read SOURCE as tagged text (entries start with <new>)\n"
    "  --sort             sort a tab-separated SOURCE in place first, keeping it as SOURCE.bak\n"
    "  --encoding E       the text of a tagged or tab-separated SOURCE: auto (the default) reads it\n"
    "                     as UTF-8 when it is valid UTF-8 holding a non-ASCII character or starts\n"
    "                     with a byte-order mark, else as Windows-1252; utf-8 or windows-1252 say\n"
    "                     so (bytes that are not UTF-8 are then stored as U+FFFD). The tome keeps\n"
    "                     the text in that encoding.\n\n"
    "The tome must not be SOURCE itself (by any path or link).\n"
    "Shows a progress bar when standard error is a terminal, then the import results.\n",
    kImportOptions,
    RunImport,
};

const Command kSortCommand = {
    "sort",
    "FILE.tab [--encoding auto|utf-8|windows-1252]",
    "Sort the lines of a tab-separated source in place.",
    "Lines are sorted by the collation of the tome the file builds: in Windows-1252 text ASCII\n"
    "letters folded to lower case, then byte order; in UTF-8 text (chosen as import chooses it,\n"
    "see 'lvtool import --help') Unicode case folding, then code point order;\n"
    "empty lines are dropped, lines that compare equal keep their order, and the file keeps its\n"
    "own line ends (also after the last line when it had one). The unsorted file is kept as\n"
    "FILE.tab.bak (an older one is replaced). A FILE.tab that is a symbolic link sorts the file it\n"
    "points to and stays a link.\n",
    kSortOptions,
    RunSort,
};

const Command kUpgradeCommand = {
    "upgrade",
    "TOME",
    "Rewrite a version-1 tome in the current layout, in place.",
    "Every entry and bookmark is kept. The tome is replaced only once the new one is complete; a\n"
    "TOME that is a symbolic link upgrades the file it points to and stays a link.\n",
    {},
    RunUpgrade,
};

}  // namespace lv::cli
