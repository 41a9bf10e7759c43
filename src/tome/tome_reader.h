// TomeReader: random access to one open tome of either layout (see tome_builder.cpp for the byte
// map). Works on demand: at most one decoded block per text section and 50 subject positions are held.
// Opening reads the headers and block tables, and passes over the subject table once (4 bytes a
// subject, read a few KB at a time) to check that its positions ascend.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "tome/format.h"
#include "tome/status.h"
#include "tome/text_encoding.h"
#include "tome/tome_file.h"

namespace lv {

class TomeHeader;
class Version1Reader;

struct BookmarkRecord {
  int32_t nameLength = 0;  // 0 marks a free record
  int32_t subjectNumber = 0;
  int32_t reserved = 0;
  std::string name;  // at most 81 bytes
  bool IsFree() const { return nameLength == 0; }
};

enum class OpenMode { kReadOnly, kReadWrite };

// How FindSubject matches a subject against the text (letters compared by the collation).
enum class SubjectMatch {
  kExact,   // the subject equals the text
  kPrefix,  // the subject begins with the text
};

class TomeReader {
 public:
  TomeReader();
  ~TomeReader();  // saves the bookmarks of a writable tome
  TomeReader(const TomeReader&) = delete;
  TomeReader& operator=(const TomeReader&) = delete;

  // Opens the tome at path. Any open tome is closed first (saving its bookmarks when writable).
  // Returns ok, NotSupported for a tome of a version or with contents this reader does not handle
  // (callers tell the user so), or another failure (cannot open, damaged beyond use, out of memory).
  Status Open(const std::string& path, OpenMode mode);
  void Close();

  bool IsOpen() const { return m_open; }
  bool IsReadOnly() const { return m_readOnly; }
  bool IsCurrentLayout() const { return m_currentLayout; }
  int SubjectCount() const { return m_subjectCount; }
  int SortedFlag() const { return m_sortedFlag; }
  int Version() const { return m_version; }
  // Windows-1252 unless the tome's text-encoding chunk names UTF-8 (version-1 tomes are Windows-1252).
  TextEncoding Encoding() const { return m_encoding; }

  // REQUIRES: 0 <= subjectIndex < SubjectCount(). Damaged data yields an empty or cut string.
  std::string Subject(int subjectIndex);
  // The entry head as stored, or with strip a one-line plain preview (version-1: its own preview).
  std::string Preview(int subjectIndex, bool strip);
  // The extension position of the entry, or -1 when its text is whole in its record.
  int ExtensionPosition(int subjectIndex);

  // Makes the whole stored text of the entry the current entry text. False when no tome is open, the
  // index is out of range or memory runs out; damaged data gives an empty or cut text. Loaded in
  // index order, an entry whose extension piece starts inside the piece of an entry before it in the
  // same run keeps only its head.
  bool LoadEntryText(int subjectIndex);
  // The current entry text (without its terminating 0x00), valid until the next LoadEntryText, Open
  // or Close.
  std::string_view CurrentEntryText() const { return m_entryText; }
  int CurrentEntryLength() const { return static_cast<int>(m_entryText.size()); }
  int CurrentEntryIndex() const { return m_currentEntryIndex; }

  // Version-1 tomes only: replaces stored with the entry's text bytes as the file holds them (packed
  // text unless the base version is 1). False for a current-layout tome or when the entry is not
  // whole (IsVersion1EntryWhole).
  bool ReadVersion1StoredText(int subjectIndex, std::vector<uint8_t>& stored);
  // Version-1 tomes only: true when the entry's subject and text records are whole in the file. The
  // reader shows an entry that is not whole with an empty text; a conversion must refuse it.
  bool IsVersion1EntryWhole(int subjectIndex) const;
  // Version-1 tomes only: replaces table with the bookmark table as stored, or with nothing when the
  // version word shows none. False when it cannot be read or no version-1 tome is open.
  bool ReadVersion1BookmarkTable(std::string& table);

