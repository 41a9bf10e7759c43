// TomeReader: the text sections' block tables, the check that subject positions ascend, and the
// buffers the sections decode into.
#include <algorithm>
#include <cstdint>
#include <new>
#include <vector>

#include "tome/coding.h"
#include "tome/tome_header.h"
#include "tome/tome_reader.h"

namespace lv {
namespace {

// Larger blocks than this are taken as damage rather than allocated.
constexpr int32_t kMaxBlockSize = 1 << 20;

// The compressed buffer holds any block of up to m bytes: m + m / 8 + 16.
size_t CompressedCapacity(int32_t blockSize) { return size_t(blockSize) + size_t(blockSize) / 8 + 16; }

}  // namespace

bool TomeReader::ReadSection(int64_t start, Section& section, int64_t& sectionEnd) {
  uint8_t bytes[kSectionHeaderSize];
  if (!m_file.ReadAt(start, bytes, sizeof bytes)) return false;
  const SectionHeader header = ParseSectionHeader(bytes);
  const int32_t sectionLength = header.sectionLength;
  const int32_t blockCount = header.blockCount;
  const int32_t blockSize = header.blockSize;
  const int64_t tableLength = int64_t(kBlockTableEntrySize) * std::max(blockCount, 0);
  sectionEnd = header.EndFrom(start);
  if (blockCount < 0 || sectionLength < 8 + tableLength || sectionEnd > m_file.Size()) return false;
  if (blockCount > 0 && (blockSize < 1 || blockSize > kMaxBlockSize)) return false;
  section.blockSize = blockCount > 0 ? blockSize : 0;
  section.dataBase = start + kSectionHeaderSize + tableLength;

  std::vector<uint8_t> table(static_cast<size_t>(tableLength));
  if (!m_file.ReadAt(start + kSectionHeaderSize, table.data(), table.size())) return false;
  section.blockOffsets.resize(size_t(blockCount));
  section.blockLengths.resize(size_t(blockCount));
  const int64_t dataLength = sectionEnd - section.dataBase;
  // Each block starts where the one before it ends or later: every block then has compressed bytes of
  // its own, so the stream can never decode to more than a few times the size of the file.
  int64_t previousEnd = 0;
  for (int32_t b = 0; b < blockCount; ++b) {
    const uint32_t offset = DecodeLE32(&table[size_t(b) * kBlockTableEntrySize]);
    const uint32_t length = DecodeLE32(&table[size_t(b) * kBlockTableEntrySize + 4]);
    const int64_t end = int64_t(offset) + length;
    if (offset < previousEnd || end > dataLength || length > CompressedCapacity(blockSize)) return false;
    section.blockOffsets[size_t(b)] = offset;
    section.blockLengths[size_t(b)] = length;
    previousEnd = end;
  }
  section.decodedBlock = -1;
  return true;
}

// The builder writes the entry records back to back in subject order, so the positions ascend. Only
// then does reading every subject in turn decode each block once, and (with each record ending where
// the next begins) all subjects together hold no more than the stream: a table that sends subjects
// back and forth, or many to one place, would make a small file cost without bound. The table is
// read in pieces of a few KB.
bool TomeReader::SubjectPositionsAscend() const {
  constexpr int kPiece = 4096;
  std::vector<uint8_t> raw(size_t(std::min(m_subjectCount, kPiece)) * 4);
  int64_t previous = -1;
  for (int first = 0; first < m_subjectCount; first += kPiece) {
    const int count = std::min(kPiece, m_subjectCount - first);
    if (!m_file.ReadAt(m_subjectTablePosition + 4 * int64_t(first), raw.data(), size_t(count) * 4)) return false;
    for (int k = 0; k < count; ++k) {
      const int64_t position = DecodeLE32Signed(&raw[size_t(k) * 4]);
      if (position <= previous) return false;
      previous = position;
    }
  }
  return true;
}

bool TomeReader::AllocateBuffers() {
  try {
    if (m_main.blockSize > 0) m_main.buffer.resize(size_t(m_main.blockSize) + kNextHeadRoom);
    if (m_extension.blockSize > 0) m_extension.buffer.resize(size_t(m_extension.blockSize));
    m_compressed.resize(CompressedCapacity(std::max(m_main.blockSize, m_extension.blockSize)));
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

}  // namespace lv
