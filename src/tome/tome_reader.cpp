// TomeReader: opening, closing and the bookmark table. Records, blocks and lookups are in
// tome_reader_records.cpp; the byte map is at the writer (tome_builder.cpp).
//
// A header that cannot describe a real tome is refused before anything is allocated from it:
//   NotSupported: a version above 2001, an unknown chunk that is not skippable, a version-1 base
//      version outside 0..3;
//   Corruption (an IO error when the file cannot be opened): a file shorter than its header; a
//      negative subject count, chunk count, chunk length or chunk area length; chunks that leave the
//      chunk area or an area beyond the file; a subject table or a text section that does not fit in
//      the file; a section whose length cannot hold its block table; a block size below 1 or above
//      1 MiB (40 times what the builder writes); a block lying outside its section or longer than
//      the largest possible compression of a block; blocks that overlap or run out of order (the
//      builder writes them back to back); subject positions that do not ascend; a version-1 file
//      shorter than 28 bytes, a version-1 header length below 28 or beyond the file, a negative
//      version-1 subject count or an offset table beyond the header, and (writable) a version-1
//      bookmark table that would reach back into the header;
//   OutOfMemory when a buffer the header asks for cannot be allocated.
// A bookmark chunk too short for the 4743-byte table is taken as no table, so saving the bookmarks
// can never overwrite the data that follows it.
#include "tome/tome_reader.h"

#include <algorithm>
#include <new>
#include <utility>

#include "tome/block_codec.h"
#include "tome/coding.h"
#include "tome/tome_header.h"
#include "tome/version1_reader.h"

