// What the builder tests share: the common temporary directories and files, and a plain model of
// the tome layout that unpacks a written tome completely (header, offsets, both streams, every entry).
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_files.h"
#include "tome/block_codec.h"
#include "tome/coding.h"
#include "tome/format.h"

namespace lv::builder_test {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

struct ModelEntry {
  std::string subject;
  std::string text;
  bool operator==(const ModelEntry&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const ModelEntry& e) {
  return os << "{" << ::testing::PrintToString(e.subject) << ", " << ::testing::PrintToString(e.text) << "}";
}

struct ModelSection {
  int32_t length = 0;
  int32_t blockCount = 0;
  int32_t blockSize = 0;
  std::vector<size_t> decodedBlockSizes;
  std::string stream;
};

struct ModelTome {
  int32_t version = 0;
  int32_t sortedFlag = 0;
  int32_t count = 0;
  std::vector<uint32_t> offsets;
  ModelSection main;
  ModelSection extension;
  std::vector<ModelEntry> entries;
};

inline const uint8_t* Bytes(const std::string& s, size_t at) { return reinterpret_cast<const uint8_t*>(s.data()) + at; }

inline ModelSection UnpackSection(const std::string& file, size_t at) {
  ModelSection section;
  section.length = DecodeLE32Signed(Bytes(file, at));
  section.blockCount = DecodeLE32Signed(Bytes(file, at + 4));
  section.blockSize = DecodeLE32Signed(Bytes(file, at + 8));
  const size_t dataBase = at + 12 + 8 * size_t(section.blockCount);
  for (int b = 0; b < section.blockCount; ++b) {
    const uint32_t offset = DecodeLE32(Bytes(file, at + 12 + 8 * b));
    const uint32_t length = DecodeLE32(Bytes(file, at + 16 + 8 * b));
    std::string block(size_t(section.blockSize), '\0');
    const size_t got = DecodeBlock(Bytes(file, dataBase + offset), length, reinterpret_cast<uint8_t*>(block.data()),
                                   block.size(), false);
    section.decodedBlockSizes.push_back(got);
    section.stream.append(block.data(), got);
  }
  return section;
}

// Unpacks a tome written by the builder (current layout; the subject table follows the chunk area).
inline ModelTome UnpackTome(const std::string& file) {
  ModelTome tome;
  tome.version = DecodeLE32Signed(Bytes(file, kVersionOffset));
  tome.sortedFlag = DecodeLE32Signed(Bytes(file, kSortedFlagOffset));
  tome.count = DecodeLE32Signed(Bytes(file, kSubjectCountOffset));
  size_t at = size_t(kHeaderSize) + size_t(DecodeLE32Signed(Bytes(file, kChunkAreaLengthOffset)));
  for (int i = 0; i < tome.count; ++i, at += 4) tome.offsets.push_back(DecodeLE32(Bytes(file, at)));
  tome.main = UnpackSection(file, at);
  tome.extension = UnpackSection(file, at + 4 + size_t(tome.main.length));
  for (uint32_t offset : tome.offsets) {
    const std::string& s = tome.main.stream;
    size_t p = offset;
    const bool extended = uint8_t(s[p]) & kRecordFlagExtensionBit;
    uint32_t extensionPosition = 0;
    if (extended) extensionPosition = DecodeLE32(Bytes(s, p + 1));
    p += extended ? 5 : 1;
    ModelEntry entry;
    entry.subject = s.substr(p, s.find('\0', p) - p);
    p += entry.subject.size() + 1;
    entry.text = s.substr(p, s.find('\0', p) - p);
    if (extended) {
      const std::string& x = tome.extension.stream;
      entry.text += x.substr(extensionPosition, x.find('\0', extensionPosition) - extensionPosition);
    }
    tome.entries.push_back(entry);
  }
  return tome;
}

}  // namespace lv::builder_test
