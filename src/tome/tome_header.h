// TomeHeader: the fields of a tome's header read from its first bytes, for everyone who must look at
// a header before (or besides) opening the tome: the tome reader and the Palm export's own checks.
// The layout is in format.h and, as a byte map, at the writer (tome_builder.cpp).
#pragma once

#include <cstddef>
#include <cstdint>

#include "tome/format.h"

namespace lv {

class TomeHeader {
 public:
  // Takes the first min(length, kHeaderSize) bytes of a file.
  TomeHeader(const uint8_t* bytes, size_t length);

  // True when the file holds at least the first n bytes of a header.
  bool Holds(int n) const { return m_length >= n; }

  // The identity word at offset 4 * i (i = 0..3). REQUIRES: Holds(16).
  uint32_t IdentityWord(int i) const;
  // REQUIRES: Holds(kVersionOffset + 4).
  int32_t Version() const;
  bool IsVersion1() const { return Version() < kFirstCurrentVersion; }
  bool IsNewerThanWritten() const { return Version() > kWrittenVersion; }

  // Fields of the current layout. REQUIRES: Holds(kHeaderSize).
  int32_t SortedFlag() const;
  int32_t SubjectCount() const;
  int32_t ChunkCount() const;
  int32_t ChunkAreaLength() const;

 private:
  int32_t Field(int offset) const;

  uint8_t m_bytes[kHeaderSize] = {};
  int m_length = 0;
};

// One chunk header of the chunk area (kChunkHeaderSize bytes).
struct ChunkHeader {
  int32_t type = 0;
  int32_t skippable = 0;   // 1: a reader that does not know the type may skip the chunk
  int32_t dataLength = 0;  // bytes of data after the chunk header
  bool IsSkippable() const { return skippable == 1; }
};

// REQUIRES: bytes holds kChunkHeaderSize bytes.
ChunkHeader ParseChunkHeader(const uint8_t* bytes);

// The header of a text section (kSectionHeaderSize bytes); its block table follows it.
struct SectionHeader {
  int32_t sectionLength = 0;  // bytes after this field: 8 + 8 * blockCount + compressed bytes
  int32_t blockCount = 0;
  int32_t blockSize = 0;
  // The first byte after the section, which starts at start.
  int64_t EndFrom(int64_t start) const { return start + 4 + int64_t(sectionLength); }
};

// REQUIRES: bytes holds kSectionHeaderSize bytes.
SectionHeader ParseSectionHeader(const uint8_t* bytes);

}  // namespace lv
