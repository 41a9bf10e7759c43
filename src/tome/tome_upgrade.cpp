// Upgrading a version-1 tome in place: every entry (empty texts included) goes through the builder
// straight from the reader, without a text round trip, and the bookmarks are carried over. The new
// tome is written beside the old one and renamed over it only when it is complete.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "tome/coding.h"
#include "tome/file_util.h"
#include "tome/format.h"
#include "tome/tome_builder.h"
#include "tome/tome_import.h"
#include "tome/tome_reader.h"

namespace lv {
namespace {

UpgradeOutcome UpgradeFailure(std::string error) {
  UpgradeOutcome outcome;
  outcome.error = std::move(error);
  return outcome;
}

// The 4743-byte bookmark table of the records, laid out as the builder's byte map says.
std::string EncodeBookmarkTable(const BookmarkRecord (&records)[kBookmarkRecordCount]) {
  std::string table;
  table.reserve(kBookmarkTableSize);
  for (const BookmarkRecord& record : records) {
    AppendLE32(table, static_cast<uint32_t>(record.nameLength));
    AppendLE32(table, static_cast<uint32_t>(record.subjectNumber));
    AppendLE32(table, static_cast<uint32_t>(record.reserved));
    std::string name = record.name.substr(0, kBookmarkNameSize);
    name.resize(kBookmarkNameSize, '\0');
    table += name;
  }
  return table;
}

// Opens the old tome for writing when possible (that is how its bookmark table becomes readable),
// else read-only (its bookmarks are then lost, as they would be in a read-only open).
int OpenOldTome(CTomeReader& reader, const std::string& path) {
  const int result = reader.Open(path, kOpenReadWrite);
  if (result == kOpenFailed) return reader.Open(path, kOpenReadOnly);
  return result;
}

}  // namespace

UpgradeOutcome UpgradeVersion1Tome(const std::string& path) {
  CTomeReader reader;
  errno = 0;
  const int opened = OpenOldTome(reader, path);
  if (opened == kOpenUnsupported) return UpgradeFailure("'" + path + "' is not a tome this version can read");
  if (opened != kOpenOk) {
    return UpgradeFailure("cannot open '" + path + "'" + (errno ? std::string(": ") + std::strerror(errno) : ""));
  }
  if (reader.IsCurrentLayout()) return UpgradeFailure("'" + path + "' is already in the current layout");

  CTomeBuilder builder;
  if (!builder.IsReady()) return UpgradeFailure("cannot upgrade '" + path + "': " + builder.FailureReason());
  const int count = reader.GetSubjectCount();
  for (int i = 0; i < count; ++i) {
    const std::string subject = reader.GetSubject(i);
    if (reader.LoadEntryText(i) != 1) {
      return UpgradeFailure("cannot upgrade '" + path + "': entry " + std::to_string(i) + " cannot be read");
    }
    builder.AddEntry(subject, reader.CurrentEntryText());
  }
  if (builder.Failed()) return UpgradeFailure("cannot upgrade '" + path + "': " + builder.FailureReason());
  BookmarkRecord bookmarks[kBookmarkRecordCount];
  for (int i = 0; i < kBookmarkRecordCount; ++i) bookmarks[i] = reader.GetBookmark(i);
  reader.Close();

  AtomicFileWriter writer;
  if (!writer.Open(path)) return UpgradeFailure(writer.Error());
  const int saved = builder.SaveTome(writer.Stream());
  if (saved != kSaveOk) {
    return UpgradeFailure("cannot write the upgraded tome '" + path + "': " +
                          (builder.Failed() ? builder.FailureReason() : "code " + std::to_string(saved)));
  }
  const std::string table = EncodeBookmarkTable(bookmarks);
  if (std::fseek(writer.Stream(), kWrittenBookmarkTableOffset, SEEK_SET) != 0 ||
      std::fwrite(table.data(), 1, table.size(), writer.Stream()) != table.size()) {
    return UpgradeFailure("cannot write the upgraded tome '" + path + "': " + std::strerror(errno));
  }
  if (!writer.Commit()) return UpgradeFailure(writer.Error());

  UpgradeOutcome outcome;
  outcome.ok = true;
  outcome.entryCount = builder.EntryCount();
  return outcome;
}

}  // namespace lv
