#include "palm/palm_tome_writer.h"

#include <algorithm>
#include <cctype>
#include <memory>
#include <new>
#include <utility>

#include "palm/palm_codecs.h"
#include "palm/palm_text.h"
#include "palm/palm_tome_run.h"
#include "palm/search_index.h"
#include "palm/subject_cache.h"
#include "palm/subject_index.h"
#include "tome/file_util.h"

namespace lv {

const char* ExportResultText(ExportResult result) {
  switch (result) {
    case ExportResult::kOk: return "The Palm tome was written.";
    case ExportResult::kMissingArgument: return "No output file or no Palm tome name was given.";
    case ExportResult::kCannotCreate: return "The output file cannot be created.";
    case ExportResult::kSourceUnreadable: return "The tome cannot be read.";
    case ExportResult::kShortWrite: return "Writing the output file failed.";
    case ExportResult::kOutOfMemory: return "There is not enough memory for the export.";
    case ExportResult::kCompressionFailed: return "A block could not be compressed.";
    case ExportResult::kTooLarge: return "The tome is too large for a Palm tome database.";
  }
  return "The export failed.";
}

int AccelerationBitmapBits(const std::string& level) {
  static const char* const kNames[] = {"none", "low", "default", "medium", "high"};
  std::string lower(level);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (size_t i = 0; i < std::size(kNames); ++i) {
    if (lower == kNames[i]) return 8 * kAccelerationBitmapBytes[i];
  }
  return -1;
}

namespace {

constexpr size_t kV25BlockSize = 4095;
constexpr size_t kV28BlockSize = 16383;
constexpr int kProgressSubjectStride = 100;
constexpr const char* kBlockDataMessage =
    "WriteLVPTextV2: Cannot Allocate memory - 'iLVPDataBlockArray[iLVPDataBlockTotalBlocks]->Data'";
constexpr const char* kClearTagsMessage = "WriteLVPTextV2ClearTags: Cannot Allocate memory - 'text'";

ExportOutcome OutcomeOf(ExportResult result, const Status& writeFailure) {
  ExportOutcome outcome;
  outcome.result = result;
  const std::string text = ExportResultText(result);
  switch (result) {
    case ExportResult::kOk: break;
    case ExportResult::kMissingArgument: outcome.status = Status::InvalidArgument(text); break;
    case ExportResult::kCannotCreate:
    case ExportResult::kShortWrite: outcome.status = writeFailure.IsOk() ? Status::IoError(text) : writeFailure; break;
    case ExportResult::kSourceUnreadable: outcome.status = Status::Corruption(text); break;
    case ExportResult::kOutOfMemory:
    case ExportResult::kCompressionFailed: outcome.status = Status::OutOfMemory(text); break;
    case ExportResult::kTooLarge: outcome.status = Status::NotSupported(text); break;
  }
  return outcome;
}

}  // namespace

const char* PalmTomeWriter::MessagePrefix() const {
  return m_format == PalmTomeFormat::kV25 ? "WriteLVPTextV2: Cannot Allocate memory - "
                                          : "WriteLVPTextV2.5: Cannot Allocate memory - ";
}

void PalmTomeWriter::ReportAllocationFailure(const std::string& message) {
  if (m_messages) m_messages->ShowMessage(message, MessageIcon::kExclamation);
}

ExportOutcome PalmTomeWriter::WriteFormat25(const std::string& outPath, const std::string& name, Progress* progress) {
  m_format = PalmTomeFormat::kV25;
  Status writeFailure;
  const ExportResult result = Write(outPath, name, progress, 0, writeFailure);
  return OutcomeOf(result, writeFailure);
}

ExportOutcome PalmTomeWriter::WriteFormat28(const std::string& outPath, const std::string& name, Progress* progress,
                                            int bitmapBits) {
  m_format = PalmTomeFormat::kV28;
  Status writeFailure;
  const ExportResult result = Write(outPath, name, progress, std::max(bitmapBits, 0), writeFailure);
  return OutcomeOf(result, writeFailure);
}

ExportResult PalmTomeWriter::Write(const std::string& outPath, const std::string& name, Progress* progress,
                                   int bitmapBits, Status& writeFailure) {
  if (outPath.empty() || name.empty()) return ExportResult::kMissingArgument;
  if (!m_source.IsOpen()) return ExportResult::kSourceUnreadable;
  Run run;
  run.progress = progress;
  run.bitmapBits = bitmapBits;
  run.subjectCount = m_source.SubjectCount();
  // Nothing reaches outPath before the finishing step: the records go to a temporary file beside it
  // that replaces it only when everything was written.
  if (Status opened = run.output.Open(outPath); !opened.IsOk()) {
    writeFailure = std::move(opened);
    return ExportResult::kCannotCreate;
  }
  if (progress) {
    progress->SetRange(0, run.subjectCount / kProgressSubjectStride + 3);
    progress->SetStep(1);
  }
  try {
    ExportResult result = CollectSubjects(run);
    if (result != ExportResult::kOk) return result;
    run.allocationMessage = std::string(MessagePrefix()) + "'iSortedSubjectIndex'";
    run.sorted.Build(run.subjects);
    if (progress) progress->Step();
    result = PackSubjects(run);
    if (result != ExportResult::kOk) return result;
    result = WriteRecords(run, name);
    writeFailure = run.writeFailure;
    return result;
  } catch (const std::bad_alloc&) {
    ReportAllocationFailure(run.allocationMessage);
    return ExportResult::kOutOfMemory;
  }
}

// Reads every subject into iLVPSubjectArray and, for the 2.8 format, fills the subject cache.
ExportResult PalmTomeWriter::CollectSubjects(Run& run) {
  run.allocationMessage = std::string(MessagePrefix()) + "'iLVPSubjectArray'";
  run.subjects.reserve(run.subjectCount);
  if (m_format == PalmTomeFormat::kV28) run.cache = std::make_unique<SubjectCacheBuilder>(m_messages);
  for (int i = 0; i < run.subjectCount; ++i) {
    run.allocationMessage = std::string(MessagePrefix()) + "'iLVPSubjectArray[index].Subject'";
    run.subjects.push_back(m_source.Subject(i));
    if (run.cache) {
      run.allocationMessage = std::string(MessagePrefix()) + "'subjectCacheP'";
      if (!run.cache->Add(run.subjects.back())) return ExportResult::kCompressionFailed;
    }
  }
  if (run.cache && !run.cache->Finish()) return ExportResult::kCompressionFailed;
  return ExportResult::kOk;
}

// Prepares every entry text and packs the data stream into compressed blocks; with search
// acceleration also gathers the words of every subject and stored text.
ExportResult PalmTomeWriter::PackSubjects(Run& run) {
  const PalmCodec codec = m_format == PalmTomeFormat::kV25 ? PalmCodec::kPalmDoc : PalmCodec::kZlib;
  const size_t blockSize = m_format == PalmTomeFormat::kV25 ? kV25BlockSize : kV28BlockSize;
  MessageSink* messages = m_messages;
  BlockCompressor compress = [codec, messages](const uint8_t* data, size_t n, std::vector<uint8_t>& out) {
    return CompressPalmBlock(codec, data, n, out, messages);
  };
  run.allocationMessage = std::string(MessagePrefix()) + "'iLVPDataHeaderArray'";
  run.packer = std::make_unique<DataStreamPacker>(blockSize, compress, m_limits);
  if (m_format == PalmTomeFormat::kV28 && run.bitmapBits > 0) {
    run.words = std::make_unique<SearchWordIndex>(run.subjectCount, run.bitmapBits);
  }
  std::string text;
  std::string prepared;
  for (int i = 0; i < run.subjectCount; ++i) {
    run.allocationMessage = std::string(MessagePrefix()) + "'text'";
    if (!m_source.ReadEntryText(i, text)) return ExportResult::kSourceUnreadable;
    if (run.words) {
      run.words->AddText(i, run.subjects[i]);
      run.words->AddText(i, text);
    }
    run.allocationMessage = kClearTagsMessage;
    // Up to the whole text limit, so that the " <TOO LONG>" mark of a cut text survives.
    PrepareTextForPalm(text, run.sorted, kSourceTextLimit, prepared);
    run.allocationMessage = kBlockDataMessage;
    const Status packed = run.packer->AddSubject(run.subjects[i], prepared, i + 1 == run.subjectCount);
    if (packed.IsNotSupported()) return ExportResult::kTooLarge;
    if (!packed.IsOk()) return ExportResult::kCompressionFailed;
    if (i % kProgressSubjectStride == 0 && run.progress) run.progress->Step();
  }
  return ExportResult::kOk;
}

}  // namespace lv
