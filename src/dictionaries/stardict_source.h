// The StarDict format: NAME.ifo describes the dictionary, NAME.idx (or NAME.idx.gz) lists per word
// its headword (UTF-8, ended by 0x00), the offset (32 or 64 bits) and size (32 bits) of its data in
// NAME.dict (or NAME.dict.dz), all big-endian. NAME.syn, when present, lists synonyms: a word ended
// by 0x00 and the 32-bit number of its main word in the index. Synonyms become entries that link to
// their main entry, merged into the main entries' order.
#pragma once

#include <string>

#include "dictionaries/entry_sink.h"
#include "tome/status.h"

namespace lv::dict {

// Reads the set of ifoPath into sink, entry by entry. A failure naming the file when a file of the
// set is missing, unreadable or not understood, or when no entry could be read although the index
// lists some; otherwise ok, with unreadable entries counted and disagreements noted in sink.
Status ReadStarDict(const std::string& ifoPath, EntrySink& sink);

}  // namespace lv::dict
