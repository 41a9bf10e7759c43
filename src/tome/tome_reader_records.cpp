// TomeReader: the subject position window, block access and entry records. The lookups built on them
// are in tome_reader_find.cpp.
#include <algorithm>
#include <cstring>
#include <new>

#include "tome/block_codec.h"
#include "tome/coding.h"
#include "tome/markup.h"
#include "tome/tome_reader.h"
#include "tome/unicode.h"
#include "tome/version1_reader.h"

namespace lv {
namespace {

// The next block's head is decoded from at most this many of its compressed bytes; in the worst case
// (all literals) they still give more than 2001 bytes.
constexpr size_t kNextHeadInputLimit = 4000;
// How far a record that starts offset bytes into a block of blockBytes bytes may reach: into the
// decoded head of the next block, and never beyond the longest record a tome can hold. Damaged data
// that never reaches a 0x00 then costs no more to read than a real record.
size_t RecordLimit(size_t blockBytes, size_t offset) {
  return std::min(blockBytes - offset + size_t(kNextBlockHeadDecoded), size_t(kLongestReadableRecord));
}
constexpr size_t kExtensionPositionSize = 4;

// Splits bytes[0..size) into the parts of an entry record. True when both terminators were found;
// otherwise the parts hold what there is.
bool ParseRecord(const uint8_t* bytes, size_t size, uint8_t& flags, int32_t& extensionPosition,
                 std::string_view& subject, std::string_view& head) {
  flags = 0;
  extensionPosition = -1;
  subject = {};
  head = {};
  if (size < 1) return false;
  flags = bytes[0];
  size_t at = 1;
  if (flags & kRecordFlagExtensionBit) {
    if (size < 1 + kExtensionPositionSize) return false;
    extensionPosition = DecodeLE32Signed(bytes + 1);
    at += kExtensionPositionSize;
  }
  const char* text = reinterpret_cast<const char*>(bytes);
  const auto* subjectEnd = static_cast<const uint8_t*>(std::memchr(bytes + at, 0, size - at));
  if (subjectEnd == nullptr) {
    subject = std::string_view(text + at, size - at);
    return false;
  }
  subject = std::string_view(text + at, size_t(subjectEnd - bytes) - at);
  at = size_t(subjectEnd - bytes) + 1;
  const auto* headEnd = static_cast<const uint8_t*>(std::memchr(bytes + at, 0, size - at));
  if (headEnd == nullptr) {
    head = std::string_view(text + at, size - at);
    return false;
  }
  head = std::string_view(text + at, size_t(headEnd - bytes) - at);
  return true;
}

// Turns an entry head into a one-line plain preview in place: marks are dropped, a line break ends
// the preview, a link start drops its "target>" part, and a TAB cut off at the end of the head goes.
void StripPreview(std::string& text) {
  const size_t n = text.size();
  size_t out = 0;
  size_t i = 0;
  while (i < n) {
    if (text[i] != kMarkByte) {
      text[out++] = text[i++];
      continue;
    }
    if (i + 1 == n) break;
    const uint8_t code = uint8_t(text[i + 1]);
    if (code == kLineBreak) break;
    i += 2;
    if (code == kLinkStart) {
      size_t k = i;
      while (k < n && text[k] != '>' && text[k] != kMarkByte) ++k;
      if (k < n && text[k] == '>') i = k + 1;
    }
  }
  text.resize(out);
}

}  // namespace

int64_t TomeReader::SubjectPosition(int subjectIndex) {
  if (subjectIndex < 0 || subjectIndex >= m_subjectCount) return -1;
  if (m_windowFirstIndex < 0 || subjectIndex < m_windowFirstIndex ||
      subjectIndex >= m_windowFirstIndex + m_windowCount) {
    // The window starts at the requested subject and never reads past the end of the table.
    const int count = std::min(kWindowSize, m_subjectCount - subjectIndex);
    uint8_t raw[kWindowSize * 4];
    m_windowFirstIndex = -1;
    if (!m_file.ReadAt(m_subjectTablePosition + 4 * int64_t(subjectIndex), raw, size_t(count) * 4)) return -1;
    for (int k = 0; k < count; ++k) m_window[k] = DecodeLE32Signed(raw + 4 * k);
    m_windowFirstIndex = subjectIndex;
    m_windowCount = count;
  }
  return m_window[subjectIndex - m_windowFirstIndex];
}

bool TomeReader::MakeBlockCurrent(Section& section, int block, bool withNextHead) {
  if (section.decodedBlock == block) return true;
  section.decodedBlock = -1;
  section.blockBytes = 0;
  section.decodedSize = 0;
  const size_t blockSize = size_t(section.blockSize);
  const uint32_t length = section.blockLengths[size_t(block)];
  if (!m_file.ReadAt(section.dataBase + section.blockOffsets[size_t(block)], m_compressed.data(), length)) {
    return false;
  }
  section.blockBytes = DecodeBlock(m_compressed.data(), length, section.buffer.data(), blockSize, false);
  section.decodedSize = section.blockBytes;
  // The head of the next block lets a record that starts here and ends there read as one run. It is
  // only joined to a block that decoded whole, so the run never has a gap.
  if (withNextHead && section.blockBytes == blockSize && block + 1 < section.BlockCount()) {
    const size_t input = std::min<size_t>(section.blockLengths[size_t(block) + 1], kNextHeadInputLimit);
    if (m_file.ReadAt(section.dataBase + section.blockOffsets[size_t(block) + 1], m_compressed.data(), input)) {
      section.decodedSize += DecodeBlock(m_compressed.data(), input, section.buffer.data() + blockSize,
                                         std::min(kNextHeadRoom, blockSize), true);
    }
  }
  section.decodedBlock = block;
  return true;
}

bool TomeReader::LocateRecord(int subjectIndex, Record& record) {
  record = Record{};
  const int64_t position = SubjectPosition(subjectIndex);
  if (position < 0 || m_main.blockSize <= 0) return false;
  const int64_t block = position / m_main.blockSize;
  const size_t offset = size_t(position % m_main.blockSize);
  if (block >= m_main.BlockCount() || !MakeBlockCurrent(m_main, int(block), true)) return false;
  if (offset >= m_main.blockBytes) return false;
  // A record ends at the latest where the next one begins (the positions ascend).
  const int64_t next = subjectIndex + 1 < m_subjectCount ? SubjectPosition(subjectIndex + 1) : -1;
  size_t limit = RecordLimit(m_main.blockBytes, offset);
  if (next > position) limit = size_t(std::min<int64_t>(int64_t(limit), next - position));
  const size_t size = std::min(m_main.decodedSize - offset, limit);
  if (ParseRecord(m_main.buffer.data() + offset, size, record.flags, record.extensionPosition, record.subject,
                  record.head) ||
      size == limit) {
    return true;  // whole, or cut at the limit
  }
  return AssembleLongRecord(int(block), offset, limit, record);
}

// A record that runs on beyond the decoded head of the next block (blocks smaller than the head) is
// gathered block by block until both of its terminators are in, the stream ends or the record reaches
// the limit. The blocks are decoded straight from runs of the file read a few KB at a time, so that
// tiny blocks cost one read per run rather than per block.
bool TomeReader::AssembleLongRecord(int block, size_t offset, size_t limit, Record& record) {
  constexpr size_t kRunBytes = 16384;
  const size_t blockSize = size_t(m_main.blockSize);
  m_recordScratch.assign(reinterpret_cast<const char*>(m_main.buffer.data()) + offset, m_main.blockBytes - offset);
  std::vector<uint8_t> run;
  int64_t runStart = 0;
  bool streamGoesOn = m_main.blockBytes == blockSize;
  for (int next = block + 1; streamGoesOn && next < m_main.BlockCount() && m_recordScratch.size() < limit; ++next) {
    const int64_t start = m_main.dataBase + m_main.blockOffsets[size_t(next)];
    const size_t length = m_main.blockLengths[size_t(next)];
    if (start < runStart || start + int64_t(length) > runStart + int64_t(run.size())) {
      run.resize(size_t(std::min<int64_t>(int64_t(std::max(length, kRunBytes)), m_file.Size() - start)));
      runStart = start;
      if (!m_file.ReadAt(start, run.data(), run.size())) break;
    }
    // The whole block is decoded (a decoder never writes a literal group in part), then cut to the limit.
    const size_t before = m_recordScratch.size();
    m_recordScratch.resize(before + blockSize);
    const size_t decoded = DecodeBlock(run.data() + (start - runStart), length,
                                       reinterpret_cast<uint8_t*>(m_recordScratch.data()) + before, blockSize, false);
    const size_t added = std::min(decoded, limit - before);
    m_recordScratch.resize(before + added);
    // Only a block that brings a 0x00 can complete the record; others are appended without a parse.
    if (std::memchr(m_recordScratch.data() + before, 0, added) != nullptr &&
        ParseRecord(reinterpret_cast<const uint8_t*>(m_recordScratch.data()), m_recordScratch.size(), record.flags,
                    record.extensionPosition, record.subject, record.head)) {
      return true;
    }
    streamGoesOn = decoded == blockSize;
  }
  // The stream ends inside the record, or the record reached the limit: what there is of it is the record.
  ParseRecord(reinterpret_cast<const uint8_t*>(m_recordScratch.data()), m_recordScratch.size(), record.flags,
              record.extensionPosition, record.subject, record.head);
  return true;
}

std::string_view TomeReader::SubjectView(int subjectIndex) {
  if (!m_open) return {};
  if (!m_currentLayout) return m_version1->Subject(subjectIndex);
  Record record;
  LocateRecord(subjectIndex, record);
  return record.subject;
}

std::string TomeReader::Subject(int subjectIndex) { return std::string(SubjectView(subjectIndex)); }

std::string TomeReader::Preview(int subjectIndex, bool strip) {
  if (!m_open) return {};
  if (!m_currentLayout) return m_version1->Preview(subjectIndex);
  Record record;
  LocateRecord(subjectIndex, record);
  std::string preview(record.head);
  if (strip) {
    StripPreview(preview);
    // The head ends where 150 bytes end, which in UTF-8 may be inside a character.
    if (m_encoding == TextEncoding::kUtf8) preview.resize(WholeUtf8Length(preview));
  }
  return preview;
}

int TomeReader::ExtensionPosition(int subjectIndex) {
  if (!m_open || !m_currentLayout) return -1;
  Record record;
  LocateRecord(subjectIndex, record);
  return record.extensionPosition;
}

bool TomeReader::LoadEntryText(int subjectIndex) {
  m_currentEntryIndex = -1;
  m_entryText.clear();
  if (!m_open || subjectIndex < 0 || subjectIndex >= m_subjectCount) return false;
  try {
    if (!m_currentLayout) {
      m_version1->LoadText(subjectIndex, m_entryText);
    } else {
      Record record;
      LocateRecord(subjectIndex, record);
      m_entryText.assign(record.head);
      // Entries loaded one after the other (an export, a search) take pieces that follow one another
      // in the extension stream, as the builder writes them. A piece that starts inside one already
      // given in the same run is damage: its entry keeps only its head, so that entries pointed at
      // one long piece cannot make a small tome read as a huge one.
      if (subjectIndex != m_nextIndexInRun) m_runExtensionEnd = 0;
      m_nextIndexInRun = subjectIndex + 1;
      if (record.extensionPosition >= 0 && record.extensionPosition >= m_runExtensionEnd) {
        AppendExtension(record.extensionPosition);
        m_runExtensionEnd = int64_t(record.extensionPosition) + int64_t(m_entryText.size() - record.head.size()) + 1;
      }
    }
  } catch (const std::bad_alloc&) {
    m_entryText = {};
    return false;
  }
  m_currentEntryIndex = subjectIndex;
  return true;
}

bool TomeReader::ReadVersion1BookmarkTable(std::string& table) {
  table.clear();
  if (!m_open || m_currentLayout) return false;
  if (!m_version1->HasBookmarkTable()) return true;
  table.resize(kBookmarkTableSize);
  return m_version1->ReadBookmarkTable(reinterpret_cast<uint8_t*>(table.data()));
}

bool TomeReader::IsVersion1EntryWhole(int subjectIndex) const {
  return m_open && !m_currentLayout && m_version1->HasWholeEntry(subjectIndex);
}

bool TomeReader::ReadVersion1StoredText(int subjectIndex, std::vector<uint8_t>& stored) {
  stored.clear();
  if (!m_open || m_currentLayout) return false;
  return m_version1->ReadStoredText(subjectIndex, stored);
}

// Appends the entry's piece of the extension stream: from the position up to its 0x00, across as many
// blocks as it spans. A piece that runs off the stream is cut there, and one longer than any the
// builder writes is cut at that length (the block order rule already bounds the stream by the file).
void TomeReader::AppendExtension(int64_t extensionPosition) {
  if (m_extension.blockSize <= 0) return;
  const size_t blockSize = size_t(m_extension.blockSize);
  const size_t textLimit = size_t(kEntryHeadLength + kMaxTextStreamLength);
  int64_t block = extensionPosition / m_extension.blockSize;
  size_t offset = size_t(extensionPosition % m_extension.blockSize);
  for (; block < m_extension.BlockCount(); ++block, offset = 0) {
    if (!MakeBlockCurrent(m_extension, int(block), false) || offset >= m_extension.blockBytes) return;
    const uint8_t* start = m_extension.buffer.data() + offset;
    const size_t available = std::min(m_extension.blockBytes - offset, textLimit - m_entryText.size());
    const auto* end = static_cast<const uint8_t*>(std::memchr(start, 0, available));
    m_entryText.append(reinterpret_cast<const char*>(start), end ? size_t(end - start) : available);
    if (end != nullptr || m_extension.blockBytes < blockSize || m_entryText.size() >= textLimit) return;
  }
}

}  // namespace lv
