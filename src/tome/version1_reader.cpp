#include "tome/version1_reader.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "tome/coding.h"
#include "tome/format.h"
#include "tome/version1_text.h"

namespace lv {
namespace {

constexpr int kV1HighestBaseVersion = 3;
constexpr int kV1PlainBaseVersion = 1;

Status Damaged() { return Status::Corruption("the version-1 tome is damaged"); }

std::string_view CutBefore(std::string_view text, char stop) {
  const size_t at = text.find(stop);
  return at == std::string_view::npos ? text : text.substr(0, at);
}

}  // namespace

Status Version1Reader::Open(const std::string& path, bool writable) {
  Close();
  if (Status opened = m_file.Open(path, writable); !opened.IsOk()) return opened;
  uint8_t fixed[kV1HeaderFixedSize];
  if (!m_file.ReadAt(0, fixed, sizeof fixed)) return Damaged();
  const int32_t word = DecodeLE32Signed(fixed + kVersionOffset);
  const int32_t count = DecodeLE32Signed(fixed + kV1SubjectCountOffset);
  const int32_t headerLength = DecodeLE32Signed(fixed + kV1HeaderLengthOffset);
  if (headerLength < kV1HeaderFixedSize || headerLength > m_file.Size()) return Damaged();
  if (count < 0 || kV1HeaderFixedSize + 4 * int64_t(count) > headerLength) return Damaged();

  // The marks are taken off with ">=" so that base version 0 keeps its marks too (with ">" a word of
  // 1500 would lose them and every writable open would append another table).
  const bool hasTail = word >= kV1ReservedTailMark;
  int32_t base = hasTail ? word - kV1ReservedTailMark : word;
  const bool hasBookmarks = base >= kV1BookmarksMark;
  if (hasBookmarks) base -= kV1BookmarksMark;
  // Refused before anything is written, so an unsupported tome is left as it was.
  if (base < 0 || base > kV1HighestBaseVersion) {
    return Status::NotSupported("unsupported version-1 base version " + std::to_string(base));
  }

  try {
    m_header.resize(size_t(headerLength));
  } catch (const std::bad_alloc&) {
    return Status::OutOfMemory("out of memory");
  }
  if (!m_file.ReadAt(0, m_header.data(), m_header.size())) return Damaged();
  m_versionWord = word;
  if (writable) {
    if (Status appended = AppendMissingParts(hasTail, hasBookmarks); !appended.IsOk()) return appended;
    // The bookmark table must not reach back into the header it would overwrite when saved.
    if (BookmarkTablePosition() < headerLength) return Damaged();
  }
  m_baseVersion = base;
  m_subjectCount = count;
  m_hasBookmarks = writable || hasBookmarks;
  const bool tailNow = writable || hasTail;
  m_textDataEnd = m_file.Size() - (tailNow ? kV1ReservedTailSize : 0) - (m_hasBookmarks ? kBookmarkTableSize : 0);
  return Status::Ok();
}

// Appends the missing zero bytes first and only then writes the version word that announces them, so
// that a failed write never leaves a word that claims a table the file does not hold.
Status Version1Reader::AppendMissingParts(bool hasTail, bool hasBookmarks) {
  if (hasTail && hasBookmarks) return Status::Ok();
  const int64_t originalSize = m_file.Size();
  const size_t missing = (hasTail ? 0 : kV1ReservedTailSize) + (hasBookmarks ? 0 : kBookmarkTableSize);
  int32_t word = m_versionWord;
  if (!hasTail) word += kV1ReservedTailMark;
  if (!hasBookmarks) word += kV1BookmarksMark;
  uint8_t encoded[4];
  EncodeLE32(encoded, uint32_t(word));
  if (!m_file.AppendZeros(missing) || !m_file.WriteAt(kVersionOffset, encoded, 4)) {
    m_file.Truncate(originalSize);
    return Status::IoError("cannot append the bookmark table");
  }
  m_versionWord = word;
  return Status::Ok();
}

void Version1Reader::Close() {
  m_file.Close();
  m_header = {};
  m_stored = {};
  m_baseVersion = 0;
  m_versionWord = 0;
  m_subjectCount = 0;
  m_hasBookmarks = false;
  m_textDataEnd = 0;
}

std::string_view Version1Reader::Subject(int index) const {
  if (index < 0 || index >= m_subjectCount) return {};
  const int64_t headerLength = int64_t(m_header.size());
  const int64_t record = DecodeLE32Signed(&m_header[kV1HeaderFixedSize + 4 * size_t(index)]);
  if (record < 0 || record + 4 > headerLength) return {};
  const int64_t length = DecodeLE32Signed(&m_header[size_t(record)]);
  if (length <= 0) return {};
  const int64_t available = headerLength - record - 4;
  return std::string_view(reinterpret_cast<const char*>(&m_header[size_t(record) + 4]),
                          size_t(std::min(length, available)));
}

// Both records of the entry must be whole: the subject record inside the header, and the text record,
// its length field and every byte it claims, before the end of the text data (the appended tail and
// bookmark table are not text). A cut or damaged tome thus never passes a part of an entry for all of it.
bool Version1Reader::LocateText(int index, int64_t& textStart, int64_t& textLength) const {
  if (index < 0 || index >= m_subjectCount) return false;
  const int64_t headerLength = int64_t(m_header.size());
  const int64_t record = DecodeLE32Signed(&m_header[kV1HeaderFixedSize + 4 * size_t(index)]);
  if (record < 0 || record + 4 > headerLength) return false;
  const int64_t subjectLength = DecodeLE32Signed(&m_header[size_t(record)]);
  const int64_t offsetField = record + 4 + subjectLength;
  if (subjectLength < 0 || offsetField + 4 > headerLength) return false;
  const int64_t textRecord = DecodeLE32Signed(&m_header[size_t(offsetField)]);
  if (textRecord < 0 || textRecord + 4 > m_textDataEnd) return false;
  uint8_t lengthField[4];
  if (!m_file.ReadAt(textRecord, lengthField, 4)) return false;
  textStart = textRecord + 4;
  textLength = DecodeLE32Signed(lengthField);
  return textLength >= 0 && textLength <= m_textDataEnd - textStart;
}

std::string Version1Reader::Preview(int index) {
  int64_t start = 0;
  int64_t length = 0;
  if (!LocateText(index, start, length)) return {};
  const size_t stored = size_t(std::min<int64_t>(length, kVersion1PreviewBytes));
  if (!m_file.ReadAt(start, m_previewBuffer, stored)) return {};
  if (m_baseVersion == kV1PlainBaseVersion) {
    const std::string_view plain(reinterpret_cast<const char*>(m_previewBuffer), stored);
    return std::string(CutBefore(CutBefore(plain, '\0'), '@'));
  }
  char decoded[kVersion1PreviewCharacters];
  const size_t n =
      DecodeVersion1TextForReader(m_previewBuffer, stored, decoded, sizeof decoded, Version1TextMode::kPreview);
  return std::string(CutBefore(std::string_view(decoded, n), '@'));
}

void Version1Reader::LoadText(int index, std::string& text) {
  text.clear();
  if (!ReadStoredText(index, m_stored) || m_stored.empty()) return;
  if (m_baseVersion == kV1PlainBaseVersion) {
    const std::string_view plain(reinterpret_cast<const char*>(m_stored.data()), m_stored.size());
    text.assign(CutBefore(plain, '\0'));
    return;
  }
  // Every nibble yields at most one byte, so three times the stored length is never reached.
  text.resize(3 * m_stored.size());
  text.resize(DecodeVersion1TextForReader(m_stored.data(), m_stored.size(), text.data(), text.size(),
                                          Version1TextMode::kEntryText));
}

bool Version1Reader::ReadStoredText(int index, std::vector<uint8_t>& stored) const {
  stored.clear();
  int64_t start = 0;
  int64_t length = 0;
  if (!LocateText(index, start, length)) return false;
  stored.resize(size_t(length));
  return m_file.ReadAt(start, stored.data(), stored.size());
}

bool Version1Reader::ReadBookmarkTable(uint8_t* table) const {
  return m_file.ReadAt(BookmarkTablePosition(), table, kBookmarkTableSize);
}

bool Version1Reader::WriteBookmarkTable(const uint8_t* table) {
  return m_file.WriteAt(BookmarkTablePosition(), table, kBookmarkTableSize);
}

}  // namespace lv
