// The ".ifo" file of a StarDict dictionary: a first line "StarDict's dict ifo file", then "key=value"
// lines. It names the dictionary and describes its ".idx" (word count, size, 32- or 64-bit offsets)
// and the types of the entries' fields.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "tome/status.h"

namespace lv::dict {

struct StarDictInfo {
  std::string version;  // "2.4.2" or "3.0.0"
  std::string bookName;
  int64_t wordCount = 0;
  int64_t synonymWordCount = -1;  // -1 when not stated
  int64_t indexFileSize = 0;
  int offsetBits = 32;           // 32 or 64
  std::string sameTypeSequence;  // empty: every field carries its type
};

// Parses the text of an ifo file; path names the file in messages. NotSupported for a version other
// than 2.4.2 and 3.0.0 or offsets other than 32 and 64 bits, Corruption for anything else amiss.
Status ParseStarDictInfo(std::string_view text, const std::string& path, StarDictInfo& info);

}  // namespace lv::dict
