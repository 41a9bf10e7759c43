// Importing a dictionary of the dictd or StarDict format into a tome: what `lvtool import` and the
// Import dialog call for these sources. The entries go to the tome builder one at a time, so memory
// stays flat whatever the dictionary's size; the tome is written beside its destination and renamed
// into place only when complete.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tome/progress.h"
#include "tome/tome_import.h"

namespace lv {

enum class DictionaryKind {
  kNone,      // not a dictionary: a tagged or tab-separated source
  kDictd,     // NAME.index with NAME.dict or NAME.dict.dz
  kStarDict,  // NAME.ifo with NAME.idx[.gz], NAME.dict[.dz] and maybe NAME.syn
};

// The kind of source a path names, by its ending (any case): ".index" dictd, ".ifo" StarDict.
DictionaryKind DictionaryKindFromPath(const std::string& path);

// The file-open filters for the two kinds: a caption and a pattern each.
struct DictionaryFilter {
  std::string_view caption;
  std::string_view pattern;
};
inline constexpr DictionaryFilter kDictionaryFilters[] = {
    {"dictd Dictionaries (*.index)", "*.index"},
    {"StarDict Dictionaries (*.ifo)", "*.ifo"},
};

struct DictionaryImportOutcome {
  ImportOutcome import;            // status, entry count, sorted flag... as for the other sources
  std::string title;               // the dictionary's name, when it gives one
  int64_t unreadableEntries = 0;   // entries whose text could not be read
  int64_t replacedCharacters = 0;  // characters stored as "?"
  int64_t skippedResources = 0;    // images, sounds and other files left out
  int64_t synonyms = 0;            // entries made from synonyms
  std::vector<std::string> notes;  // files of the set that disagree with each other
};

// Builds tomePath from the dictionary at sourcePath (its .index or .ifo). progress (may be null)
// follows the position in the dictionary's index.
DictionaryImportOutcome ImportDictionary(const std::string& sourcePath, const std::string& tomePath,
                                         DictionaryKind kind, Progress* progress);

// The import results text (FormatImportResults) with the dictionary's name and counts after it.
std::string FormatDictionaryImportResults(const DictionaryImportOutcome& outcome);

}  // namespace lv
