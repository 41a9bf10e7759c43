// Upgrading a version-1 tome to the current layout in place. Every entry goes straight from the
// reader to the builder as stored text (AddEntry), so entries with an empty text are kept; the
// bookmark table that a writable open appended to the old file is carried over. The new tome replaces
// the old file only once it is complete.
#include <cstdio>
#include <string>

#include "tome/file_util.h"
#include "tome/format.h"
#include "tome/tome_builder.h"
#include "tome/tome_import.h"
#include "tome/tome_reader.h"

namespace lv {
namespace {

UpgradeOutcome UpgradeFailure(Status failure) {
  UpgradeOutcome outcome;
  outcome.status = std::move(failure);
  return outcome;
}

// The old tome's contents cannot be carried over whole: damage, not a failure to read the file.
Status CannotUpgrade(const std::string& path, const std::string& cause) {
  return Status::Corruption("cannot upgrade '" + path + "': " + cause);
}

}  // namespace

UpgradeOutcome UpgradeVersion1Tome(const std::string& path) {
  TomeReader reader;
  const Status opened = reader.Open(path, OpenMode::kReadOnly);
  if (opened.IsNotSupported()) {
    return UpgradeFailure(Status::NotSupported("cannot upgrade '" + path + "': unsupported tome version"));
  }
  if (!opened.IsOk())
    return UpgradeFailure(Status::Corruption("cannot open tome '" + path + "': unreadable or damaged"));
  if (reader.IsCurrentLayout()) {
    return UpgradeFailure(Status::InvalidArgument("cannot upgrade '" + path + "': it is not a version-1 tome"));
  }

  TomeBuilder builder;
  for (int i = 0; i < reader.SubjectCount() && builder.BuildStatus().IsOk(); ++i) {
    const std::string subject = reader.Subject(i);
    // An entry that the file does not hold whole (a cut or damaged tome) would come out empty or cut.
    if (!reader.IsVersion1EntryWhole(i)) {
      return UpgradeFailure(Status::Corruption(
          "cannot upgrade '" + path + "': entry " + std::to_string(i) +
          " is damaged or cut off (its records run past the end of the file); the tome is left as it was"));
    }
    if (!reader.LoadEntryText(i)) {
      return UpgradeFailure(CannotUpgrade(path, "entry " + std::to_string(i) + " cannot be read"));
    }
    builder.AddEntry(subject, reader.CurrentEntryText());
  }
  if (const Status& built = builder.BuildStatus(); !built.IsOk()) {
    // Temporary files that cannot be written are an IO error; anything else is the work failing.
    if (built.Code() == StatusCode::kIoError) return UpgradeFailure(built);
    return UpgradeFailure(CannotUpgrade(path, built.Message()));
  }

  std::string bookmarks;
  if (!reader.ReadVersion1BookmarkTable(bookmarks)) {
    return UpgradeFailure(CannotUpgrade(path, "its bookmark table cannot be read"));
  }
  AtomicFileWriter writer;
  if (Status created = writer.Open(path); !created.IsOk()) return UpgradeFailure(created);
  const Status saved = builder.SaveTome(writer.Stream());
  if (!saved.IsOk()) {
    // A failure to compress a block is a failure to get memory for it.
    if (saved.Code() == StatusCode::kOutOfMemory) {
      return UpgradeFailure(Status::OutOfMemory("cannot upgrade '" + path + "': out of memory"));
    }
    return UpgradeFailure(Status::IoError("cannot write tome '" + path + "': " + saved.Message()));
  }
  if (!bookmarks.empty() && (std::fseek(writer.Stream(), kWrittenBookmarkTableOffset, SEEK_SET) != 0 ||
                             std::fwrite(bookmarks.data(), 1, bookmarks.size(), writer.Stream()) != bookmarks.size())) {
    return UpgradeFailure(Status::IoError("cannot write tome '" + path + "': the bookmark table could not be written"));
  }
  reader.Close();
  if (Status committed = writer.Commit(); !committed.IsOk()) return UpgradeFailure(committed);
  UpgradeOutcome outcome;
  outcome.entryCount = builder.EntryCount();
  return outcome;
}

}  // namespace lv
