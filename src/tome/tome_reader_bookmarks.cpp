// TomeReader: the bookmark table, read when a tome opens and written back on closing when it changed.
#include <algorithm>
#include <string>
#include <string_view>
#include <utility>

#include "tome/coding.h"
#include "tome/tome_reader.h"
#include "tome/version1_reader.h"

namespace lv {
namespace {

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
