#include "palm/data_packer.h"

#include <algorithm>

namespace lv {
namespace {

constexpr size_t kLengthWordSize = 2;

// True when a block of length bytes opens a new record, given the bytes and blocks already there.
bool OpensNewRecord(size_t length, size_t used, int blocksInRecord, const PackingLimits& limits) {
  return length + used > limits.recordBytes || blocksInRecord >= limits.maxBlocksPerRecord;
}

Status TooLarge() { return Status::NotSupported("the data stream needs more records than a Palm tome holds"); }

}  // namespace

DataStreamPacker::DataStreamPacker(size_t blockSize, BlockCompressor compress, PackingLimits limits)
    : m_blockSize(blockSize), m_compress(std::move(compress)), m_limits(limits) {}

Status DataStreamPacker::AddSubject(std::string_view subject, std::string_view preparedText, bool last) {
  const size_t start = m_pending.size();
  m_pending.insert(m_pending.end(), subject.begin(), subject.end());
  m_pending.push_back(0);
  m_pending.insert(m_pending.end(), preparedText.begin(), preparedText.end());
  m_pending.push_back(0);
  if (m_record >= m_limits.maxRecords) return TooLarge();
  // The subject starts in the next block; if that block opens a new record it is re-pointed there.
  m_header.push_back(
      {static_cast<uint16_t>(m_record * m_limits.maxBlocksPerRecord + m_nextBlock), static_cast<uint16_t>(start)});
  size_t consumed = 0;
  while (m_pending.size() - consumed >= m_blockSize || (last && consumed < m_pending.size())) {
    const size_t n = std::min(m_blockSize, m_pending.size() - consumed);
    if (Status placed = CompressNextBlock(m_pending.data() + consumed, n); !placed.IsOk()) return placed;
    consumed += n;
  }
  m_pending.erase(m_pending.begin(), m_pending.begin() + consumed);
  return Status::Ok();
}

Status DataStreamPacker::CompressNextBlock(const uint8_t* data, size_t n) {
  m_scratch.clear();
  if (!m_compress(data, n, m_scratch)) return Status::OutOfMemory("a block could not be compressed");
  m_blocks.push_back(m_scratch);
  return PlaceBlock(m_scratch.size());
}

Status DataStreamPacker::PlaceBlock(size_t length) {
  if (m_blocks.size() > 1 && OpensNewRecord(length, m_used, m_nextBlock, m_limits)) {
    if (m_record + 1 >= m_limits.maxRecords) return TooLarge();
    // Subjects that start in this block move with it to block 0 of the next record.
    const uint16_t here = static_cast<uint16_t>(m_record * m_limits.maxBlocksPerRecord + m_nextBlock);
    const uint16_t there = static_cast<uint16_t>((m_record + 1) * m_limits.maxBlocksPerRecord);
    for (auto entry = m_header.rbegin(); entry != m_header.rend() && entry->blockReference == here; ++entry) {
      entry->blockReference = there;
    }
    ++m_record;
    m_nextBlock = 1;
    m_used = 0;
  } else {
    ++m_nextBlock;
  }
  m_used += length + kLengthWordSize;
  return Status::Ok();
}

std::vector<int> AssignDataRecords(const std::vector<std::vector<uint8_t>>& blocks, const PackingLimits& limits) {
  std::vector<int> records;
  records.reserve(blocks.size());
  int record = 0;
  int blocksInRecord = 0;
  size_t used = 0;
  for (const std::vector<uint8_t>& block : blocks) {
    if (!records.empty() && OpensNewRecord(block.size(), used, blocksInRecord, limits)) {
      ++record;
      blocksInRecord = 0;
      used = 0;
    }
    records.push_back(record);
    ++blocksInRecord;
    used += block.size() + kLengthWordSize;
  }
  return records;
}

}  // namespace lv
