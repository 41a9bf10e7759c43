// Packing of the uncompressed data stream into compressed blocks and data records (both Palm tome
// formats). The stream is every subject in tome order as subject, NUL, prepared text, NUL, cut into
// blocks of the format's block size. Each compressed block is stored as a 2-byte length and its
// bytes; consecutive blocks share a data record while the record stays within its byte ceiling.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "tome/status.h"

namespace lv {

struct PackingLimits {
  // A block stays in the current record while its length plus the bytes already placed there
  // (each block counting its length plus its 2-byte length word) is at most this.
  size_t recordBytes = 61438;
  // Block references are record number * 128 + block number.
  int maxRecords = 512;
  int maxBlocksPerRecord = 128;
};

// Compresses one block into out; false when it cannot.
using BlockCompressor = std::function<bool(const uint8_t* data, size_t n, std::vector<uint8_t>& out)>;

// One iLVPDataHeaderArray entry: where a subject's record starts.
struct DataHeaderEntry {
  uint16_t blockReference = 0;  // data record number * 128 + block number within that record
  uint16_t offset = 0;          // offset of the subject's first byte in the decompressed block
};

class DataStreamPacker {
 public:
  DataStreamPacker(size_t blockSize, BlockCompressor compress, PackingLimits limits = {});

  // Appends the next subject's record and compresses every block that is full (with last, also the
  // rest). Fails with NotSupported when a block reference would need a record number or a block
  // number past the limits (the stream is too large for a Palm tome), or with OutOfMemory when the
  // compressor fails.
  Status AddSubject(std::string_view subject, std::string_view preparedText, bool last);

  // iLVPDataHeaderArray, one entry per subject added.
  const std::vector<DataHeaderEntry>& HeaderEntries() const { return m_header; }
  // iLVPDataBlockArray: the compressed blocks in order.
  const std::vector<std::vector<uint8_t>>& Blocks() const { return m_blocks; }
  // The data records counted while packing (a record holding any block counts).
  int DataRecordCount() const { return m_blocks.empty() ? 0 : m_record + 1; }

 private:
  Status CompressNextBlock(const uint8_t* data, size_t n);
  Status PlaceBlock(size_t length);

  size_t m_blockSize;
  BlockCompressor m_compress;
  PackingLimits m_limits;
  std::vector<uint8_t> m_pending;  // the stream bytes not yet compressed
  std::vector<uint8_t> m_scratch;
  std::vector<DataHeaderEntry> m_header;
  std::vector<std::vector<uint8_t>> m_blocks;
  int m_record = 0;     // current data record
  int m_nextBlock = 0;  // block number the next block gets in the current record
  size_t m_used = 0;    // bytes placed in the current record
};

// The data record of every block by the packing rule, recounted from the block lengths alone.
std::vector<int> AssignDataRecords(const std::vector<std::vector<uint8_t>>& blocks, const PackingLimits& limits);

}  // namespace lv
