#include "tome/tome_header.h"

#include <algorithm>

#include "tome/coding.h"

namespace lv {

TomeHeader::TomeHeader(const uint8_t* bytes, size_t length)
    : m_length(static_cast<int>(std::min<size_t>(length, kHeaderSize))) {
  std::copy_n(bytes, m_length, m_bytes);
}

int32_t TomeHeader::Field(int offset) const { return DecodeLE32Signed(m_bytes + offset); }

uint32_t TomeHeader::IdentityWord(int i) const { return DecodeLE32(m_bytes + 4 * i); }
int32_t TomeHeader::Version() const { return Field(kVersionOffset); }
int32_t TomeHeader::SortedFlag() const { return Field(kSortedFlagOffset); }
int32_t TomeHeader::SubjectCount() const { return Field(kSubjectCountOffset); }
int32_t TomeHeader::ChunkCount() const { return Field(kChunkCountOffset); }
int32_t TomeHeader::ChunkAreaLength() const { return Field(kChunkAreaLengthOffset); }

ChunkHeader ParseChunkHeader(const uint8_t* bytes) {
  ChunkHeader chunk;
  chunk.type = DecodeLE32Signed(bytes);
  chunk.skippable = DecodeLE32Signed(bytes + 4);
  chunk.dataLength = DecodeLE32Signed(bytes + 8);
  return chunk;
}

SectionHeader ParseSectionHeader(const uint8_t* bytes) {
  SectionHeader section;
  section.sectionLength = DecodeLE32Signed(bytes);
  section.blockCount = DecodeLE32Signed(bytes + 4);
  section.blockSize = DecodeLE32Signed(bytes + 8);
  return section;
}

}  // namespace lv
