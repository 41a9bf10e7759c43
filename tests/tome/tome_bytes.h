// Hand-assembled tome bytes for the reader's tests: both layouts written directly from their byte
// maps, with every block stored as literal groups (control 0x00 and eight bytes; a short final group
// with bit 0 set), which any correct decoder reads.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "tome/coding.h"
#include "tome/format.h"
#include "tome/status.h"

namespace lv::test {

// The three ways TomeReader::Open ends that its callers tell apart.
enum class Opened { kOk, kFailed, kUnsupported };

inline Opened OpenedAs(const Status& status) {
  if (status.IsOk()) return Opened::kOk;
  return status.IsNotSupported() ? Opened::kUnsupported : Opened::kFailed;
}

inline std::string Le32(int32_t v) {
  std::string out;
  AppendLE32(out, uint32_t(v));
  return out;
}

// Overwrites the 32-bit field at offset.
inline void PutLe32(std::string& bytes, size_t offset, int32_t v) { bytes.replace(offset, 4, Le32(v)); }

inline std::string EncodeLiteralBlock(std::string_view raw) {
  std::string out;
  size_t i = 0;
  for (; i + 8 <= raw.size(); i += 8) {
    out.push_back('\0');
    out.append(raw.substr(i, 8));
  }
  if (i < raw.size()) {
    out.push_back('\x01');  // fewer than eight literals: bit 0 set, the literals' bits clear
    out.append(raw.substr(i));
  }
  return out;
}

// A text section holding stream in blocks of blockSize bytes.
inline std::string AssembleSection(std::string_view stream, int32_t blockSize) {
  std::string table;
  std::string blocks;
  int32_t count = 0;
  for (size_t at = 0; at < stream.size(); at += size_t(blockSize), ++count) {
    const std::string block = EncodeLiteralBlock(stream.substr(at, size_t(blockSize)));
    table += Le32(int32_t(blocks.size())) + Le32(int32_t(block.size()));
    blocks += block;
  }
  const std::string body = Le32(count) + Le32(blockSize) + table + blocks;
  return Le32(int32_t(body.size())) + body;
}

inline std::string Chunk(int32_t type, int32_t skippable, std::string_view data) {
  return Le32(type) + Le32(skippable) + Le32(int32_t(data.size())) + std::string(data);
}

inline std::string BookmarkRecordBytes(int32_t nameLength, int32_t subjectNumber, int32_t reserved,
                                       std::string_view name) {
  std::string out = Le32(nameLength) + Le32(subjectNumber) + Le32(reserved) + std::string(name);
  out.resize(kBookmarkRecordSize, '\0');
  return out;
}

struct TestEntry {
  std::string subject;
  std::string text;
};

struct TomeShape {
  int32_t version = kWrittenVersion;
  int32_t sortedFlag = 1;
  int32_t mainBlockSize = kWrittenBlockSize;
  int32_t extensionBlockSize = kWrittenBlockSize;
  bool bookmarkChunk = true;
  std::string bookmarkTable = std::string(kBookmarkTableSize, '\0');
  std::vector<std::string> chunksBefore;  // whole chunks placed before the bookmark chunk
  std::vector<std::string> chunksAfter;
};

struct AssembledTome {
  std::string bytes;
  std::vector<int32_t> recordPositions;  // main stream position of each entry record
  int64_t subjectTableOffset = 0;
  int64_t mainSectionOffset = 0;
  int64_t extensionSectionOffset = 0;
};

inline AssembledTome AssembleTome(const std::vector<TestEntry>& entries, const TomeShape& shape = {}) {
  AssembledTome tome;
  std::string mainStream;
  std::string extensionStream;
  for (const TestEntry& entry : entries) {
    tome.recordPositions.push_back(int32_t(mainStream.size()));
    const bool extended = entry.text.size() > size_t(kEntryHeadLength);
    mainStream.push_back(char(extended ? kRecordFlagsExtended : kRecordFlagsWhole));
    if (extended) mainStream += Le32(int32_t(extensionStream.size()));
    mainStream += entry.subject + '\0' + entry.text.substr(0, kEntryHeadLength) + '\0';
    if (extended) extensionStream += entry.text.substr(kEntryHeadLength) + '\0';
  }
  std::string chunks;
  int32_t chunkCount = 0;
  for (const std::string& chunk : shape.chunksBefore) chunks += chunk, ++chunkCount;
  if (shape.bookmarkChunk) chunks += Chunk(kChunkTypeBookmarks, 1, shape.bookmarkTable), ++chunkCount;
  for (const std::string& chunk : shape.chunksAfter) chunks += chunk, ++chunkCount;

  std::string& out = tome.bytes;
  for (uint32_t word : kTomeIdentity) AppendLE32(out, word);
  out += Le32(shape.version) + Le32(shape.sortedFlag) + Le32(int32_t(entries.size())) + Le32(chunkCount) +
         Le32(int32_t(chunks.size())) + chunks;
  tome.subjectTableOffset = int64_t(out.size());
  for (int32_t position : tome.recordPositions) out += Le32(position);
  tome.mainSectionOffset = int64_t(out.size());
  out += AssembleSection(mainStream, shape.mainBlockSize);
  tome.extensionSectionOffset = int64_t(out.size());
  out += AssembleSection(extensionStream, shape.extensionBlockSize);
  return tome;
}

// Version-1 text packing of text, where TAB + code 8 is the line break; ends with the raw byte 0x00.
inline std::string PackVersion1Text(std::string_view text) {
  static constexpr std::string_view kCommon = " eoatnirslh.";
  static constexpr std::string_view kConsonants = "bcdfgjkmpquvwxyz";
  static constexpr std::string_view kEscaped = "QRSTUVWXYZ,;\n'()";
  std::vector<uint8_t> nibbles;
  auto raw = [&](uint8_t byte) { nibbles.insert(nibbles.end(), {12, uint8_t(byte >> 4), uint8_t(byte & 15)}); };
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\t' && i + 1 < text.size() && text[i + 1] == 8) {
      nibbles.insert(nibbles.end(), {15, 12});
      ++i;
    } else if (kCommon.find(c) != std::string_view::npos) {
      nibbles.push_back(uint8_t(kCommon.find(c)));
    } else if (kConsonants.find(c) != std::string_view::npos) {
      nibbles.insert(nibbles.end(), {13, uint8_t(kConsonants.find(c))});
    } else if (c >= 'A' && c <= 'P') {
      nibbles.insert(nibbles.end(), {14, uint8_t(c - 'A')});
    } else if (c != '\n' && kEscaped.find(c) != std::string_view::npos) {
      nibbles.insert(nibbles.end(), {15, uint8_t(kEscaped.find(c))});
    } else {
      raw(uint8_t(c));
    }
  }
  raw(0);
  if (nibbles.size() % 2) nibbles.push_back(0);
  std::string out;
  for (size_t i = 0; i < nibbles.size(); i += 2) out.push_back(char(nibbles[i] << 4 | nibbles[i + 1]));
  return out;
}

