// TomeReader: opening, closing and the validation of the header and its chunks. The text sections'
// block tables are read in tome_reader_sections.cpp, the bookmark table in tome_reader_bookmarks.cpp;
// records, blocks and lookups are in tome_reader_records.cpp; the byte map is at the writer
// (tome_builder.cpp).
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
#include <string>

#include "tome/tome_header.h"
#include "tome/version1_reader.h"

namespace lv {
namespace {

constexpr int kChunkAreaOffset = kHeaderSize;

// The first byte found wrong (or the field that describes what is wrong) is named.
Status Damaged(int64_t at) { return Status::Corruption("the tome is damaged at byte " + std::to_string(at)); }
Status NotATome() { return Status::Corruption("it is not a tome"); }
Status NoMemory() { return Status::OutOfMemory("out of memory"); }
Status UnsupportedContents() { return Status::NotSupported("the tome holds a chunk this version cannot skip"); }

// The encoding named by a text-encoding chunk's data: its bytes up to the first 0x00, shown with
// anything but printable ASCII escaped, since a damaged or foreign file may hold anything there.
std::string EncodingNameOf(const uint8_t* data, size_t length) {
  std::string name;
  for (size_t i = 0; i < length && data[i] != 0; ++i) {
    const uint8_t b = data[i];
    if (b >= 0x20 && b < 0x7F) {
      name += char(b);
    } else {
      static constexpr char kHex[] = "0123456789ABCDEF";
      name += "\\x";
      name += kHex[b >> 4];
      name += kHex[b & 15];
    }
  }
  return name;
}

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
    } else if (chunk.type == kChunkTypeTextEncoding) {
      if (Status named = ReadTextEncoding(dataStart, chunk.dataLength); !named.IsOk()) return named;
    } else if (!chunk.IsSkippable()) {
      return UnsupportedContents();
    }
    at = dataStart + chunk.dataLength;
  }
  return Status::Ok();
}

// The encoding's name fills the chunk's data up to its first 0x00 (or its end); only "UTF-8" is known.
Status TomeReader::ReadTextEncoding(int64_t dataStart, int32_t dataLength) {
  constexpr int32_t kLongestName = 64;
  uint8_t data[kLongestName] = {};
  const size_t length = size_t(std::min(dataLength, kLongestName));
  if (!m_file.ReadAt(dataStart, data, length)) return Damaged(dataStart);
  const std::string name = EncodingNameOf(data, length);
  if (name != EncodingName(TextEncoding::kUtf8)) {
    return Status::NotSupported("the tome's text is in an encoding this version does not read: " +
                                (name.empty() ? std::string("(no name)") : "\"" + name + "\""));
  }
  m_encoding = TextEncoding::kUtf8;
  return Status::Ok();
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
  m_encoding = TextEncoding::kWindows1252;
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

}  // namespace lv
