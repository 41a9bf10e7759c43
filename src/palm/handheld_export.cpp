#include "palm/handheld_export.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <vector>

#include "tome/file_util.h"
#include "tome/tome_import.h"

namespace lv {
namespace {

Status WriteAll(std::FILE* out, std::string_view bytes) {
  if (std::fwrite(bytes.data(), 1, bytes.size(), out) != bytes.size()) return Status::IoError(std::strerror(errno));
  return Status::Ok();
}

// Copies every line of in to out without its line end ("\n" or "\r\n"), each followed by a
// carriage return. A last line without a line end is a line too.
Status CopyLinesEndedByCarriageReturns(std::FILE* in, std::FILE* out) {
  std::string line;
  std::vector<char> buffer(size_t{1} << 16);
  size_t got;
  auto flushLine = [&]() -> Status {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    line.push_back('\r');
    Status written = WriteAll(out, line);
    line.clear();
    return written;
  };
  while ((got = std::fread(buffer.data(), 1, buffer.size(), in)) > 0) {
    size_t start = 0;
    for (size_t i = 0; i < got; ++i) {
      if (buffer[i] != '\n') continue;
      line.append(buffer.data() + start, i - start);
      if (Status written = flushLine(); !written.IsOk()) return written;
      start = i + 1;
    }
    line.append(buffer.data() + start, got - start);
  }
  if (std::ferror(in)) return Status::IoError(std::strerror(errno));
  if (!line.empty()) return flushLine();
  return Status::Ok();
}

ExportOutcome WriteTome(const HandheldExportRequest& request, const std::string& tomePath, Progress* progress,
                        MessageSink* messages) {
  PalmTomeWriter writer;
  writer.SetMessageSink(messages);
  const SourceOpenOutcome opened = writer.OpenSource(tomePath);
  if (!opened.status.IsOk()) {
    ExportOutcome failed;
    failed.status = opened.status;
    failed.result = ExportResult::kSourceUnreadable;
    return failed;
  }
  return request.format == PalmTomeFormat::kV25
             ? writer.WriteFormat25(request.outputPath, request.palmName, progress)
             : writer.WriteFormat28(request.outputPath, request.palmName, progress, request.bitmapBits);
}

}  // namespace

Status WriteTextAsTaggedSource(const std::string& textPath, const std::string& name,
                               const std::string& sourceTextPath) {
  const File in = OpenFile(textPath, "rb");
  if (!in) return Status::IoError("cannot open " + textPath + ": " + std::strerror(errno));
  File out = OpenFile(sourceTextPath, "wb");
  if (!out) return Status::IoError("cannot create " + sourceTextPath + ": " + std::strerror(errno));
  Status status = WriteAll(out.get(), "<new>\n" + name + "\n");
  if (status.IsOk()) status = CopyLinesEndedByCarriageReturns(in.get(), out.get());
  if (std::fclose(out.release()) != 0 && status.IsOk()) status = Status::IoError(std::strerror(errno));
  if (!status.IsOk()) return Status::IoError("cannot write " + sourceTextPath + ": " + status.Message());
  return Status::Ok();
}

HandheldExportOutcome ExportForHandheld(const HandheldExportRequest& request, Progress* progress,
                                        MessageSink* messages) {
  HandheldExportOutcome outcome;
  std::string tomePath = request.sourcePath;
  if (request.sourceIsText) {
    const std::filesystem::path folder(request.workFolder);
    const std::string sourceText = (folder / kTextExportSourceName).string();
    tomePath = (folder / kTextExportTomeName).string();
    Status converted = WriteTextAsTaggedSource(request.sourcePath, request.palmName, sourceText);
    if (converted.IsOk()) converted = ImportSource(sourceText, tomePath, SourceFormat::kTagged, progress).status;
    if (!converted.IsOk()) {
      outcome.status = converted;
      outcome.conversionFailed = true;
      return outcome;
    }
  }
  const ExportOutcome written = WriteTome(request, tomePath, progress, messages);
  outcome.status = written.status;
  outcome.result = written.result;
  return outcome;
}

}  // namespace lv