namespace lv {
namespace {

// Larger blocks than this are taken as damage rather than allocated.
constexpr int32_t kMaxBlockSize = 1 << 20;
// Room behind a decoded main block for the decoded head of the next one.
constexpr size_t kNextHeadRoom = 3000;
constexpr int kChunkAreaOffset = kHeaderSize;

// The compressed buffer holds any block of up to m bytes: m + m / 8 + 16.
size_t CompressedCapacity(int32_t blockSize) { return size_t(blockSize) + size_t(blockSize) / 8 + 16; }

// The first byte found wrong (or the field that describes what is wrong) is named.
Status Damaged(int64_t at) { return Status::Corruption("the tome is damaged at byte " + std::to_string(at)); }
Status NotATome() { return Status::Corruption("it is not a tome"); }
Status NoMemory() { return Status::OutOfMemory("out of memory"); }
Status UnsupportedContents() { return Status::NotSupported("the tome holds a chunk this version cannot skip"); }

// Reads the first min(file size, kHeaderSize) bytes of the file.
TomeHeader ReadHeader(const TomeFile& file) {
  uint8_t bytes[kHeaderSize] = {};
  const size_t length = size_t(std::clamp<int64_t>(file.Size(), 0, kHeaderSize));
  if (!file.ReadAt(0, bytes, length)) return TomeHeader(bytes, 0);
  return TomeHeader(bytes, length);
}

// Versions from here on are taken for no tome's at all rather than for a later one's.
constexpr int32_t kImplausibleVersion = 3000;

// A failed open is put down to the file not being a tome at all when it does not begin as a tome
// does: too short for a header's version, or other identity words with a version no tome has or a
// damaged current-layout header. (A version-1 tome, whose identity words are not known, is taken as
// damaged; a later version as unsupported.)
bool LooksForeign(const TomeHeader& header, const Status& failure) {
  if (!header.Holds(kVersionOffset + 4)) return true;
  if (header.IdentityWord(0) == kTomeIdentity[0] && header.IdentityWord(1) == kTomeIdentity[1]) return false;
  const int32_t version = header.Version();
  if (version < 0 || version >= kImplausibleVersion) return true;
  return failure.Code() == StatusCode::kCorruption && version >= kFirstCurrentVersion;
}

void ParseBookmarkTable(const uint8_t* table, BookmarkRecord* records) {
  for (int r = 0; r < kBookmarkRecordCount; ++r) {
    const uint8_t* at = table + r * kBookmarkRecordSize;
    BookmarkRecord& record = records[r];
    record.nameLength = std::clamp<int32_t>(DecodeLE32Signed(at), 0, kBookmarkNameSize);
    record.subjectNumber = DecodeLE32Signed(at + 4);
    record.reserved = DecodeLE32Signed(at + 8);
    record.name.assign(reinterpret_cast<const char*>(at + 12), size_t(record.nameLength));
  }
}

void SerializeBookmarkTable(const BookmarkRecord* records, uint8_t* table) {
  std::fill(table, table + kBookmarkTableSize, uint8_t(0));
  for (int r = 0; r < kBookmarkRecordCount; ++r) {
    uint8_t* at = table + r * kBookmarkRecordSize;
    const BookmarkRecord& record = records[r];
    EncodeLE32(at, uint32_t(record.nameLength));
    EncodeLE32(at + 4, uint32_t(record.subjectNumber));
    EncodeLE32(at + 8, uint32_t(record.reserved));
    const size_t length =
        std::min({size_t(std::max(record.nameLength, 0)), record.name.size(), size_t(kBookmarkNameSize)});
    std::copy_n(record.name.data(), length, at + 12);
  }
}

}  // namespace

TomeReader::TomeReader() = default;

TomeReader::~TomeReader() { Close(); }

Status TomeReader::Open(const std::string& path, OpenMode mode) {
  Close();
  m_readOnly = mode == OpenMode::kReadOnly;
  if (Status opened = m_file.Open(path, !m_readOnly); !opened.IsOk()) return opened;
  m_currentLayout = true;
  m_currentEntryIndex = -1;
  const TomeHeader header = ReadHeader(m_file);
  Status result = m_file.Size() == 0 ? Status::Corruption("the file is empty") : NotATome();
  if (m_file.Size() > 0 && header.Holds(kVersionOffset + 4)) {
    m_version = header.Version();
    try {
      if (header.IsNewerThanWritten()) {
        result = Status::NotSupported("unsupported version: the tome is of version " + std::to_string(m_version) +
                                      ", newer than this program reads");
      } else if (header.IsVersion1()) {
        result = OpenVersion1(path);
      } else {
        result = OpenCurrentLayout(header);
      }
    } catch (const std::bad_alloc&) {
      result = NoMemory();
    }
  }
  if (!result.IsOk()) {
    const bool foreign = m_file.Size() > 0 && result.Code() != StatusCode::kOutOfMemory && LooksForeign(header, result);
    ReleaseAll();
    return foreign ? NotATome() : result;
  }
  m_open = true;
  return Status::Ok();
}

Status TomeReader::OpenVersion1(const std::string& path) {
  m_currentLayout = false;
  m_file.Close();
  m_version1 = std::make_unique<Version1Reader>();
  if (Status opened = m_version1->Open(path, !m_readOnly); !opened.IsOk()) return opened;
  m_subjectCount = m_version1->SubjectCount();
  m_version = m_version1->VersionWord();  // with the marks a writable open has just added
  m_sortedFlag = 0;
  if (!m_readOnly) {
    m_bookmarkTablePosition = m_version1->BookmarkTablePosition();
    ReadBookmarks();
  }
  return Status::Ok();
}

Status TomeReader::OpenCurrentLayout(const TomeHeader& header) {
  if (!header.Holds(kHeaderSize)) return Damaged(m_file.Size());
  m_sortedFlag = header.SortedFlag();
  const int32_t subjectCount = header.SubjectCount();
  const int32_t chunkCount = header.ChunkCount();
  const int32_t chunkAreaLength = header.ChunkAreaLength();
  if (subjectCount < 0) return Damaged(kSubjectCountOffset);
  if (chunkCount < 0) return Damaged(kChunkCountOffset);
  if (chunkAreaLength < 0) return Damaged(kChunkAreaLengthOffset);
  const int64_t chunkAreaEnd = int64_t(kChunkAreaOffset) + chunkAreaLength;
  if (chunkAreaEnd > m_file.Size()) return Damaged(kChunkAreaLengthOffset);
  if (Status chunks = ReadChunks(chunkCount, chunkAreaEnd); !chunks.IsOk()) return chunks;
  if (m_bookmarkTablePosition >= 0) ReadBookmarks();

  m_subjectCount = subjectCount;
  m_subjectTablePosition = chunkAreaEnd;
  const int64_t mainStart = m_subjectTablePosition + 4 * int64_t(subjectCount);
  int64_t mainEnd = 0;
  int64_t extensionEnd = 0;
  if (!ReadSection(mainStart, m_main, mainEnd)) return Damaged(mainStart);
  if (!ReadSection(mainEnd, m_extension, extensionEnd)) return Damaged(mainEnd);
  if (!SubjectPositionsAscend()) return Damaged(m_subjectTablePosition);
  m_windowFirstIndex = -1;
  return AllocateBuffers() ? Status::Ok() : NoMemory();
}

Status TomeReader::ReadChunks(int32_t chunkCount, int64_t chunkAreaEnd) {
  int64_t at = kChunkAreaOffset;
  for (int32_t c = 0; c < chunkCount; ++c) {
    uint8_t bytes[kChunkHeaderSize];
    if (at + kChunkHeaderSize > chunkAreaEnd || !m_file.ReadAt(at, bytes, sizeof bytes)) return Damaged(at);
    const ChunkHeader chunk = ParseChunkHeader(bytes);
    const int64_t dataStart = at + kChunkHeaderSize;
    if (chunk.dataLength < 0 || dataStart + chunk.dataLength > chunkAreaEnd) return Damaged(at);
    if (chunk.type == kChunkTypeBookmarks) {
      m_bookmarkTablePosition = chunk.dataLength >= kBookmarkTableSize ? dataStart : -1;
    } else if (!chunk.IsSkippable()) {
      return UnsupportedContents();
    }
    at = dataStart + chunk.dataLength;
  }
  return Status::Ok();
}

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

void TomeReader::Close() {
  if (m_open && !m_readOnly) SaveBookmarks();
  ReleaseAll();
}

void TomeReader::ReleaseAll() {
  m_file.Close();
  m_version1.reset();
  m_open = false;
  m_readOnly = false;
  m_currentLayout = true;
  m_sortedFlag = 0;
  m_version = 0;
  m_subjectCount = 0;
  m_subjectTablePosition = 0;
  m_bookmarkTablePosition = -1;
  for (BookmarkRecord& record : m_bookmarks) record = BookmarkRecord{};
  m_bookmarksChanged = false;
  m_windowFirstIndex = -1;
  m_windowCount = 0;
  m_main = Section{};
  m_extension = Section{};
  m_compressed = {};
  m_recordScratch = {};
  m_probeSubjects = {};
  m_currentEntryIndex = -1;
  m_entryText = {};
  m_nextIndexInRun = -1;
  m_runExtensionEnd = 0;
}

void TomeReader::ReadBookmarks() {
  uint8_t table[kBookmarkTableSize];
  const bool read = m_currentLayout ? m_file.ReadAt(m_bookmarkTablePosition, table, sizeof table)
                                    : m_version1->ReadBookmarkTable(table);
  if (!read) {
    // A table the file cannot hold is treated as absent and never written.
    m_bookmarkTablePosition = -1;
    return;
  }
  ParseBookmarkTable(table, m_bookmarks);
}

void TomeReader::SaveBookmarks() {
  if (m_bookmarkTablePosition < 0 || !m_bookmarksChanged) return;
  uint8_t table[kBookmarkTableSize];
  SerializeBookmarkTable(m_bookmarks, table);
  if (m_currentLayout) {
    m_file.WriteAt(m_bookmarkTablePosition, table, sizeof table);
  } else {
    m_version1->WriteBookmarkTable(table);
  }
}

BookmarkRecord TomeReader::Bookmark(int recordNumber) const {
  if (recordNumber < 0 || recordNumber >= kBookmarkRecordCount) return BookmarkRecord{};
  return m_bookmarks[recordNumber];
}

void TomeReader::SetBookmark(int recordNumber, int32_t nameLength, int32_t subjectNumber, int32_t reserved,
                             std::string_view name) {
  if (recordNumber < 0 || recordNumber >= kBookmarkRecordCount) return;
  // Names are cut to the 81 bytes of the name field, and the length with them.
  BookmarkRecord updated;
  updated.nameLength = std::clamp<int32_t>(nameLength, 0, kBookmarkNameSize);
  updated.subjectNumber = subjectNumber;
  updated.reserved = reserved;
  updated.name.assign(name.substr(0, kBookmarkNameSize));
  BookmarkRecord& record = m_bookmarks[recordNumber];
  if (updated.nameLength == record.nameLength && updated.subjectNumber == record.subjectNumber &&
      updated.reserved == record.reserved && updated.name == record.name) {
    return;
  }
  record = std::move(updated);
  m_bookmarksChanged = true;
}

}  // namespace lv
