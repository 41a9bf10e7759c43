// TomeSourceReader: the Palm tome writers' view of the source tome. It reads through TomeReader and
// adds the export's own checks on opening, its error codes, and its limits on subject and text length.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "tome/tome_reader.h"

namespace lv {

// Results of TomeSourceReader::Open and GetEntryText.
inline constexpr int kSourceOk = 0;
inline constexpr int kSourceMissing = 2;      // the file cannot be opened
inline constexpr int kSourceShortRead = 3;    // the file ends early or cannot be read as a tome
inline constexpr int kSourceSeekFailed = 5;
inline constexpr int kSourceNoMemory = 6;
inline constexpr int kSourceBadIdentity = 9;  // identity word 3 is not a tome's
inline constexpr int kSourceUnsupported = 10; // a newer version, a chunk that must not be skipped, or
                                              // a version-1 text coding other than 1, 2 or 3

inline constexpr int kSourceSubjectLimit = 0xFFFFF;
inline constexpr int kSourceTextLimit = 1920000;
// A longer entry text is cut to this many bytes and the mark appended.
inline constexpr int kSourceTextCut = kSourceTextLimit - 20;
inline constexpr const char* kTooLongMark = " <TOO LONG>";

// A short text naming an Open result, for messages.
const char* SourceErrorText(int code);

class TomeSourceReader {
 public:
  int Open(const std::string& path);
  void Close() {
    m_reader.Close();
    m_version1File.reset();
  }
  bool IsOpen() const { return m_reader.IsOpen(); }

  int GetSubjectCount() const { return m_reader.GetSubjectCount(); }
  // The sorted flag of the tome's header (0 for a version-1 tome).
  int GetSortedFlag() const { return m_reader.IsCurrentLayout() ? m_reader.GetSortedFlag() : 0; }

  // Subject i, cut to the subject limit.
  std::string GetSubject(int i);
  // Entry text i as stored, cut to kSourceTextCut bytes plus " <TOO LONG>" when longer than the text
  // limit; in a version-1 tome every "@" and line break is a newline. kSourceOk or kSourceShortRead.
  int GetEntryText(int i, std::string& text);

 private:
  int CheckHeader(std::FILE* file);
  bool ReadVersion1Stored(int i, std::vector<uint8_t>& stored);

  TomeReader m_reader;
  bool m_version1Packed = false;
  // A packed version-1 tome's own file: the export decodes its stored texts itself.
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> m_version1File{nullptr, std::fclose};
  std::vector<uint8_t> m_version1Stored;
};

}  // namespace lv
