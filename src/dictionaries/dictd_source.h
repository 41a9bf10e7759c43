// The dictd format: NAME.index lists "headword TAB offset TAB length" per line (offset and length in
// base-64 digits, most significant first; an optional fourth field keeps the headword's original
// spelling), and NAME.dict or NAME.dict.dz holds the texts. Entries named "00-database-..." describe
// the database itself: they are not made subjects, and "00-database-short" names the dictionary.
// Several headwords pointing at one text each get the whole text (the entry is repeated), so every
// subject reads on its own.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "dictionaries/entry_sink.h"
#include "tome/status.h"

namespace lv::dict {

// The value of base-64 digits ("A" = 0 ... "/" = 63); false for an empty, bad or too long number.
bool DecodeDictdNumber(std::string_view digits, uint64_t& value);

// Reads the set of indexPath into sink, entry by entry. A failure naming the file when a file of the
// set is missing or unreadable, or when no entry at all could be read although the index lists some;
// otherwise ok, with unreadable entries counted.
Status ReadDictd(const std::string& indexPath, EntrySink& sink);

}  // namespace lv::dict
