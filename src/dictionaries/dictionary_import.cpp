#include "dictionaries/dictionary_import.h"

#include "dictionaries/dictd_source.h"
#include "dictionaries/dictionary_files.h"
#include "dictionaries/entry_sink.h"
#include "dictionaries/stardict_source.h"
#include "tome/file_util.h"
#include "tome/tome_builder.h"

namespace lv {
namespace {

DictionaryImportOutcome Failure(Status status) {
  DictionaryImportOutcome outcome;
  outcome.import.status = std::move(status);
  return outcome;
}

Status WithContext(const std::string& context, const Status& status) {
  const std::string message = context + status.Message();
  switch (status.Code()) {
    case StatusCode::kCancelled: return status;
    case StatusCode::kNotSupported: return Status::NotSupported(message);
    case StatusCode::kOutOfMemory: return Status::OutOfMemory(message);
    default: return Status::IoError(message);
  }
}

}  // namespace

DictionaryKind DictionaryKindFromPath(const std::string& path) {
  if (dict::WithoutEnding(path, ".index") != path) return DictionaryKind::kDictd;
  if (dict::WithoutEnding(path, ".ifo") != path) return DictionaryKind::kStarDict;
  return DictionaryKind::kNone;
}

DictionaryImportOutcome ImportDictionary(const std::string& sourcePath, const std::string& tomePath,
                                         DictionaryKind kind, Progress* progress) {
  if (kind == DictionaryKind::kNone)
    return Failure(Status::InvalidArgument("'" + sourcePath + "' is not a dictionary"));
  TomeBuilder builder;
  const Status& built = builder.BuildStatus();
  if (!built.IsOk()) return Failure(WithContext("cannot import '" + sourcePath + "': ", built));
  AtomicFileWriter writer;
  if (Status opened = writer.Open(tomePath); !opened.IsOk()) return Failure(opened);

  // The builder asks once per entry and per compressed block; a cancelled build stops the readers,
  // which go on only while the sink is healthy.
  if (progress) builder.SetCancelCheck([progress] { return progress->CancelRequested(); });
  dict::EntrySink sink(builder, progress);
  const Status read =
      kind == DictionaryKind::kDictd ? dict::ReadDictd(sourcePath, sink) : dict::ReadStarDict(sourcePath, sink);
  if (!read.IsOk()) return Failure(read);
  if (!built.IsOk()) return Failure(WithContext("cannot import '" + sourcePath + "': ", built));

  if (progress) progress->WritingStarted();
  const Status saved = builder.SaveTome(writer.Stream());
  if (!saved.IsOk()) return Failure(WithContext("cannot write tome '" + tomePath + "': ", saved));
  if (Status committed = writer.Commit(); !committed.IsOk()) return Failure(committed);

  DictionaryImportOutcome outcome;
  outcome.import.entryCount = builder.EntryCount();
  outcome.import.sortedFlag = builder.SortedFlag();
  if (outcome.import.sortedFlag == 0) outcome.import.firstOutOfOrder = builder.PreviousSubject();
  outcome.import.longSubjectFlag = sink.LongSubjects() ? 1 : 0;
  outcome.import.cutSubjectCount = builder.CutSubjectCount();
  const dict::DictionaryCounts counts = sink.FinalCounts();
  outcome.title = sink.title;
  outcome.unreadableEntries = counts.unreadableEntries;
  outcome.replacedCharacters = counts.replacedCharacters;
  outcome.skippedResources = counts.skippedResources;
  outcome.synonyms = counts.synonyms;
  outcome.notes = sink.notes;
  return outcome;
}

std::string FormatDictionaryImportResults(const DictionaryImportOutcome& outcome) {
  std::string text;
  if (!outcome.title.empty()) text += "Dictionary:   \t" + outcome.title + "\n";
  text += FormatImportResults(outcome.import);
  if (outcome.synonyms > 0) text += "\nSynonyms:   \t" + std::to_string(outcome.synonyms);
  if (outcome.unreadableEntries > 0) {
    text += "\n\nNote: " + std::to_string(outcome.unreadableEntries) + " entries could not be read and were left out.";
  }
  if (outcome.replacedCharacters > 0) {
    text += "\n\nNote: " + std::to_string(outcome.replacedCharacters) +
            " characters have no Windows-1252 form and were replaced with \"?\".";
  }
  if (outcome.skippedResources > 0) {
    text += "\n\nNote: " + std::to_string(outcome.skippedResources) + " pictures, sounds and other files were skipped.";
  }
  for (const std::string& note : outcome.notes) text += "\n\nNote: " + note;
  return text;
}

}  // namespace lv
