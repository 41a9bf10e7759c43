// TomeBuilder: parses one source text (tagged or tab-separated) entry by entry into anonymous
// temporary files, then writes one tome with SaveTome. Memory use does not grow with the source.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "tome/file_util.h"
#include "tome/format.h"
#include "tome/progress.h"
#include "tome/source_encoding.h"
#include "tome/status.h"
#include "tome/text_encoding.h"

namespace lv {

class SourceReader;

class TomeBuilder {
 public:
  // Creates the five temporary files; BuildStatus() tells whether that worked.
  TomeBuilder();
  ~TomeBuilder();
  TomeBuilder(const TomeBuilder&) = delete;
  TomeBuilder& operator=(const TomeBuilder&) = delete;

  // One entry from a seekable source stream: true when an entry was stored; false at the end of the
  // source (and, for tab-separated text, at a line with an empty subject or text), or once the build
  // has failed. Tab-separated lines end as LineEndOf tells, judged once when the source is first read.
  // The builder reads ahead through its own buffer, so between parse steps the stream's position is
  // its own; after the end the stream stands just after the bytes parsed. Bytes 0x00 of the source
  // are left out (they would end a stored string early), and subjects are cut to
  // kMaxStoredSubjectLength bytes (see CutSubjectCount).
  bool ParseTaggedEntry(std::FILE* source);
  bool ParseTabEntry(std::FILE* source);
  // Parse until the end; progress (may be null) follows the offset in the source, or with stepFlag
  // steps once per entry.
  void ImportTaggedText(std::FILE* source, Progress* progress);
  void ImportTabText(std::FILE* source, Progress* progress, bool stepFlag);

  // Stores one entry whose text is already stored entry text (marks as TAB + code), with the sorted
  // check. Used by the version-1 upgrade, which must keep every entry, empty texts included.
  void AddEntry(std::string_view subject, std::string_view storedText);

  // Writes the tome to out. Fails with the build's failure when it had failed before; with
  // OutOfMemory ("out of memory", "a block could not be compressed": nothing written then); or with an
  // IO error when a temporary file or out cannot be read or written (the build has then failed too).
  Status SaveTome(std::FILE* out);

  // The encoding of the stored texts the builder is given: the sorted check collates by it, long
  // subjects are cut at a character, and a UTF-8 tome gets its text-encoding chunk. Set it before the
  // first entry; Windows-1252 until then.
  void SetEncoding(TextEncoding encoding) { m_encoding = encoding; }
  TextEncoding Encoding() const { return m_encoding; }

  int EntryCount() const { return m_entryCount; }
  int SortedFlag() const { return m_sortedFlag; }
  // The first subject found out of order when SortedFlag() is 0.
  const std::string& PreviousSubject() const { return m_previousSubject; }
  int LongSubjectFlag() const { return m_longSubjectFlag; }
  // Subjects cut to kMaxStoredSubjectLength bytes so that their records stay readable.
  int CutSubjectCount() const { return m_cutSubjectCount; }

  // Ok until the build cannot give a good tome, then its first failure for good: the source could not
  // be read, a temporary file not created or written (IO errors), or a text stream would outgrow its
  // 32-bit positions (NotSupported). The parse steps then stop and SaveTome returns this status.
  const Status& BuildStatus() const { return m_status; }

  // A record may run at most kRecordLookAhead bytes into the next block, so at most 2001 bytes long:
  // flags (1) + extension position (4) + subject + 0x00 (1) + head (150) + 0x00 (1) <= 2001.
  static constexpr int kMaxStoredSubjectLength = 1844;
  static_assert(1 + 4 + kMaxStoredSubjectLength + 1 + kEntryHeadLength + 1 == kMaxRecordLength);
  // Longest text stream accepted. Its compressed section (at most 9/8 of it plus block tables) still
  // has a section length below 2^31.
  static constexpr int64_t kMaxStreamLength = kMaxTextStreamLength;
  // cancelled is asked once per entry and once per compressed block; when it answers true the build
  // fails with a Cancelled status, so the parse steps stop and SaveTome writes nothing more.
  void SetCancelCheck(std::function<bool()> cancelled) { m_cancelled = std::move(cancelled); }

