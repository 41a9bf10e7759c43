// PalmExportSource: the Palm tome writers' view of the source tome. It reads through TomeReader and
// adds the export's own checks on opening, its error numbers, and its limits on subject and text
// length.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "tome/status.h"
#include "tome/tome_reader.h"

namespace lv {

// Why the source cannot be exported.
enum class SourceError {
  kNone = 0,
  kMissing = 2,    // the file cannot be opened
  kShortRead = 3,  // the file ends early or cannot be read as a tome
  kSeekFailed = 5,
  kNoMemory = 6,
  kBadIdentity = 9,   // identity word 3 is not a tome's
  kUnsupported = 10,  // a newer version, a chunk that must not be skipped, or a version-1 text coding
                      // other than 1, 2 or 3
};

// The result of opening the source: status carries the failure and a message naming the cause
// (SourceErrorText), error the number of the failure.
struct SourceOpenOutcome {
  Status status;
  SourceError error = SourceError::kNone;
};

inline constexpr int kSourceSubjectLimit = 0xFFFFF;
inline constexpr int kSourceTextLimit = 1920000;
// A longer entry text is cut to this many bytes and the mark appended.
inline constexpr int kSourceTextCut = kSourceTextLimit - 20;
inline constexpr const char* kTooLongMark = " <TOO LONG>";

// A short text naming a source error, for messages.
const char* SourceErrorText(SourceError error);

class PalmExportSource {
 public:
  SourceOpenOutcome Open(const std::string& path);
  void Close() { m_reader.Close(); }
  bool IsOpen() const { return m_reader.IsOpen(); }

  int SubjectCount() const { return m_reader.SubjectCount(); }
  // The sorted flag of the tome's header (0 for a version-1 tome).
  int SortedFlag() const { return m_reader.IsCurrentLayout() ? m_reader.SortedFlag() : 0; }

  // Subject i, cut to the subject limit.
  std::string Subject(int i);
  // Entry text i as stored, cut to kSourceTextCut bytes plus " <TOO LONG>" when longer than the text
  // limit; in a version-1 tome every "@" and line break is a newline. False (with text empty) when the
  // entry cannot be read.
  bool ReadEntryText(int i, std::string& text);

 private:
  SourceError CheckHeader(std::FILE* file);

  TomeReader m_reader;
  bool m_version1Packed = false;
  std::vector<uint8_t> m_version1Stored;
};

}  // namespace lv
