// Version1Reader: the read-only version-1 tome layout, owned by TomeReader for such a tome.
//
// Byte map (32-bit little-endian integers, offsets from the start of the file):
//   0   identity words (16, not examined)
//   16  version word: base version (0..3) + 1000 once the reserved tail is appended + 500 once the
//       bookmark table is appended
//   20  subject count N
//   24  header length H: bytes holding this header, the offset table and the subject records
//   28  N subject record offsets (each below H)
//       subject records: subject length (4), subject bytes, text offset (4)
//   text record at its text offset: text length (4), stored text (plain for base version 1, else
//   version-1 text packing, see version1_text.h)
// Opening for writing appends the 88-byte reserved tail and the 4743-byte bookmark table when the
// version word does not show them yet, so the bookmark table is then the last 4743 bytes of the file.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tome/format.h"
#include "tome/status.h"
#include "tome/tome_file.h"
#include "tome/version1_text.h"

namespace lv {

class Version1Reader {
 public:
  // Opens path; writable appends the missing tail and bookmark table first. Fails with NotSupported
  // for a base version outside 0..3, otherwise (cannot open, damaged header, out of memory) with
  // another code. A refused or read-only open never writes to the file.
  Status Open(const std::string& path, bool writable);
  void Close();

  int SubjectCount() const { return m_subjectCount; }
  int32_t VersionWord() const { return m_versionWord; }
  // First byte of the bookmark table (the last 4743 bytes of the file). REQUIRES: opened writable.
  int64_t BookmarkTablePosition() const { return m_file.Size() - kBookmarkTableSize; }

  // The subject of index, cut at the end of the header when its record runs past it; empty for a
  // damaged record. The view stays valid until Close.
  std::string_view Subject(int index) const;
  // The version-1 preview: at most 250 stored bytes decoded (at most 201 characters), cut before the
  // first line break ("@").
  std::string Preview(int index);
  // Replaces text with the whole stored text of the entry (line breaks as TAB + code 8). An entry that
  // is not whole gives an empty text. Throws std::bad_alloc when memory runs out.
  void LoadText(int index, std::string& text);
  // Replaces stored with the text record's stored bytes as they are (packed unless the base version
  // is 1). False when the entry is not whole (see HasWholeEntry) or cannot be read.
  bool ReadStoredText(int index, std::vector<uint8_t>& stored) const;
  // True when the subject record lies inside the header and the text record, with every byte its
  // length claims, before the end of the text data (the file without the appended tail and bookmark
  // table). Preview and LoadText give nothing for an entry that is not whole.
  bool HasWholeEntry(int index) const {
    int64_t start = 0;
    int64_t length = 0;
    return LocateText(index, start, length);
  }

  // True when the version word shows the appended bookmark table and the file can hold it behind the
  // fixed header; the table is then the last 4743 bytes of the file.
  bool HasBookmarkTable() const { return m_hasBookmarks && m_file.Size() >= kV1HeaderFixedSize + kBookmarkTableSize; }
  bool ReadBookmarkTable(uint8_t* table) const;
  bool WriteBookmarkTable(const uint8_t* table);

 private:
  Status AppendMissingParts(bool hasTail, bool hasBookmarks);
  // Locates the text record of index: offset of its stored bytes and their length; false when the
  // entry is not whole.
  bool LocateText(int index, int64_t& textStart, int64_t& textLength) const;

  TomeFile m_file;
  std::vector<uint8_t> m_header;
  int m_baseVersion = 0;
  int32_t m_versionWord = 0;
  int m_subjectCount = 0;
  bool m_hasBookmarks = false;
  int64_t m_textDataEnd = 0;      // where the text records end: the appended tail and table follow
  std::vector<uint8_t> m_stored;  // stored bytes of the text being loaded
  uint8_t m_previewBuffer[kVersion1PreviewBytes] = {};
};

}  // namespace lv
