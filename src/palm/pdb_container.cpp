#include "palm/pdb_container.h"

#include <ctime>

#include "tome/coding.h"

namespace lv {

UnixClock SystemClock() {
  return [] { return static_cast<int64_t>(std::time(nullptr)); };
}

int64_t UnixTimeOfPalmDate(uint32_t date) {
  constexpr uint32_t kTopBit = 0x80000000u;
  return (date & kTopBit) ? int64_t{date} - kPalmEpochOffset : int64_t{date};
}

std::string FitDatabaseName(std::string_view name) {
  const size_t end = name.find('\0');
  if (end != std::string_view::npos) name = name.substr(0, end);
  // Palm names are single-byte text: every byte is a character, so a plain cut never splits one.
  return std::string(name.substr(0, kPdbNameFieldSize - 1));
}

namespace {

uint32_t PalmDate(const UnixClock& clock) { return static_cast<uint32_t>(clock() + kPalmEpochOffset); }

void AppendFourCharacters(std::vector<uint8_t>& out, std::string_view code) {
  for (size_t i = 0; i < 4; ++i) out.push_back(i < code.size() ? static_cast<uint8_t>(code[i]) : 0);
}

}  // namespace

std::vector<uint8_t> MakePdbHeader(std::string_view name, std::string_view type, std::string_view creator,
                                   const std::vector<uint32_t>& recordSizes, const UnixClock& clock) {
  std::vector<uint8_t> out;
  const size_t n = recordSizes.size();
  out.reserve(kPdbHeaderSize + kPdbRecordEntrySize * n + kPdbGapSize);
  const std::string fitted = FitDatabaseName(name);
  out.insert(out.end(), fitted.begin(), fitted.end());
  out.resize(kPdbNameFieldSize, 0);
  AppendBE16(out, 0);                                          // attributes
  AppendBE16(out, 1);                                          // version
  AppendBE32(out, PalmDate(clock));                            // creation date
  AppendBE32(out, PalmDate(clock));                            // modification date, from a second reading of the clock
  for (int field = 0; field < 4; ++field) AppendBE32(out, 0);  // backup, modification number, offsets
  AppendFourCharacters(out, type);
  AppendFourCharacters(out, creator);
  AppendBE32(out, 0);  // unique ID seed
  AppendBE32(out, 0);  // next record list
  AppendBE16(out, static_cast<uint16_t>(n));
  uint32_t offset = static_cast<uint32_t>(kPdbHeaderSize + kPdbRecordEntrySize * n + kPdbGapSize);
  for (uint32_t size : recordSizes) {
    AppendBE32(out, offset);
    AppendBE32(out, 0);  // attributes and unique ID
    offset += size;
  }
  out.push_back(0x99);
  out.push_back(0x99);
  return out;
}

namespace {

PdbHeader ParseHeader(const uint8_t* h) {
  PdbHeader header;
  const char* name = reinterpret_cast<const char*>(h);
  size_t nameLength = 0;
  while (nameLength < kPdbNameFieldSize && name[nameLength] != '\0') ++nameLength;
  header.name.assign(name, nameLength);
  header.attributes = DecodeBE16(h + 32);
  header.version = DecodeBE16(h + 34);
  header.creationDate = DecodeBE32(h + 36);
  header.modificationDate = DecodeBE32(h + 40);
  header.lastBackupDate = DecodeBE32(h + 44);
  header.modificationNumber = DecodeBE32(h + 48);
  header.appInfoOffset = DecodeBE32(h + 52);
  header.sortInfoOffset = DecodeBE32(h + 56);
  header.type.assign(reinterpret_cast<const char*>(h + 60), 4);
  header.creator.assign(reinterpret_cast<const char*>(h + 64), 4);
  header.uniqueIdSeed = DecodeBE32(h + 68);
  header.nextRecordList = DecodeBE32(h + 72);
  header.recordCount = DecodeBE16(h + 76);
  return header;
}

}  // namespace

Status ReadPdbContainer(std::FILE* file, PdbContainer& container) {
  container = PdbContainer();
  long long fileSize = -1;
  if (std::fseek(file, 0, SEEK_END) == 0) fileSize = std::ftell(file);
  uint8_t h[kPdbHeaderSize];
  if (fileSize < 0 || std::fseek(file, 0, SEEK_SET) != 0 || std::fread(h, 1, sizeof h, file) != sizeof h) {
    return Status::Corruption("the file is shorter than a Palm database header");
  }
  container.header = ParseHeader(h);
  const size_t n = container.header.recordCount;
  const long long listEnd = static_cast<long long>(kPdbHeaderSize + kPdbRecordEntrySize * n);
  if (fileSize > 0xFFFFFFFFLL) return Status::NotSupported("the file is too large for a Palm database");
  if (listEnd > fileSize) {
    return Status::Corruption("the record list of " + std::to_string(n) + " records does not fit the file");
  }
  std::vector<uint8_t> list(kPdbRecordEntrySize * n);
  if (std::fread(list.data(), 1, list.size(), file) != list.size()) {
    return Status::IoError("the record list cannot be read");
  }
  container.recordOffsets.reserve(n + 1);
  uint32_t previous = static_cast<uint32_t>(listEnd);
  for (size_t i = 0; i < n; ++i) {
    const uint32_t offset = DecodeBE32(&list[kPdbRecordEntrySize * i]);
    if (offset < previous || offset > fileSize) {
      container.recordOffsets.clear();
      return Status::Corruption(
          "record " + std::to_string(i) + " starts at " + std::to_string(offset) +
          (offset > fileSize ? ", beyond the end of the file" : ", before the record ahead of it"));
    }
    container.recordOffsets.push_back(offset);
    previous = offset;
  }
  container.recordOffsets.push_back(static_cast<uint32_t>(fileSize));
  return Status::Ok();
}

bool ReadPdbRecord(std::FILE* file, const PdbContainer& container, size_t i, std::vector<uint8_t>& out) {
  out.resize(container.RecordSize(i));
  if (std::fseek(file, static_cast<long>(container.recordOffsets[i]), SEEK_SET) != 0) return false;
  return std::fread(out.data(), 1, out.size(), file) == out.size();
}

}  // namespace lv
