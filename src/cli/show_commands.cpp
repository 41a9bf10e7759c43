// Commands that write out entries: show (one entry) and export-tagged (the whole tome).
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>

#include "cli/command.h"
#include "cli/tome_access.h"
#include "docview/plain_text.h"
#include "docview/renderer.h"
#include "tome/file_util.h"
#include "tome/tome_reader.h"

namespace lv::cli {
namespace {

// "OFFSET:LENGTH" with OFFSET and LENGTH of 0 or more.
bool ParseFindStretch(const std::string& text, FindMark& mark) {
  const size_t colon = text.find(':');
  int offset = 0;
  int length = 0;
  if (colon == std::string::npos || !ParseInt(std::string_view(text).substr(0, colon), offset) ||
      !ParseInt(std::string_view(text).substr(colon + 1), length) || offset < 0 || length < 0) {
    return false;
  }
  mark = FindMark{offset, length};
  return true;
}

// Sets index to the subject index named by the arguments; after an error (printed) its exit status.
ExitStatus ResolveSubject(const Arguments& args, TomeReader& reader, const std::string& path, int& index) {
  if (auto value = args.Value("--index")) {
    if (!ParseInt(*value, index) || index < 0) return UsageError("show", "--index needs a subject index of 0 or more");
    if (index >= reader.SubjectCount()) {
      return Fail(ExitStatus::kNotFound, Quoted(path) + " has no subject index " + *value + " (it has " +
                                             std::to_string(reader.SubjectCount()) + " subjects)");
    }
    return ExitStatus::kOk;
  }
  const std::string& subject = args.Positionals()[1];
  index = reader.FindSubject(SubjectMatch::kExact, Utf8ToCp1252(subject));
  if (index < 0) return Fail(ExitStatus::kNotFound, "no subject in " + Quoted(path) + " is " + Quoted(subject));
  return ExitStatus::kOk;
}

ExitStatus PrintPlainEntry(TomeReader& reader, const std::string& path, int index, std::optional<FindMark> find) {
  const std::string subject = Windows1252ToUtf8(reader.Subject(index));
  if (!reader.LoadEntryText(index)) {
    return Fail(ExitStatus::kFailed, "cannot read the entry of subject " + std::to_string(index) + " in " +
                                         Quoted(path) + ": it is damaged or too large for memory");
  }
  const std::string text = RenderPlainText(reader.CurrentEntryText(), find);
  std::printf("%s\n%s\n\n%s", subject.c_str(), std::string(std::min<size_t>(subject.size(), 72), '=').c_str(),
              Windows1252ToUtf8(text).c_str());
  return ExitStatus::kOk;
}

constexpr OptionSpec kShowOptions[] = {{"--index", "", true}, {"--html", "", true}, {"--find", "", true}};

// Writes the entry's page to pagePath, replacing it only once the page is complete.
ExitStatus WritePage(TomeReader& reader, const std::string& path, int index, std::optional<FindMark> find,
                     const std::string& pagePath) {
  std::string page;
  if (const Status rendered = RenderEntryPageOf(reader, index, PageSettings{}, find, page); !rendered.IsOk()) {
    return Fail(ExitStatus::kFailed, "cannot read the entry of subject " + std::to_string(index) + " in " +
                                         Quoted(path) + ": it is damaged or too large for memory");
  }
  AtomicFileWriter writer;
  Status written = writer.Open(pagePath);
  if (written.IsOk() && std::fwrite(page.data(), 1, page.size(), writer.Stream()) != page.size()) {
    written = Status::IoError("cannot write " + Quoted(pagePath) + ": " + std::strerror(errno));
  }
  if (written.IsOk()) written = writer.Commit();
  return written.IsOk() ? ExitStatus::kOk : Fail(written);
}

ExitStatus RunShow(const Arguments& args) {
  const size_t wanted = args.Has("--index") ? 1 : 2;
  if (args.Positionals().size() != wanted) return UsageError("show", "expects TOME and either SUBJECT or --index N");
  const std::string path = args.Positionals()[0];
  std::optional<FindMark> find;
  if (auto value = args.Value("--find")) {
    find.emplace();
    if (!ParseFindStretch(*value, *find)) {
      return UsageError("show", "--find needs OFFSET:LENGTH, two numbers of 0 or more");
    }
  }
  const auto html = args.Value("--html");
  if (html) {
    if (const ExitStatus status = CheckOutputIsNotInput(*html, path); status != ExitStatus::kOk) return status;
  }
  TomeReader reader;
  if (const ExitStatus status = OpenTomeReadOnly(reader, path); status != ExitStatus::kOk) return status;
  int index = -1;
  if (const ExitStatus status = ResolveSubject(args, reader, path, index); status != ExitStatus::kOk) return status;

  if (!html) return PrintPlainEntry(reader, path, index, find);
  return WritePage(reader, path, index, find, *html);
}

constexpr OptionSpec kExportOptions[] = {{"--output", "-o", true}};

// The failure of an export: an IO error names the output and the system's reason (exit status 2); an
// entry that cannot be loaded is damage in the tome (3).
ExitStatus ExportFailure(const Status& exported, const std::string& path, const std::string& outputName) {
  if (exported.Code() == StatusCode::kIoError) {
    return Fail(ExitStatus::kFile, "cannot write " + outputName + CauseOf(exported));
  }
  return Fail(ExitStatus::kFailed, "cannot export " + Quoted(path) + ": an entry is damaged or too large for memory");
}

ExitStatus RunExportTagged(const Arguments& args) {
  if (args.Positionals().size() != 1) return UsageError("export-tagged", "expects one TOME");
  const std::string path = args.Positionals()[0];
  const auto output = args.Value("--output");
  if (output) {
    if (const ExitStatus status = CheckOutputIsNotInput(*output, path); status != ExitStatus::kOk) return status;
  }
  TomeReader reader;
  if (const ExitStatus status = OpenTomeReadOnly(reader, path); status != ExitStatus::kOk) return status;
  if (!output) {
    const Status exported = ExportTaggedText(reader, stdout);
    return exported.IsOk() ? ExitStatus::kOk : ExportFailure(exported, path, "the standard output");
  }
  AtomicFileWriter writer;
  if (const Status created = writer.Open(*output); !created.IsOk()) return Fail(created);
  if (const Status exported = ExportTaggedText(reader, writer.Stream()); !exported.IsOk()) {
    return ExportFailure(exported, path, Quoted(*output));
  }
  if (const Status committed = writer.Commit(); !committed.IsOk()) return Fail(committed);
  return ExitStatus::kOk;
}

}  // namespace

const Command kShowCommand = {
    "show",
    "TOME (SUBJECT | --index N) [--html FILE] [--find OFFSET:LENGTH]",
    "Show one entry as readable text, or write its HTML page.",
    "SUBJECT is found as links find it (whole subject, letters without regard to case).\n\n"
    "  --index N             the entry of subject index N instead of SUBJECT\n"
    "  --html FILE           write the entry page (HTML, Windows-1252) to FILE instead; FILE is\n"
    "                        replaced only once the page is complete and must not be TOME\n"
    "  --find OFFSET:LENGTH  mark LENGTH bytes of the entry text from byte OFFSET (the page gets the\n"
    "                        anchor \"findloc\"; the text shows >>the stretch<<)\n",
    kShowOptions,
    RunShow,
};

const Command kExportTaggedCommand = {
    "export-tagged",
    "TOME [-o FILE]",
    "Write the whole tome as tab-separated tagged text.",
    "One line per subject: the subject, a TAB and the entry with every mark spelled as its tag\n"
    "(<b>, <a:target>text</a>, ...), ended by CR LF; 'lvtool import --tab' reads it back.\n\n"
    "  -o, --output FILE  write to FILE (replaced only once the export is complete) instead of\n"
    "                     the standard output; FILE must not be TOME\n",
    kExportOptions,
    RunExportTagged,
};

}  // namespace lv::cli
