// Whole-file operations built on the reader and the builder, shared by lvtool and the desktop:
// importing a source into a tome and upgrading a version-1 tome. Both replace the destination
// atomically, so a failure never destroys an existing tome.
#pragma once

#include <string>

#include <cstdint>

#include "tome/progress.h"
#include "tome/source_encoding.h"
#include "tome/status.h"
#include "tome/text_encoding.h"

namespace lv {

enum class SourceFormat { kTagged = 1, kTab = 2 };

// Tab-separated when the path's extension is ".tab" (any case), tagged text otherwise.
SourceFormat SourceFormatFromPath(const std::string& path);

struct ImportOutcome {
  Status status;  // when failed, its message names the file and the cause
  int entryCount = 0;
  int sortedFlag = 1;
  std::string firstOutOfOrder;  // the builder's previous subject when sortedFlag is 0
  int longSubjectFlag = 0;
  // Subjects cut to TomeBuilder::kMaxStoredSubjectLength bytes so that the reader can read them.
  int cutSubjectCount = 0;
  TextEncoding encoding = TextEncoding::kWindows1252;  // of the tome written
  // Bytes of a source read as UTF-8 that were not UTF-8, stored as U+FFFD.
  int64_t replacedBytes = 0;
};

// Builds tomePath from sourcePath. progress (may be null) gets the range 0..size + 1. The tome's
// encoding follows encoding (see source_encoding.h); a UTF-8 source's byte-order mark is dropped, and
// when UTF-8 is chosen for a source that is not well-formed UTF-8, each byte that is not is stored as
// U+FFFD (through a cleaned copy in a temporary file).
ImportOutcome ImportSource(const std::string& sourcePath, const std::string& tomePath, SourceFormat format,
                           Progress* progress, SourceEncoding encoding = SourceEncoding::kAuto);

// The results text of an import: "Number of subjects:   \t<n>\nFile sorted status:       \t..." and,
// when subjects were long, the note about long subjects (and how many were cut, if any); for a UTF-8
// tome the encoding, and the bytes replaced when there were any. Subjects in it are in the tome's
// encoding.
std::string FormatImportResults(const ImportOutcome& outcome);

struct UpgradeOutcome {
  Status status;  // when failed, its message names the file and the cause
  int entryCount = 0;
};

// Rewrites a version-1 tome at path in the current layout, keeping every entry (empty texts included)
// and the bookmark table a writable open appended. The new tome replaces the old file only when it is
// complete; a tome already in the current layout is refused and left alone.
UpgradeOutcome UpgradeVersion1Tome(const std::string& path);

}  // namespace lv
