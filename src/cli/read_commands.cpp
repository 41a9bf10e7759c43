// Commands that read a tome: info, list, find.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>

#include "cli/command.h"
#include "cli/tome_access.h"
#include "tome/file_util.h"
#include "tome/format.h"
#include "tome/tome_header.h"
#include "tome/tome_reader.h"
#include "tome/tome_text.h"

namespace lv::cli {
namespace {

struct SectionSummary {
  bool readable = false;
  SectionHeader header;
};

bool ReadAt(std::FILE* file, int64_t offset, uint8_t* data, size_t size) {
  return std::fseek(file, static_cast<long>(offset), SEEK_SET) == 0 && std::fread(data, 1, size, file) == size;
}

// The header of the text section at offset; sets next to the first byte after the section.
SectionSummary ReadSectionSummary(std::FILE* file, int64_t offset, int64_t& next) {
  SectionSummary section;
  uint8_t bytes[kSectionHeaderSize];
  if (offset < 0 || !ReadAt(file, offset, bytes, sizeof bytes)) return section;
  section.header = ParseSectionHeader(bytes);
  section.readable = true;
  next = offset + 4 + int64_t{static_cast<uint32_t>(section.header.sectionLength)};
  return section;
}

void PrintSection(const char* name, const SectionSummary& section) {
  if (!section.readable) {
    std::printf("%-19s unreadable\n", name);
    return;
  }
  const int64_t length = int64_t{static_cast<uint32_t>(section.header.sectionLength)};  // as the file has it
  std::printf("%-19s %lld bytes, %d blocks of %d bytes\n", name, static_cast<long long>(length + 4),
              section.header.blockCount, section.header.blockSize);
}

// Sizes of the two text sections of a current-layout tome, read from its header.
void PrintSections(const std::string& path, int subjectCount) {
  const File stream = OpenFile(path, "rb");
  if (!stream) return;
  std::FILE* file = stream.get();
  uint8_t bytes[kHeaderSize];
  if (ReadAt(file, 0, bytes, sizeof bytes)) {
    const TomeHeader header(bytes, sizeof bytes);
    const int64_t subjectTable = kHeaderSize + int64_t{static_cast<uint32_t>(header.ChunkAreaLength())};
    const int64_t mainStart = subjectTable + 4 * int64_t{subjectCount};
    std::printf("%-19s %lld bytes at offset %lld\n", "Subject table:", static_cast<long long>(mainStart - subjectTable),
                static_cast<long long>(subjectTable));
    int64_t extensionStart = -1;
    PrintSection("Main section:", ReadSectionSummary(file, mainStart, extensionStart));
    int64_t end = -1;
    PrintSection("Extension section:", ReadSectionSummary(file, extensionStart, end));
  }
}

void PrintBookmarks(const TomeReader& reader) {
  int used = 0;
  for (int i = 1; i < kBookmarkRecordCount; ++i) used += reader.Bookmark(i).IsFree() ? 0 : 1;
  std::printf("%-19s %d of %d used\n", "Bookmarks:", used, kBookmarkRecordCount - 1);
  for (int i = 1; i < kBookmarkRecordCount; ++i) {
    const BookmarkRecord record = reader.Bookmark(i);
    if (record.IsFree()) continue;
    std::printf("  %2d  subject %d  %s\n", i, record.subjectNumber,
                TomeTextToUtf8(record.name, reader.Encoding()).c_str());
  }
}

ExitStatus RunInfo(const Arguments& args) {
  if (args.Positionals().size() != 1) return UsageError("info", "expects one TOME");
  const std::string path = args.Positionals()[0];
  TomeReader reader;
  if (const ExitStatus status = OpenTomeReadOnly(reader, path); status != ExitStatus::kOk) return status;
  std::error_code sizeError;
  const std::uintmax_t fileSize = std::filesystem::file_size(path, sizeError);
  std::printf("%-19s %s\n", "Tome:", Windows1252ToUtf8(path).c_str());
  if (reader.IsCurrentLayout()) {
    std::printf("%-19s current (version %d)\n", "Layout:", reader.Version());
    std::printf("%-19s %s\n", "Sorted:", reader.SortedFlag() == 1 ? "yes" : "no");
  } else {
    std::printf("%-19s version 1 (version word %d; read only, see 'lvtool upgrade')\n", "Layout:", reader.Version());
  }
  std::printf("%-19s %s\n", "Encoding:", std::string(EncodingName(reader.Encoding())).c_str());
  std::printf("%-19s %d\n", "Subjects:", reader.SubjectCount());
  std::printf("%-19s %lld bytes\n", "File size:", static_cast<long long>(sizeError ? 0 : fileSize));
  if (reader.IsCurrentLayout()) PrintSections(path, reader.SubjectCount());
  PrintBookmarks(reader);
  return ExitStatus::kOk;
}

constexpr OptionSpec kListOptions[] = {{"--from", "", true}, {"--count", "", true}};

ExitStatus RunList(const Arguments& args) {
  if (args.Positionals().size() != 1) return UsageError("list", "expects one TOME");
  int from = 0;
  int count = -1;
  if (auto value = args.Value("--from"); value && (!ParseInt(*value, from) || from < 0)) {
    return UsageError("list", "--from needs a subject index of 0 or more");
  }
  if (auto value = args.Value("--count"); value && (!ParseInt(*value, count) || count < 0)) {
    return UsageError("list", "--count needs a number of 0 or more");
  }
  TomeReader reader;
  if (const ExitStatus status = OpenTomeReadOnly(reader, args.Positionals()[0]); status != ExitStatus::kOk) {
    return status;
  }
  const int total = reader.SubjectCount();
  const int end = count < 0 ? total : static_cast<int>(std::min<int64_t>(total, int64_t{from} + count));
  for (int i = from; i < end; ++i) {
    const std::string subject = TomeTextToUtf8(reader.Subject(i), reader.Encoding());
    const std::string preview = TomeTextToUtf8(reader.Preview(i, true), reader.Encoding());
    std::printf("%d\t%s\t%s\n", i, subject.c_str(), preview.c_str());
  }
  return ExitStatus::kOk;
}

constexpr OptionSpec kFindOptions[] = {{"--prefix", "", false}};

ExitStatus RunFind(const Arguments& args) {
  if (args.Positionals().size() != 2) return UsageError("find", "expects TOME and TEXT");
  const std::string& path = args.Positionals()[0];
  TomeReader reader;
  if (const ExitStatus status = OpenTomeReadOnly(reader, path); status != ExitStatus::kOk) return status;
  // Text the tome's encoding cannot hold is in none of its subjects.
  const std::optional<std::string> text = Utf8ToTomeText(args.Positionals()[1], reader.Encoding());
  const int index =
      text ? reader.FindSubject(args.Has("--prefix") ? SubjectMatch::kPrefix : SubjectMatch::kExact, *text) : -1;
  if (index < 0) {
    return Fail(ExitStatus::kNotFound, "no subject in " + Quoted(path) +
                                           (args.Has("--prefix") ? " begins with " : " is ") +
                                           Quoted(args.Positionals()[1]));
  }
  std::printf("%d\t%s\n", index, TomeTextToUtf8(reader.Subject(index), reader.Encoding()).c_str());
  return ExitStatus::kOk;
}

}  // namespace

const Command kInfoCommand = {
    "info",
    "TOME",
    "Show the layout, version, sorted flag, text encoding, subject count, sizes and bookmarks of a tome.",
    "",
    {},
    RunInfo,
};

const Command kListCommand = {
    "list",
    "TOME [--from N] [--count M]",
    "List subjects with a one-line preview of their entries.",
    "Prints one line per subject: its index, a TAB, the subject, a TAB and the preview.\n\n"
    "  --from N   start at subject index N (default 0)\n"
    "  --count M  list at most M subjects (default: all)\n",
    kListOptions,
    RunList,
};

const Command kFindCommand = {
    "find",
    "TOME TEXT [--prefix]",
    "Find the subject equal to TEXT (or beginning with it).",
    "Prints the index and the subject found, as links (and with --prefix quick find) find them:\n"
    "letters compared without regard to case; in a sorted tome the search may also end on the\n"
    "first subject that begins with TEXT. Exit status 4 when none matches.\n\n"
    "  --prefix  find a subject that begins with TEXT\n",
    kFindOptions,
    RunFind,
};

}  // namespace lv::cli
