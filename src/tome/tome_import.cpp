// Importing a source text into a tome: the whole-file operation behind the Import command and
// `lvtool import`. The tome is written beside its destination and renamed into place only when it is
// complete, so a failed import never destroys an existing tome.
#include "tome/tome_import.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "tome/file_util.h"
#include "tome/tome_builder.h"
#include "tome/unicode.h"

namespace lv {
namespace {

// Failures of an import are IO errors unless the builder says otherwise (a source too large).
ImportOutcome Failure(std::string error, StatusCode code = StatusCode::kIoError) {
  ImportOutcome outcome;
  switch (code) {
    case StatusCode::kNotSupported: outcome.status = Status::NotSupported(std::move(error)); break;
    case StatusCode::kOutOfMemory: outcome.status = Status::OutOfMemory(std::move(error)); break;
    case StatusCode::kInvalidArgument: outcome.status = Status::InvalidArgument(std::move(error)); break;
    case StatusCode::kCancelled: outcome.status = Status::Cancelled(std::move(error)); break;
    default: outcome.status = Status::IoError(std::move(error)); break;
  }
  return outcome;
}

// Copies source (from its start) into an anonymous temporary file with every byte that is not
// well-formed UTF-8 replaced by U+FFFD; the copy is left at its start.
File CleanUtf8Copy(std::FILE* source, int64_t& replaced, Status& status) {
  File copy = OpenAnonymousTempFile();
  if (!copy) {
    status = Status::IoError("cannot create a temporary file in '" + TemporaryFolder() + "'");
    return copy;
  }
  std::string carry;  // a sequence cut at the end of the last piece
  std::string piece(size_t(1) << 20, '\0');
  bool ok = std::fseek(source, 0, SEEK_SET) == 0;
  while (ok) {
    const size_t got = std::fread(piece.data(), 1, piece.size(), source);
    if (got == 0) break;
    carry.append(piece.data(), got);
    const size_t whole = std::feof(source) ? carry.size() : WholeUtf8Length(carry);
    const std::string clean = ReplaceInvalidUtf8(std::string_view(carry).substr(0, whole), replaced);
    ok = std::fwrite(clean.data(), 1, clean.size(), copy.get()) == clean.size();
    carry.erase(0, whole);
  }
  if (!carry.empty() && ok) {
    const std::string clean = ReplaceInvalidUtf8(carry, replaced);
    ok = std::fwrite(clean.data(), 1, clean.size(), copy.get()) == clean.size();
  }
  if (!ok || std::ferror(source) || std::fflush(copy.get()) != 0 || std::fseek(copy.get(), 0, SEEK_SET) != 0) {
    status = Status::IoError("cannot make a UTF-8 copy of the source in '" + TemporaryFolder() + "'");
    return File();
  }
  return copy;
}

}  // namespace

SourceFormat SourceFormatFromPath(const std::string& path) {
  // The name's ending decides, so a file called just ".tab" is tab-separated too (std::filesystem
  // would give such a name no extension).
  std::string name = std::filesystem::path(path).filename().string();
  if (name.size() < 4) return SourceFormat::kTagged;
  std::string ending = name.substr(name.size() - 4);
  for (char& c : ending) c = (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
  return ending == ".tab" ? SourceFormat::kTab : SourceFormat::kTagged;
}

ImportOutcome ImportSource(const std::string& sourcePath, const std::string& tomePath, SourceFormat format,
                           Progress* progress, SourceEncoding encodingChoice) {
  File source;
  if (Status opened = OpenForReading(sourcePath, source); !opened.IsOk()) return Failure(opened.Message());
  if (IsSameFile(sourcePath, tomePath)) {
    return Failure("the tome '" + tomePath + "' is the source '" + sourcePath +
                       "' itself; writing it would destroy "
                       "the source",
                   StatusCode::kInvalidArgument);
  }

  SourceScan scan;
  if (encodingChoice != SourceEncoding::kWindows1252 && !ScanStream(source.get(), scan).IsOk()) {
    return Failure("cannot read '" + sourcePath + "': " + std::strerror(errno));
  }
  const TextEncoding encoding = encodingChoice == SourceEncoding::kAuto   ? scan.Detected()
                                : encodingChoice == SourceEncoding::kUtf8 ? TextEncoding::kUtf8
                                                                          : TextEncoding::kWindows1252;
  int64_t replacedBytes = 0;
  if (encoding == TextEncoding::kUtf8 && !scan.validUtf8) {
    Status cleaned;
    source = CleanUtf8Copy(source.get(), replacedBytes, cleaned);
    if (!source) return Failure("cannot import '" + sourcePath + "': " + cleaned.Message());
  }
  // The byte-order mark says how the source is written; it is no part of the first entry.
  if (encoding == TextEncoding::kUtf8 && scan.byteOrderMark && std::fseek(source.get(), 3, SEEK_SET) != 0) {
    return Failure("cannot read '" + sourcePath + "': " + std::strerror(errno));
  }

  TomeBuilder builder;
  builder.SetEncoding(encoding);
  const Status& built = builder.BuildStatus();
  if (!built.IsOk()) return Failure("cannot import '" + sourcePath + "': " + built.Message(), built.Code());
  AtomicFileWriter writer;
  if (Status opened = writer.Open(tomePath); !opened.IsOk()) return Failure(opened.Message());

  const long long size = StreamSize(source.get());
  if (progress) {
    builder.SetCancelCheck([progress] { return progress->CancelRequested(); });
    progress->SetRange(0, size < 0 ? 1 : size + 1);
    progress->SetPosition(0);
    progress->SetStep(1);
  }
  if (format == SourceFormat::kTab) {
    builder.ImportTabText(source.get(), progress, false);
  } else {
    builder.ImportTaggedText(source.get(), progress);
  }
  if (!built.IsOk()) return Failure("cannot import '" + sourcePath + "': " + built.Message(), built.Code());

  if (progress) progress->WritingStarted();
  const Status saved = builder.SaveTome(writer.Stream());
  if (!saved.IsOk()) return Failure("cannot write tome '" + tomePath + "': " + saved.Message(), saved.Code());
  if (Status committed = writer.Commit(); !committed.IsOk()) return Failure(committed.Message());

  ImportOutcome outcome;
  outcome.entryCount = builder.EntryCount();
  outcome.sortedFlag = builder.SortedFlag();
  if (outcome.sortedFlag == 0) outcome.firstOutOfOrder = builder.PreviousSubject();
  outcome.longSubjectFlag = builder.LongSubjectFlag();
  outcome.cutSubjectCount = builder.CutSubjectCount();
  outcome.encoding = encoding;
  outcome.replacedBytes = replacedBytes;
  return outcome;
}

std::string FormatImportResults(const ImportOutcome& outcome) {
  std::string text = "Number of subjects:   \t" + std::to_string(outcome.entryCount) + "\nFile sorted status:       \t";
  if (outcome.sortedFlag == 1) {
    text += "Yes";
  } else {
    text += "No\nSorted check failed at subject: " + outcome.firstOutOfOrder;
  }
  if (outcome.encoding == TextEncoding::kUtf8) text += "\nText encoding:            \tUTF-8";
  if (outcome.longSubjectFlag) {
    text +=
        "\n\nNote: The subjects in this text were very long \nand may cause problems in some versions of Librovance.";
  }
  if (outcome.cutSubjectCount > 0) {
    text += "\n\nNote: " + std::to_string(outcome.cutSubjectCount) + " subjects longer than " +
            std::to_string(TomeBuilder::kMaxStoredSubjectLength) + " bytes were shortened to that length.";
  }
  if (outcome.replacedBytes > 0) {
    text += "\n\nNote: " + std::to_string(outcome.replacedBytes) +
            " bytes of the source that were not UTF-8 were stored as the replacement character.";
  }
  return text;
}

}  // namespace lv