  // The first subject matching text (see FindByBinarySearch for a sorted tome), or -1 when none.
  int FindSubject(SubjectMatch match, std::string_view text);

  // Records 0 to 50 of the bookmark table. The table goes back into a writable file when the tome
  // closes, and only when a record was changed: an untouched tome keeps its modification time.
  BookmarkRecord Bookmark(int recordNumber) const;
  void SetBookmark(int recordNumber, int32_t nameLength, int32_t subjectNumber, int32_t reserved,
                   std::string_view name);

 private:
  // One text section: its block table and the one decoded block it holds.
  struct Section {
    int64_t dataBase = 0;                // file offset of the first compressed block
    int32_t blockSize = 0;               // 0 when the section has no blocks
    std::vector<uint32_t> blockOffsets;  // from dataBase
    std::vector<uint32_t> blockLengths;
    std::vector<uint8_t> buffer;  // decoded block (plus the next block's head for the main section)
    int decodedBlock = -1;
    size_t blockBytes = 0;   // decoded bytes of the block itself
    size_t decodedSize = 0;  // valid bytes in buffer, the next block's head included
    int BlockCount() const { return static_cast<int>(blockLengths.size()); }
  };
  // The parts of one entry record; the views point into a block buffer or m_recordScratch and stay
  // valid until the next record is located.
  struct Record {
    uint8_t flags = 0;
    int32_t extensionPosition = -1;
    std::string_view subject;
    std::string_view head;
  };

  Status OpenCurrentLayout(const TomeHeader& header);
  Status OpenVersion1(const std::string& path);
  Status ReadChunks(int32_t chunkCount, int64_t chunkAreaEnd);
  Status ReadTextEncoding(int64_t dataStart, int32_t dataLength);
  bool ReadSection(int64_t start, Section& section, int64_t& sectionEnd);
  bool SubjectPositionsAscend() const;
  bool AllocateBuffers();
  bool MakeBlockCurrent(Section& section, int block, bool withNextHead);
  int64_t SubjectPosition(int subjectIndex);
  bool LocateRecord(int subjectIndex, Record& record);
  bool AssembleLongRecord(int block, size_t offset, size_t limit, Record& record);
  std::string_view SubjectView(int subjectIndex);
  void AppendExtension(int64_t extensionPosition);
  int FindByScan(SubjectMatch match, std::string_view text);
  int FindByBinarySearch(std::string_view text);
  std::string_view ProbeSubject(int subjectIndex, int depth);
  void ReadBookmarks();
  void SaveBookmarks();
  void ReleaseAll();

  static constexpr int kWindowSize = 50;
  // Room behind a decoded main block for the decoded head of the next one.
  static constexpr size_t kNextHeadRoom = 3000;

  bool m_open = false;
  bool m_readOnly = false;
  bool m_currentLayout = true;
  int m_sortedFlag = 0;
  int m_version = 0;
  TextEncoding m_encoding = TextEncoding::kWindows1252;
  int m_subjectCount = 0;
  TomeFile m_file;  // current layout only; a version-1 reader owns its own
  std::unique_ptr<Version1Reader> m_version1;
  int64_t m_subjectTablePosition = 0;
  int64_t m_bookmarkTablePosition = -1;  // -1: no bookmark table, never saved
  BookmarkRecord m_bookmarks[kBookmarkRecordCount];
  bool m_bookmarksChanged = false;
  int32_t m_window[kWindowSize] = {};
  int m_windowFirstIndex = -1;
  int m_windowCount = 0;
  Section m_main;
  Section m_extension;
  std::vector<uint8_t> m_compressed;
  std::string m_recordScratch;  // a record assembled from several blocks
  // Subjects met in the first steps of the binary search: every lookup probes the same ones there.
  std::unordered_map<int, std::string> m_probeSubjects;
  int m_currentEntryIndex = -1;
  std::string m_entryText;
  // Entry texts loaded in index order form a run: the index that continues it, and where the
  // extension pieces given in it end.
  int m_nextIndexInRun = -1;
  int64_t m_runExtensionEnd = 0;
};

}  // namespace lv