// A version-1 tome: base version 1 stores texts plain, others packed. The tail and bookmark table
// that the version word announces are appended.
inline std::string AssembleVersion1Tome(const std::vector<TestEntry>& entries, int32_t versionWord) {
  const int32_t base = versionWord % 500;
  std::vector<std::string> texts;
  for (const TestEntry& entry : entries) {
    texts.push_back(base == 1 ? entry.text : PackVersion1Text(entry.text));
  }
  int32_t headerLength = 28 + 4 * int32_t(entries.size());
  for (const TestEntry& entry : entries) headerLength += 8 + int32_t(entry.subject.size());
  std::string offsets;
  std::string records;
  std::string textRecords;
  for (size_t i = 0; i < entries.size(); ++i) {
    offsets += Le32(28 + 4 * int32_t(entries.size()) + int32_t(records.size()));
    records += Le32(int32_t(entries[i].subject.size())) + entries[i].subject +
               Le32(headerLength + int32_t(textRecords.size()));
    textRecords += Le32(int32_t(texts[i].size())) + texts[i];
  }
  std::string out = std::string(16, '\x11') + Le32(versionWord) + Le32(int32_t(entries.size())) + Le32(headerLength) +
                    offsets + records + textRecords;
  // The parts that the version word announces, in the order a writable open appends them.
  const int32_t marks = versionWord - base;
  if (marks == 1000 || marks == 1500) out.append(88, '\0');
  if (marks == 500 || marks == 1500) out.append(kBookmarkTableSize, '\0');
  return out;
}

// Writes a fresh file (an existing one is removed first: truncating and rewriting a file makes some
// file systems flush it to disk each time, which slows tests and fuzzing down).
inline void WriteFileBytes(const std::string& path, std::string_view bytes) {
  std::error_code ignored;
  std::filesystem::remove(path, ignored);
  std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), std::streamsize(bytes.size()));
}

}  // namespace lv::test
