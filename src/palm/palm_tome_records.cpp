// PalmTomeWriter::WriteRecords: the finishing step of both Palm tome writers. Everything before it
// happens in memory; here the container header, the record list and every record reach the file.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

#include "palm/palm_codecs.h"
#include "palm/palm_tome_run.h"
#include "palm/search_index.h"
#include "palm/subject_cache.h"
#include "tome/coding.h"
#include "tome/file_util.h"

namespace lv {
namespace {

using Record = std::vector<uint8_t>;

constexpr uint16_t kLastBlockOfRecord = 0x8000;
constexpr const char* kTableMessage = "WriteLVPTextV2FinalizeWrite: Cannot Allocate memory - 'table'";

// Cuts a byte stream into records of at most recordSize bytes.
void AppendCut(const std::vector<uint8_t>& stream, size_t recordSize, std::vector<Record>& records) {
  for (size_t at = 0; at < stream.size(); at += recordSize) {
    records.emplace_back(stream.begin() + at, stream.begin() + std::min(stream.size(), at + recordSize));
  }
}

bool WriteBytes(std::FILE* out, const uint8_t* data, size_t n) { return std::fwrite(data, 1, n, out) == n; }

}  // namespace

ExportResult PalmTomeWriter::WriteRecords(Run& run, const std::string& name) {
  const bool v28 = m_format == PalmTomeFormat::kV28;
  const int n = run.subjectCount;
  std::vector<Record> front;  // every record ahead of the data records

  Record header(kPalmHeaderRecordSize, 0);
  EncodeBE16(&header[0], v28 ? 8 : 7);
  EncodeBE32(&header[4], static_cast<uint32_t>(n));
  EncodeBE16(&header[8], v28 ? 16383 : 4095);
  EncodeBE16(&header[10], kRecordSizeCeiling);
  EncodeBE16(&header[12], static_cast<uint16_t>(v28 ? PalmCodec::kZlib : PalmCodec::kPalmDoc));
  EncodeBE16(&header[14], run.words ? 1 : 0);
  EncodeBE16(&header[16], static_cast<uint16_t>(m_source.SortedFlag()));
  front.push_back(std::move(header));

  if (run.cache) {
    front.push_back(run.cache->DirectoryRecord());
    for (const Record& group : run.cache->GroupRecords()) front.push_back(group);
  }
  if (run.words) {
    SearchRecords search;
    if (!run.words->MakeRecords(search, m_messages)) return ExportResult::kCompressionFailed;
    run.words.reset();
    front.push_back(std::move(search.header));
    for (Record& word : search.words) front.push_back(std::move(word));
  }

  run.allocationMessage = kTableMessage;
  std::vector<uint8_t> firstLetters(n);
  for (int i = 0; i < n; ++i) firstLetters[i] = run.subjects[i].empty() ? 0 : uint8_t(run.subjects[i][0]);
  AppendCut(firstLetters, kFirstLetterRecordSize, front);
  const size_t lastFirstLetterRecord = front.size() - 1;

  std::vector<uint8_t> dataHeader(4 * static_cast<size_t>(n));
  const std::vector<DataHeaderEntry>& entries = run.packer->HeaderEntries();
  for (int i = 0; i < n; ++i) {
    EncodeBE16(&dataHeader[4 * i], entries[i].blockReference);
    EncodeBE16(&dataHeader[4 * i + 2], entries[i].offset);
  }
  AppendCut(dataHeader, kDataHeaderRecordSize, front);

  // The data records, recounted from the block lengths with the packing rule.
  const std::vector<std::vector<uint8_t>>& blocks = run.packer->Blocks();
  const std::vector<int> recordOfBlock = AssignDataRecords(blocks, m_limits);
  const int dataRecords = recordOfBlock.empty() ? 0 : recordOfBlock.back() + 1;
  if (dataRecords != run.packer->DataRecordCount() && m_messages) {
    char text[80];
    std::snprintf(text, sizeof text, "Record Numbers not the same (%d = %d)", dataRecords,
                  run.packer->DataRecordCount());
    m_messages->ShowMessage(text, MessageIcon::kExclamation);
  }
  std::vector<uint32_t> sizes;
  for (const Record& record : front) sizes.push_back(static_cast<uint32_t>(record.size()));
  sizes.resize(front.size() + dataRecords, 0);
  for (size_t b = 0; b < blocks.size(); ++b)
    sizes[front.size() + recordOfBlock[b]] += static_cast<uint32_t>(blocks[b].size() + 2);
  if (sizes.size() > kPdbMaxRecords) return ExportResult::kTooLarge;

  std::FILE* out = run.output.Stream();
  const auto shortWrite = [&run] {
    run.writeFailure = Status::IoError("cannot write '" + run.output.Destination() + "': " + std::strerror(errno));
    return ExportResult::kShortWrite;
  };
  const std::vector<uint8_t> container = MakePdbHeader(name, kPalmTomeType, kPalmTomeCreator, sizes, m_clock);
  if (!WriteBytes(out, container.data(), container.size())) return shortWrite();
  for (size_t r = 0; r < front.size(); ++r) {
    if (!WriteBytes(out, front[r].data(), front[r].size())) return shortWrite();
    if (r == lastFirstLetterRecord && run.progress) run.progress->Step();
  }
  for (size_t b = 0; b < blocks.size(); ++b) {
    const bool lastOfRecord = b + 1 == blocks.size() || recordOfBlock[b + 1] != recordOfBlock[b];
    uint8_t length[2];
    EncodeBE16(length, static_cast<uint16_t>(blocks[b].size() | (lastOfRecord ? kLastBlockOfRecord : 0)));
    if (!WriteBytes(out, length, 2) || !WriteBytes(out, blocks[b].data(), blocks[b].size())) return shortWrite();
  }
  if (Status committed = run.output.Commit(); !committed.IsOk()) {
    run.writeFailure = std::move(committed);
    return ExportResult::kShortWrite;
  }
  return ExportResult::kOk;
}

}  // namespace lv
