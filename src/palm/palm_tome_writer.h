// PalmTomeWriter: writes an open tome as a Palm tome database (type "LiVa", creator "LVPW") in the
// 2.5 format (PalmDOC compression, blocks of 4095 bytes) or the 2.8 format (zlib, blocks of 16383
// bytes, subject cache, optional search acceleration). The records, in order:
//
//   header record (402 bytes)                      both formats
//   subject cache directory (4) and G groups        2.8 only, G = ceil(N / 500), at least 1
//   search header (64) and W word records           2.8 with search acceleration only
//   first-letter table, T = ceil(N / 61439)         N bytes: the first byte of each subject (0 if empty)
//   iLVPDataHeaderArray, H = ceil(4N / 61436)       per subject: block reference (2), offset (2)
//   data records, D                                 compressed blocks: length word (2) and bytes; bit 15
//                                                   of the length word marks a record's last block
//
// Header record: version 7 (2.5) or 8 (2.8) (2), 0 (2), N (4), block size (2), record size ceiling
// 61440 (2), compression code 2 or 3 (2), search acceleration present (2), sorted flag (2), 384 zeros.
#pragma once

#include <cstdint>
#include <string>

#include "palm/data_packer.h"
#include "palm/palm_export_source.h"
#include "palm/pdb_container.h"
#include "tome/messages.h"
#include "tome/progress.h"
#include "tome/status.h"

namespace lv {

enum class PalmTomeFormat { kV25, kV28 };

// Export results.
enum class ExportResult {
  kOk = 0,
  kMissingArgument = 1,  // no output path or no Palm tome name
  kCannotCreate = 2,
  kSourceUnreadable = 3,  // no source open, or an entry cannot be read
  kShortWrite = 4,
  kOutOfMemory = 6,
  kCompressionFailed = 7,
  kTooLarge = 16,
};

// The result of an export: status carries the failure with ExportResultText as its message (or, when
// the output cannot be created or written, a message naming it and the system's reason), result the
// number of the failure (kOk on success).
struct ExportOutcome {
  Status status;
  ExportResult result = ExportResult::kOk;
};

// A sentence naming an export result, for messages.
const char* ExportResultText(ExportResult result);

inline constexpr const char* kPalmTomeType = "LiVa";
inline constexpr const char* kPalmTomeCreator = "LVPW";
inline constexpr size_t kPalmHeaderRecordSize = 402;
inline constexpr uint16_t kRecordSizeCeiling = 0xF000;
inline constexpr size_t kFirstLetterRecordSize = 61439;
inline constexpr size_t kDataHeaderRecordSize = 61436;

class PalmTomeWriter {
 public:
  // Opens the source tome.
  SourceOpenOutcome OpenSource(const std::string& tomePath) { return m_source.Open(tomePath); }

  // Writes the open source as a Palm tome of the 2.5 format. progress may be null.
  ExportOutcome WriteFormat25(const std::string& outPath, const std::string& name, Progress* progress);
  // Writes the 2.8 format; bitmapBits is the search acceleration bitmap width M (0 for none).
  ExportOutcome WriteFormat28(const std::string& outPath, const std::string& name, Progress* progress, int bitmapBits);

  void SetMessageSink(MessageSink* messages) { m_messages = messages; }
  void SetClock(UnixClock clock) { m_clock = std::move(clock); }
  // Lets tests reach the record limits with small tomes.
  void SetPackingLimits(const PackingLimits& limits) { m_limits = limits; }

 private:
  struct Run;
  // writeFailure gets the cause when the output cannot be created or written.
  ExportResult Write(const std::string& outPath, const std::string& name, Progress* progress, int bitmapBits,
                     Status& writeFailure);
  ExportResult CollectSubjects(Run& run);
  ExportResult PackSubjects(Run& run);
  // The finishing step: the container header, the record list and every record reach the file.
  ExportResult WriteRecords(Run& run, const std::string& name);
  void ReportAllocationFailure(const std::string& message);
  const char* MessagePrefix() const;

  PalmTomeFormat m_format = PalmTomeFormat::kV25;
  PalmExportSource m_source;
  MessageSink* m_messages = nullptr;
  UnixClock m_clock = SystemClock();
  PackingLimits m_limits;
};

// Bitmap bits for an acceleration level name: "none", "low", "default", "medium" or "high" (any
// case); -1 for another name.
int AccelerationBitmapBits(const std::string& level);

}  // namespace lv
