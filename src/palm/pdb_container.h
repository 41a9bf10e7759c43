// The Palm OS database container (.pdb), big-endian throughout:
//
//   offset  size  field
//   0       32    database name, NUL-padded (at most 31 bytes of name and its NUL)
//   32      2     attributes (0)            34  2  version (1)
//   36      4     creation date             40  4  modification date (seconds since 1 January 1904)
//   44      4     last backup date (0)      48  4  modification number (0)
//   52      4     application info offset  56  4  sort info offset (both 0)
//   60      4     type                      64  4  creator
//   68      4     unique ID seed (0)        72  4  next record list (0)
//   76      2     number of records n
//   78      8 n   record list: 4-byte file offset, attribute byte 0, 3-byte unique ID 0
//   78+8n   2     gap 0x99 0x99
//   80+8n         the records, each directly after the previous one
//
// A record runs up to the next record's offset; the last one to the end of the file.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "tome/status.h"

namespace lv {

inline constexpr size_t kPdbHeaderSize = 78;
inline constexpr size_t kPdbRecordEntrySize = 8;
inline constexpr size_t kPdbGapSize = 2;
inline constexpr size_t kPdbNameFieldSize = 32;
inline constexpr size_t kPdbMaxRecords = 0xFFFF;
// Seconds from 1 January 1904 (Palm dates) to 1 January 1970 (Unix time): 24107 days.
inline constexpr int64_t kPalmEpochOffset = 2082844800;

// The Unix time of a date read from a Palm database. A date with its top bit set counts from 1904;
// one with the top bit clear (before 1972 if it counted from 1904) is taken as seconds since 1970,
// which several PalmDOC writers store.
int64_t UnixTimeOfPalmDate(uint32_t date);

// The clock of the container writer, in seconds since 1 January 1970; tests replace it.
using UnixClock = std::function<int64_t()>;
UnixClock SystemClock();

struct PdbHeader {
  std::string name;  // up to the first NUL of the name field
  uint16_t attributes = 0;
  uint16_t version = 0;
  uint32_t creationDate = 0;
  uint32_t modificationDate = 0;
  uint32_t lastBackupDate = 0;
  uint32_t modificationNumber = 0;
  uint32_t appInfoOffset = 0;
  uint32_t sortInfoOffset = 0;
  std::string type;     // 4 bytes
  std::string creator;  // 4 bytes
  uint32_t uniqueIdSeed = 0;
  uint32_t nextRecordList = 0;
  uint16_t recordCount = 0;
};

// The name (single-byte text) as it fits the name field: at most 31 bytes, up to any NUL.
std::string FitDatabaseName(std::string_view name);

// The header, record list and gap of a database whose records have the given sizes, in order.
// REQUIRES: recordSizes.size() <= kPdbMaxRecords; type and creator are 4 bytes.
std::vector<uint8_t> MakePdbHeader(std::string_view name, std::string_view type, std::string_view creator,
                                   const std::vector<uint32_t>& recordSizes, const UnixClock& clock);

// A container as read: the header and the record bounds, checked against the file.
struct PdbContainer {
  PdbHeader header;
  std::vector<uint32_t> recordOffsets;  // one per record, plus the file size at the end
  uint32_t RecordSize(size_t i) const { return recordOffsets[i + 1] - recordOffsets[i]; }
  size_t RecordCount() const { return recordOffsets.empty() ? 0 : recordOffsets.size() - 1; }
};

// Reads the header and the record list of an open database. Corruption, with a message naming the
// cause, when the file is shorter than its header or record list, or a record starts before the end
// of the record list, beyond the end of the file, or before the record ahead of it.
Status ReadPdbContainer(std::FILE* file, PdbContainer& container);

// Reads record i (REQUIRES: i < container.RecordCount()) into out. False on a short read.
bool ReadPdbRecord(std::FILE* file, const PdbContainer& container, size_t i, std::vector<uint8_t>& out);

}  // namespace lv
