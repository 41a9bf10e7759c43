// CTomeBuilder: parses one source text (tagged or tab-separated) entry by entry into anonymous
// temporary files, then writes one tome with SaveTome. Memory use does not grow with the source.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "tome/progress.h"

namespace lv {

// Results of SaveTome and CompressSection.
inline constexpr int kSaveOk = 0;
inline constexpr int kSaveOutOfMemory = 5;
inline constexpr int kSaveBlockFailed = 10;
// Results of the parse steps.
inline constexpr int kParseStored = 0;
inline constexpr int kParseEnd = 5;

class CTomeBuilder {
 public:
  // Creates the five temporary files; IsReady() tells whether that worked.
  CTomeBuilder();
  ~CTomeBuilder();
  CTomeBuilder(const CTomeBuilder&) = delete;
  CTomeBuilder& operator=(const CTomeBuilder&) = delete;

  bool IsReady() const;

  // One entry from a seekable source stream: kParseStored, or kParseEnd at the end of the source (and,
  // for tab-separated text, at a line with an empty subject or text).
  int ParseTaggedEntry(std::FILE* source);
  int ParseTabEntry(std::FILE* source);
  // Parse until the end; progress (may be null) follows the offset in the source, or with stepFlag
  // steps once per entry.
  int ImportTaggedText(std::FILE* source, Progress* progress);
  int ImportTabText(std::FILE* source, Progress* progress, bool stepFlag);

  // Stores one entry whose text is already stored entry text (marks as TAB + code), with the sorted
  // check. Used by the version-1 upgrade, which must keep every entry, empty texts included.
  void AddEntry(std::string_view subject, std::string_view storedText);

  // Writes the tome to out: kSaveOk, kSaveOutOfMemory or kSaveBlockFailed (nothing written then).
  int SaveTome(std::FILE* out);

  int EntryCount() const { return m_entryCount; }
  int SortedFlag() const { return m_sortedFlag; }
  // The first subject found out of order when SortedFlag() is 0.
  const std::string& PreviousSubject() const { return m_previousSubject; }
  int LongSubjectFlag() const { return m_longSubjectFlag; }

  // Compresses source (read from its start) into destination as one text section.
  static int CompressSection(std::FILE* source, std::FILE* destination);

 private:
  // The builder helper fills in the rest of the private state.
  void WriteEntry(std::string_view subject, std::string_view storedText);
  void ApplySortedCheck(std::string_view subject);

  std::string m_previousSubject;
  int m_sortedFlag = 1;
  int m_entryCount = 0;
  int64_t m_mainPosition = 0;
  int64_t m_extensionPosition = 0;
  int m_longSubjectFlag = 0;
  std::FILE* m_offsetFile = nullptr;
  std::FILE* m_mainStreamFile = nullptr;
  std::FILE* m_extensionStreamFile = nullptr;
  std::FILE* m_mainSectionFile = nullptr;
  std::FILE* m_extensionSectionFile = nullptr;
};

// Sorts the lines of a tab-separated file in place by the collation, leaving the unsorted file under
// the name with ".bak" appended. False when the file cannot be read or written.
bool SortTabFile(const std::string& path);
// Negative, zero or positive by the collation over whole lines.
int CompareLines(std::string_view a, std::string_view b);

}  // namespace lv