  // Lowers the limit on each text stream (tests use it to reach the limit with small sources).
  void SetMaxStreamLength(int64_t bytes) { m_maxStreamLength = bytes; }

  // Compresses source (read from its start) into destination as one text section. OutOfMemory, or an
  // IO error without a message (the caller names the cause from errno).
  // cancelled (may be empty) is asked before each block: Cancelled when it answers true.
  static Status CompressSection(std::FILE* source, std::FILE* destination, const std::function<bool()>& cancelled = {});

 private:
  void WriteEntry(std::string_view subject, std::string_view storedText);
  void ApplySortedCheck(std::string_view subject);

  // Parsing (source_parser.cpp).
  SourceReader* ReaderFor(std::FILE* source);
  bool EndOfSource();
  void ReadSubject(SourceReader& in, bool tagged);
  void ConvertTaggedText(SourceReader& in, int64_t length);
  void ConvertTabText(SourceReader& in);
  size_t ConvertChunk(const uint8_t* p, size_t n, bool final, bool lineBreakMarks);

  // One entry's stored text as it is produced: the head in memory, the rest straight into the
  // extension stream file (tome_builder_entries.cpp).
  void BeginEntryText();
  void AppendStoredText(const uint8_t* bytes, size_t n);
  void AppendMark(uint8_t code);
  void FinishEntry();
  bool Failed() const { return !m_status.IsOk(); }
  // Fails the build with Cancelled when the cancel check asks to stop.
  bool CheckCancelled();
  void Fail(Status failure);
  bool CheckWritten(std::FILE* file);

  std::unique_ptr<SourceReader> m_source;
  uint8_t m_lineEndByte = 0;       // '\r' or '\n': what ends a tab-separated line; 0 until read
  std::string m_subject;           // the entry's subject as stored (0x00 bytes dropped, cut)
  int64_t m_rawSubjectLength = 0;  // its length in the source
  int64_t m_subjectLength = 0;     // its length without the 0x00 bytes left out, before any cut
  std::string m_head;              // the first kEntryHeadLength bytes of the stored text
  int64_t m_textLength = 0;        // stored text bytes so far
  int m_cutSubjectCount = 0;
  int64_t m_maxStreamLength = kMaxStreamLength;
  Status m_status;
  std::function<bool()> m_cancelled;

  TextEncoding m_encoding = TextEncoding::kWindows1252;
  std::string m_previousSubject;
  int m_sortedFlag = 1;
  int m_entryCount = 0;
  int64_t m_mainPosition = 0;
  int64_t m_extensionPosition = 0;
  int m_longSubjectFlag = 0;
  File m_offsetFile;
  File m_mainStreamFile;
  File m_extensionStreamFile;
  File m_mainSectionFile;
  File m_extensionSectionFile;
};

// Sorts the lines of a tab-separated file in place by the collation, leaving the unsorted file under
// the name with ".bak" appended (an existing ".bak" file is replaced). Lines end as the import reads
// them (LineEndOf: at a CR, taking an LF right after it along, or in Unix text at an LF), empty lines
// are dropped, lines that collate equal keep their order, and the sorted lines are joined by the
// file's own line end: LF in Unix text, CR when the file's first CR has no LF after it, else CR LF.
// The last line gets one too when the file's last line had one. Lines sort the same whatever their
// line ends. A path that is a symbolic link sorts the file it points to and keeps the link. The
// sorted file replaces the original atomically; peak memory is the file's size plus four bytes a
// line. An IO error naming the file and the cause when the file, the sorted file or the backup cannot
// be read or written (the file is then unchanged); OutOfMemory when the file does not fit in memory.
// cancelled (may be empty) is asked between the steps of the sort and while the sorted file is written:
// when it answers true the sort stops with a Cancelled status and leaves the file unchanged. The
// collation is that of the tome the file will build (encoding resolved as the import resolves it); a
// UTF-8 file's byte-order mark stays at its start.
Status SortTabFile(const std::string& path, const std::function<bool()>& cancelled = {},
                   SourceEncoding encoding = SourceEncoding::kAuto);
// Negative, zero or positive by the collation over whole lines.
int CompareLines(std::string_view a, std::string_view b, TextEncoding encoding = TextEncoding::kWindows1252);

}  // namespace lv
