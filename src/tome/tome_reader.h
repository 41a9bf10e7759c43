// CTomeReader: random access to one open tome of either layout (see tome_builder.cpp for the byte
// map). Works on demand: at most one decoded block per text section and 50 subject positions are held,
// so a tome of any size opens at once.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "tome/format.h"

namespace lv {

class CVersion1Reader;

struct BookmarkRecord {
  int32_t nameLength = 0;  // 0 marks a free record
  int32_t subjectNumber = 0;
  int32_t reserved = 0;
  std::string name;  // at most 81 bytes
  bool IsFree() const { return nameLength == 0; }
};

class CTomeReader {
 public:
  CTomeReader();
  ~CTomeReader();  // saves the bookmarks of a writable tome
  CTomeReader(const CTomeReader&) = delete;
  CTomeReader& operator=(const CTomeReader&) = delete;

  // mode kOpenReadOnly (2) opens read-only, any other value read and write. Any open tome is closed
  // first (saving its bookmarks when writable). Returns kOpenOk (1), kOpenFailed (-1: cannot open,
  // damaged beyond use, out of memory) or kOpenUnsupported (-2).
  int Open(const std::string& path, int mode);
  void Close();

  bool IsOpen() const { return m_open; }
  bool IsReadOnly() const { return m_readOnly; }
  bool IsCurrentLayout() const { return m_currentLayout; }
  int GetSubjectCount() const { return m_subjectCount; }
  int GetSortedFlag() const { return m_sortedFlag; }
  int GetVersion() const { return m_version; }

  // REQUIRES: 0 <= subjectIndex < GetSubjectCount(). Damaged data yields an empty or cut string.
  std::string GetSubject(int subjectIndex);
  // The entry head as stored, or with strip a one-line plain preview (version-1: its own preview).
  std::string GetPreview(int subjectIndex, bool strip);
  // The extension position of the entry, or -1 when its text is whole in its record.
  int GetExtensionPosition(int subjectIndex);

  // Makes the whole stored text of the entry the current entry text: 1 on success, 0 on failure.
  int LoadEntryText(int subjectIndex);
  // The current entry text (without its terminating 0x00), valid until the next LoadEntryText, Open
  // or Close.
  std::string_view CurrentEntryText() const { return m_entryText; }
  int CurrentEntryLength() const { return static_cast<int>(m_entryText.size()); }
  int CurrentEntryIndex() const { return m_currentEntryIndex; }

  // mode 0: the first subject equal to text; mode 1: a subject beginning with text. -1 when none.
  int FindSubject(int mode, std::string_view text);

  // Records 0 to 50 of the bookmark table.
  BookmarkRecord GetBookmark(int recordNumber) const;
  void SetBookmark(int recordNumber, int32_t nameLength, int32_t subjectNumber, int32_t reserved,
                   std::string_view name);

  // HTML font size 1..7 of entry pages; 3 at construction.
  int GetEntryPageFontSize() const { return m_entryPageFontSize; }
  void SetEntryPageFontSize(int size) { m_entryPageFontSize = size; }

 private:
  struct Section {
    int64_t dataBase = 0;  // file offset of the first compressed block
    int32_t blockSize = 0;
    std::vector<uint32_t> blockOffsets;
    std::vector<uint32_t> blockLengths;
    std::vector<uint8_t> buffer;  // decoded block (plus the next block's head for the main section)
    int decodedBlock = -1;
    size_t decodedSize = 0;  // valid bytes in buffer
  };

  int OpenCurrentLayout();
  int OpenVersion1(const std::string& path);
  bool ReadSection(int64_t start, int64_t fileSize, Section& section, int64_t& sectionEnd);
  bool MakeBlockCurrent(Section& section, int block, bool withNextHead);
  bool ReadAt(int64_t offset, void* data, size_t size);
  int64_t SubjectPosition(int subjectIndex);
  // Locates the record of subjectIndex in the main block buffer: pointer and bytes available.
  bool LocateRecord(int subjectIndex, const uint8_t*& record, size_t& available);
  void ReadBookmarks();
  void SaveBookmarks();
  void ReleaseAll();

  bool m_open = false;
  bool m_readOnly = false;
  bool m_currentLayout = true;
  int m_sortedFlag = 0;
  int m_version = 0;
  int m_subjectCount = 0;
  std::FILE* m_file = nullptr;
  int64_t m_fileSize = 0;
  std::unique_ptr<CVersion1Reader> m_version1;
  int64_t m_subjectTablePosition = 0;
  int64_t m_bookmarkTablePosition = -1;  // -1: no bookmark table
  BookmarkRecord m_bookmarks[kBookmarkRecordCount];
  std::vector<int32_t> m_window;
  int m_windowFirstIndex = -1;
  Section m_main;
  Section m_extension;
  std::vector<uint8_t> m_compressed;
  int m_currentEntryIndex = -1;
  std::string m_entryText;
  int m_entryPageFontSize = 3;
};

}  // namespace lv
