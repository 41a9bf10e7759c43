// Upgrading a version-1 tome to the current layout in place. Every entry goes straight from the
// reader to the builder as stored text (AddEntry), so entries with an empty text are kept; the
// bookmark table that a writable open appended to the old file is carried over. The new tome replaces
// the old file only once it is complete.
#include <cstdio>
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

// The version-1 bookmark table (the last 4743 bytes of the file) when the version word says it was
// appended, else an empty string. False when the file cannot be read.
bool ReadVersion1Bookmarks(const std::string& path, std::string& table) {
  table.clear();
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return false;
  uint8_t word[4];
  bool ok = std::fseek(file, kVersionOffset, SEEK_SET) == 0 && std::fread(word, 1, 4, file) == 4;
  const int32_t version = DecodeLE32Signed(word);
  if (ok && version >= 0 && version % kV1ReservedTailMark >= kV1BookmarksMark) {
    const long long size = StreamSize(file);
    if (size >= kV1HeaderFixedSize + kBookmarkTableSize) {
      table.resize(kBookmarkTableSize);
      ok = std::fseek(file, long(size - kBookmarkTableSize), SEEK_SET) == 0 &&
           std::fread(table.data(), 1, table.size(), file) == table.size();
    }
  }
  std::fclose(file);
  return ok;
}

}  // namespace

UpgradeOutcome UpgradeVersion1Tome(const std::string& path) {
  TomeReader reader;
  const int opened = reader.Open(path, kOpenReadOnly);
  if (opened == kOpenUnsupported) return UpgradeFailure("cannot upgrade '" + path + "': unsupported tome version");
  if (opened != kOpenOk) return UpgradeFailure("cannot open tome '" + path + "': unreadable or damaged");
  if (reader.IsCurrentLayout()) {
    return UpgradeFailure("cannot upgrade '" + path + "': it is not a version-1 tome");
  }

  TomeBuilder builder;
  for (int i = 0; i < reader.GetSubjectCount() && !builder.Failed(); ++i) {
    const std::string subject = reader.GetSubject(i);
    if (!reader.LoadEntryText(i)) {
      return UpgradeFailure("cannot upgrade '" + path + "': entry " + std::to_string(i) + " cannot be read");
    }
    builder.AddEntry(subject, reader.CurrentEntryText());
  }
  if (builder.Failed()) return UpgradeFailure("cannot upgrade '" + path + "': " + builder.FailureReason());

  std::string bookmarks;
  if (!ReadVersion1Bookmarks(path, bookmarks)) {
    return UpgradeFailure("cannot upgrade '" + path + "': its bookmark table cannot be read");
  }
  AtomicFileWriter writer;
  if (!writer.Open(path)) return UpgradeFailure(writer.Error());
  const int saved = builder.SaveTome(writer.Stream());
  if (saved != kSaveOk) {
    return UpgradeFailure("cannot write tome '" + path + "': " +
                          (builder.Failed() ? builder.FailureReason() : "out of memory"));
  }
  if (!bookmarks.empty() &&
      (std::fseek(writer.Stream(), kWrittenBookmarkTableOffset, SEEK_SET) != 0 ||
       std::fwrite(bookmarks.data(), 1, bookmarks.size(), writer.Stream()) != bookmarks.size())) {
    return UpgradeFailure("cannot write tome '" + path + "': the bookmark table could not be written");
  }
  reader.Close();
  if (!writer.Commit()) return UpgradeFailure(writer.Error());
  UpgradeOutcome outcome;
  outcome.ok = true;
  outcome.entryCount = builder.EntryCount();
  return outcome;
}

}  // namespace lv
