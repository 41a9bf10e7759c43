// Commands that write out entries: show (one entry) and export-tagged (the whole tome).
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "cli/command.h"
#include "cli/tome_access.h"
#include "docview/plain_text.h"
#include "docview/renderer.h"
#include "tome/file_util.h"
#include "tome/tome_reader.h"

namespace lv::cli {
namespace {

// "OFFSET:LENGTH" with OFFSET and LENGTH of 0 or more.
bool ParseFindStretch(const std::string& text, int& offset, int& length) {
  const size_t colon = text.find(':');
  if (colon == std::string::npos) return false;
  return ParseInt(std::string_view(text).substr(0, colon), offset) &&
         ParseInt(std::string_view(text).substr(colon + 1), length) && offset >= 0 && length >= 0;
}

// The subject index named by the arguments, or a negative exit status (negated) after an error.
int ResolveSubject(const Arguments& args, TomeReader& reader, const std::string& path, int& index) {
  if (auto value = args.Value("--index")) {
    if (!ParseInt(*value, index) || index < 0) return UsageError("show", "--index needs a subject index of 0 or more");
    if (index >= reader.GetSubjectCount()) {
      return Fail(kExitNotFound, Quoted(path) + " has no subject index " + *value + " (it has " +
                                     std::to_string(reader.GetSubjectCount()) + " subjects)");
    }
    return kExitOk;
  }
  const std::string& subject = args.Positionals()[1];
  index = reader.FindSubject(0, Utf8ToCp1252(subject));
  if (index < 0) return Fail(kExitNotFound, "no subject in " + Quoted(path) + " is " + Quoted(subject));
  return kExitOk;
}

int PrintPlainEntry(TomeReader& reader, const std::string& path, int index, int findOffset, int findLength) {
  const std::string subject = Cp1252ToUtf8(reader.GetSubject(index));
  if (reader.LoadEntryText(index) != 1) {
    return Fail(kExitFile, "cannot read the entry of subject " + std::to_string(index) + " in " + Quoted(path));
  }
  const std::string text = RenderPlainText(reader.CurrentEntryText(), findOffset, findLength);
  std::printf("%s\n%s\n\n%s", subject.c_str(), std::string(std::min<size_t>(subject.size(), 72), '=').c_str(),
              Cp1252ToUtf8(text).c_str());
  return kExitOk;
}

constexpr OptionSpec kShowOptions[] = {{"--index", "", true}, {"--html", "", true}, {"--find", "", true}};

int RunShow(const Arguments& args) {
  const size_t wanted = args.Has("--index") ? 1 : 2;
  if (args.Positionals().size() != wanted) return UsageError("show", "expects TOME and either SUBJECT or --index N");
  const std::string path = args.Positionals()[0];
  int findOffset = -1;
  int findLength = 0;
  if (auto value = args.Value("--find"); value && !ParseFindStretch(*value, findOffset, findLength)) {
    return UsageError("show", "--find needs OFFSET:LENGTH, two numbers of 0 or more");
  }
  TomeReader reader;
  if (const int status = OpenTomeReadOnly(reader, path); status != kExitOk) return status;
  int index = -1;
  if (const int status = ResolveSubject(args, reader, path, index); status != kExitOk) return status;

  const auto html = args.Value("--html");
  if (!html) return PrintPlainEntry(reader, path, index, findOffset, findLength);
  errno = 0;
  if (!WriteEntryPage(reader, PageSettings{}, *html, index, findOffset, findLength)) {
    const int cause = errno;
    return Fail(kExitFile, "cannot write the page " + Quoted(*html) + (cause ? std::string(": ") + std::strerror(cause) : ""));
  }
  return kExitOk;
}

constexpr OptionSpec kExportOptions[] = {{"--output", "-o", true}};

int RunExportTagged(const Arguments& args) {
  if (args.Positionals().size() != 1) return UsageError("export-tagged", "expects one TOME");
  const std::string path = args.Positionals()[0];
  TomeReader reader;
  if (const int status = OpenTomeReadOnly(reader, path); status != kExitOk) return status;
  const auto output = args.Value("--output");
  if (!output) {
    if (!ExportTaggedText(reader, stdout)) return Fail(kExitFailed, "cannot export " + Quoted(path));
    return kExitOk;
  }
  AtomicFileWriter writer;
  if (!writer.Open(*output)) return Fail(kExitFile, writer.Error());
  errno = 0;
  if (!ExportTaggedText(reader, writer.Stream())) {
    const int cause = errno;
    return Fail(kExitFailed, "cannot export " + Quoted(path) + " to " + Quoted(*output) +
                                 (cause ? std::string(": ") + std::strerror(cause) : ""));
  }
  if (!writer.Commit()) return Fail(kExitFile, writer.Error());
  return kExitOk;
}

}  // namespace

const Command kShowCommand = {
    "show",
    "TOME (SUBJECT | --index N) [--html FILE] [--find OFFSET:LENGTH]",
    "Show one entry as readable text, or write its HTML page.",
    "SUBJECT is found as links find it (whole subject, letters without regard to case).\n\n"
    "  --index N             the entry of subject index N instead of SUBJECT\n"
    "  --html FILE           write the entry page (HTML, Windows-1252) to FILE instead\n"
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
    "                     the standard output\n",
    kExportOptions,
    RunExportTagged,
};

}  // namespace lv::cli
