// Importing a source text into a tome: the whole-file operation behind the Import command and
// `lvtool import`. The tome is written beside its destination and renamed into place only when it is
// complete, so a failed import never destroys an existing tome.
#include "tome/tome_import.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "tome/file_util.h"
#include "tome/tome_builder.h"

namespace lv {
namespace {

bool EndsWithNoCase(const std::string& text, const std::string& suffix) {
  if (text.size() < suffix.size()) return false;
  for (size_t i = 0; i < suffix.size(); ++i) {
    const char a = text[text.size() - suffix.size() + i];
    const char lower = (a >= 'A' && a <= 'Z') ? char(a - 'A' + 'a') : a;
    if (lower != suffix[i]) return false;
  }
  return true;
}

ImportOutcome Failure(std::string error) {
  ImportOutcome outcome;
  outcome.error = std::move(error);
  return outcome;
}

}  // namespace

SourceFormat SourceFormatFromPath(const std::string& path) {
  return EndsWithNoCase(path, ".tab") ? SourceFormat::kTab : SourceFormat::kTagged;
}

ImportOutcome ImportSource(const std::string& sourcePath, const std::string& tomePath, SourceFormat format,
                           Progress* progress) {
  std::FILE* source = std::fopen(sourcePath.c_str(), "rb");
  if (!source) return Failure("cannot open source '" + sourcePath + "': " + std::strerror(errno));
  struct SourceCloser {
    std::FILE* file;
    ~SourceCloser() { std::fclose(file); }
  } closer{source};

  TomeBuilder builder;
  if (builder.Failed()) return Failure("cannot import '" + sourcePath + "': " + builder.FailureReason());
  AtomicFileWriter writer;
  if (!writer.Open(tomePath)) return Failure(writer.Error());

  const long long size = StreamSize(source);
  if (progress) {
    progress->SetRange(0, size < 0 ? 1 : size + 1);
    progress->SetPosition(0);
    progress->SetStep(1);
  }
  if (format == SourceFormat::kTab) {
    builder.ImportTabText(source, progress, false);
  } else {
    builder.ImportTaggedText(source, progress);
  }
  if (builder.Failed()) return Failure("cannot import '" + sourcePath + "': " + builder.FailureReason());

  const int saved = builder.SaveTome(writer.Stream());
  if (saved == kSaveOutOfMemory) return Failure("cannot write tome '" + tomePath + "': out of memory");
  if (saved == kSaveBlockFailed) {
    return Failure("cannot write tome '" + tomePath + "': a block could not be compressed");
  }
  if (saved != kSaveOk) return Failure("cannot write tome '" + tomePath + "': " + builder.FailureReason());
  if (!writer.Commit()) return Failure(writer.Error());

  ImportOutcome outcome;
  outcome.ok = true;
  outcome.entryCount = builder.EntryCount();
  outcome.sortedFlag = builder.SortedFlag();
  if (outcome.sortedFlag == 0) outcome.firstOutOfOrder = builder.PreviousSubject();
  outcome.longSubjectFlag = builder.LongSubjectFlag();
  outcome.cutSubjectCount = builder.CutSubjectCount();
  return outcome;
}

std::string FormatImportResults(const ImportOutcome& outcome) {
  std::string text = "Number of subjects:   \t" + std::to_string(outcome.entryCount) + "\nFile sorted status:       \t";
  if (outcome.sortedFlag == 1) {
    text += "Yes";
  } else {
    text += "No\nSorted check failed at subject: " + outcome.firstOutOfOrder;
  }
  if (outcome.longSubjectFlag) {
    text += "\n\nNote: The subjects in this text were very long \nand may cause problems in some versions of Librovance.";
  }
  if (outcome.cutSubjectCount > 0) {
    text += "\n\nNote: " + std::to_string(outcome.cutSubjectCount) + " subjects longer than " +
            std::to_string(TomeBuilder::kMaxStoredSubjectLength) + " bytes were shortened to that length.";
  }
  return text;
}

}  // namespace lv
