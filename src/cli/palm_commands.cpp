#include "cli/palm_commands.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <string>

#include "cli/terminal_progress.h"
#include "cli/tome_access.h"
#include "palm/palm_applications.h"
#include "palm/palm_tome_writer.h"
#include "palm/palmdoc_reader.h"
#include "palm/pdb_container.h"
#include "tome/coding.h"
#include "tome/file_util.h"

namespace lv::cli {
namespace {

// Palm messages (allocation failures, "Compression Failed.") go to standard error.
class StderrMessages : public MessageSink {
 public:
  void ShowMessage(std::string_view text, MessageIcon) override {
    std::fprintf(stderr, "lvtool: %.*s\n", static_cast<int>(text.size()), text.data());
  }
};

std::string BaseName(const std::string& path) { return std::filesystem::path(path).filename().string(); }

constexpr OptionSpec kPdbOptions[] = {
    {"--output", "-o", true}, {"--name", "", true}, {"--format", "", true}, {"--accel", "", true}};

ExitStatus RunPdb(const Arguments& args) {
  if (args.Positionals().size() != 1) return UsageError("pdb", "expects one TOME");
  const std::string tome = args.Positionals()[0];
  const std::string format = args.Value("--format").value_or("2.8");
  if (format != "2.5" && format != "2.8") return UsageError("pdb", "--format is 2.5 or 2.8, not '" + format + "'");
  if (format == "2.5" && args.Has("--accel")) return UsageError("pdb", "--accel applies to the 2.8 format only");
  const std::string accel = args.Value("--accel").value_or("default");
  const int bitmapBits = AccelerationBitmapBits(accel);
  if (bitmapBits < 0) return UsageError("pdb", "--accel is none, low, default, medium or high, not '" + accel + "'");
  const std::string output = args.Value("--output").value_or(WithExtension(tome, ".pdb"));
  const std::string name = Utf8ToCp1252(args.Value("--name").value_or(WithExtension(BaseName(tome), "")));
  if (output.empty()) return UsageError("pdb", "the output path is empty");
  if (name.empty()) return UsageError("pdb", "the Palm tome name is empty");

  if (const ExitStatus status = CheckInputFile(tome); status != ExitStatus::kOk) return status;
  if (const ExitStatus status = CheckOutputIsNotInput(output, tome); status != ExitStatus::kOk) return status;

  StderrMessages messages;
  PalmTomeWriter writer;
  writer.SetMessageSink(&messages);
  if (const SourceOpenOutcome opened = writer.OpenSource(tome); !opened.status.IsOk()) {
    if (opened.error == SourceError::kNoMemory)
      return Fail(ExitStatus::kFailed, "cannot read " + Quoted(tome) + ": out of memory");
    if (opened.error == SourceError::kMissing) return Fail(ExitStatus::kFile, opened.status.Message());
    return Fail(ExitStatus::kFile, "cannot read " + Quoted(tome) + ": " + opened.status.Message());
  }
  ExportOutcome exported;
  {
    TerminalProgress progress("Exporting");
    Progress* bar = progress.Active() ? &progress : nullptr;
    exported =
        format == "2.5" ? writer.WriteFormat25(output, name, bar) : writer.WriteFormat28(output, name, bar, bitmapBits);
  }
  if (!exported.status.IsOk()) {
    // Failures to create or write the output name it and the system's reason.
    if (exported.status.Code() == StatusCode::kIoError) return Fail(exported.status);
    return Fail(ExitStatus::kFailed,
                "cannot export " + Quoted(tome) + " to " + Quoted(output) + ": " + exported.status.Message());
  }
  std::printf("Wrote %s: Palm tome \"%s\" in the %s format\n", Quoted(output).c_str(),
              Windows1252ToUtf8(FitDatabaseName(name)).c_str(), format.c_str());
  return ExitStatus::kOk;
}

std::string PalmDateText(uint32_t date) {
  if (date == 0) return "never";
  const std::time_t unixTime = static_cast<std::time_t>(UnixTimeOfPalmDate(date));
  std::tm tm{};
  char text[40];
  if (!gmtime_r(&unixTime, &tm) || !std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S UTC", &tm)) return "?";
  return text;
}

void PrintPalmTomeHeader(const std::vector<uint8_t>& h) {
  if (h.size() < kPalmHeaderRecordSize) {
    std::printf("Header record:     too short (%zu bytes)\n", h.size());
    return;
  }
  const unsigned version = DecodeBE16(&h[0]);
  std::printf("Palm tome format:  %s (header record version %u)\n",
              version == 7 ? "2.5" : (version == 8 ? "2.8" : "unknown"), version);
  std::printf("Subjects:          %u\n", DecodeBE32(&h[4]));
  std::printf("Block size:        %u\n", DecodeBE16(&h[8]));
  std::printf("Record ceiling:    %u\n", DecodeBE16(&h[10]));
  const unsigned compression = DecodeBE16(&h[12]);
  std::printf("Compression:       %u (%s)\n", compression,
              compression == 2 ? "PalmDOC" : (compression == 3 ? "zlib" : "unknown"));
  std::printf("Search records:    %s\n", DecodeBE16(&h[14]) ? "yes" : "no");
  std::printf("Sorted:            %s\n", DecodeBE16(&h[16]) ? "yes" : "no");
}

// The 2.8 format's subject cache directory and search header.
void PrintPalmTomeExtras(std::FILE* file, const PdbContainer& c, const std::vector<uint8_t>& h) {
  std::vector<uint8_t> record;
  if (h.size() < kPalmHeaderRecordSize || DecodeBE16(&h[0]) != 8 || c.RecordCount() < 2 ||
      !ReadPdbRecord(file, c, 1, record) || record.size() < 4) {
    return;
  }
  const unsigned groups = DecodeBE16(&record[2]);
  std::printf("Subject cache:     %u groups of %u\n", groups, DecodeBE16(&record[0]));
  if (!DecodeBE16(&h[14]) || c.RecordCount() < 3u + groups || !ReadPdbRecord(file, c, 2 + groups, record) ||
      record.size() < 6) {
    return;
  }
  std::printf("Search bitmaps:    %u bits, %u word records\n", DecodeBE16(&record[2]), DecodeBE16(&record[4]));
}

void PrintPalmDocHeader(const std::vector<uint8_t>& h) {
  if (h.size() < 16) return;
  std::printf("Compression:       %u\n", DecodeBE16(&h[0]));
  std::printf("Text length:       %u\n", DecodeBE32(&h[4]));
  std::printf("Text records:      %u\n", DecodeBE16(&h[8]));
  std::printf("Text record size:  %u\n", DecodeBE16(&h[10]));
}

ExitStatus RunPdbInfo(const Arguments& args) {
  if (args.Positionals().size() != 1) return UsageError("pdbinfo", "expects one FILE.pdb");
  const std::string path = args.Positionals()[0];
  File stream;
  if (const Status opened = OpenForReading(path, stream); !opened.IsOk()) return Fail(opened);
  std::FILE* file = stream.get();
  PdbContainer c;
  if (const Status read = ReadPdbContainer(file, c); !read.IsOk()) {
    return Fail(ExitStatus::kFile, Quoted(path) + " is not a readable Palm database: " + read.Message());
  }
  const PdbHeader& h = c.header;
  std::printf("Name:              %s\n", Windows1252ToUtf8(h.name).c_str());
  std::printf("Attributes:        0x%04X\n", h.attributes);
  std::printf("Version:           %u\n", h.version);
  std::printf("Created:           %s\n", PalmDateText(h.creationDate).c_str());
  std::printf("Modified:          %s\n", PalmDateText(h.modificationDate).c_str());
  std::printf("Last backup:       %s\n", PalmDateText(h.lastBackupDate).c_str());
  std::printf("Modification no.:  %u\n", h.modificationNumber);
  std::printf("App info offset:   %u\n", h.appInfoOffset);
  std::printf("Sort info offset:  %u\n", h.sortInfoOffset);
  std::printf("Type:              %s\n", Windows1252ToUtf8(h.type).c_str());
  std::printf("Creator:           %s\n", Windows1252ToUtf8(h.creator).c_str());
  std::string application = PalmApplicationName(h.type, h.creator);
  if (h.type == kPalmTomeType && h.creator == kPalmTomeCreator) application = "Palm tome";
  if (h.type == kPalmDocType && h.creator == kPalmDocCreator) application = "PalmDOC";
  std::printf("Application:       %s\n", application.c_str());
  std::printf("Records:           %zu\n", c.RecordCount());
  std::vector<uint8_t> record0;
  if (c.RecordCount() > 0 && ReadPdbRecord(file, c, 0, record0)) {
    if (application == "Palm tome") {
      PrintPalmTomeHeader(record0);
      PrintPalmTomeExtras(file, c, record0);
    }
    if (application == "PalmDOC") PrintPalmDocHeader(record0);
  }
  std::printf("\n%8s %10s %8s\n", "record", "offset", "size");
  for (size_t i = 0; i < c.RecordCount(); ++i) {
    std::printf("%8zu %10u %8u\n", i, c.recordOffsets[i], c.RecordSize(i));
  }
  return ExitStatus::kOk;
}

constexpr OptionSpec kPalmDocOptions[] = {{"--find", "", true}};

// Prints every match of text as "position: line of text around it".
ExitStatus PrintMatches(PalmDocReader& reader, const std::string& text) {
  int found = reader.Find(text, false, false);
  if (found < 0) return ExitStatus::kNotFound;
  const int first = found;
  do {
    const std::string& all = reader.Text();
    const size_t lineStart = all.rfind('\n', found) == std::string::npos ? 0 : all.rfind('\n', found) + 1;
    const size_t lineEnd = std::min(all.find('\n', found), all.size());
    std::printf("%d: %s\n", found, Windows1252ToUtf8(all.substr(lineStart, lineEnd - lineStart)).c_str());
    found = reader.Find("", true, false);
  } while (found > first);
  return ExitStatus::kOk;
}

ExitStatus RunPalmDoc(const Arguments& args) {
  if (args.Positionals().size() != 1) return UsageError("palmdoc", "expects one FILE.pdb");
  const std::string path = args.Positionals()[0];
  StderrMessages messages;
  PalmDocReader reader(&messages);
  if (const Status opened = reader.Open(path); !opened.IsOk()) {
    if (reader.LastType() == kPalmTomeType && reader.LastCreator() == kPalmTomeCreator) {
      return Fail(ExitStatus::kFile, Quoted(path) + " is a Palm tome, not a PalmDOC database");
    }
    if (opened.IsNotSupported()) return Fail(ExitStatus::kFailed, opened.Message());
    return Fail(ExitStatus::kFile, opened.Message());
  }
  if (args.Has("--find")) {
    const std::string text = Utf8ToCp1252(*args.Value("--find"));
    if (text.empty()) return UsageError("palmdoc", "--find needs a text");
    return PrintMatches(reader, text);
  }
  const std::string text = Windows1252ToUtf8(reader.Text());
  std::fwrite(text.data(), 1, text.size(), stdout);
  if (!text.empty() && text.back() != '\n') std::putchar('\n');
  return ExitStatus::kOk;
}

}  // namespace

const Command kPdbCommand = {
    "pdb",
    "TOME [-o OUT.pdb] [--name NAME] [--format 2.5|2.8] [--accel none|low|default|medium|high]",
    "Export a tome as a Palm tome database.",
    "  -o, --output OUT.pdb  the database to write (default: TOME with \".pdb\" for its extension)\n"
    "  --name NAME           the Palm tome name (default: the tome's file name without extension;\n"
    "                        longer than 31 bytes it is shortened)\n"
    "  --format 2.5|2.8      2.5: PalmDOC compression; 2.8 (default): zlib with the subject cache\n"
    "  --accel LEVEL         search acceleration of the 2.8 format: none, low, default (default),\n"
    "                        medium or high\n"
    "The database replaces OUT.pdb only once it is complete; OUT.pdb must not be TOME. A tome too\n"
    "large for the 512 data records of a Palm tome is refused.\n",
    kPdbOptions,
    RunPdb,
};

const Command kPdbInfoCommand = {
    "pdbinfo",
    "FILE.pdb",
    "Describe a Palm database: header, application, records.",
    "Prints the container header, the type and creator with the application they belong to, and\n"
    "every record's offset and size; for a Palm tome also its header record, for a PalmDOC its\n"
    "document header.\n",
    {},
    RunPdbInfo,
};

const Command kPalmDocCommand = {
    "palmdoc",
    "FILE.pdb [--find TEXT]",
    "Print the text of a PalmDOC database, or find text in it.",
    "  --find TEXT  print the position and line of every match (case-sensitive) instead of the\n"
    "               text; exit status 4 when there is none\n"
    "The whole text is printed, NUL bytes included. A PalmDOC whose compression is neither none (1)\n"
    "nor PalmDOC compression (2) is refused with exit status 3.\n",
    kPalmDocOptions,
    RunPalmDoc,
};

}  // namespace lv::cli
