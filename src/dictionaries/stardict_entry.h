// One StarDict entry's data as stored entry text. The data is a series of fields, each of a type
// letter: lower-case types are text ("m" plain, "l" local text, "t" phonetic, "h" HTML, "x" XDXF,
// "g" Pango markup, "y", "k", "w", "n" and unknown ones kept as plain text; "r" lists resource files),
// upper-case types are binary (sounds, pictures) and are skipped with a count. With a "same type
// sequence" the types are given once for every entry and the last field has no end mark; otherwise
// each field starts with its type. Text fields end with 0x00, binary fields start with their 32-bit
// big-endian size.
#pragma once

#include <string>
#include <string_view>

#include "dictionaries/entry_sink.h"

namespace lv::dict {

// The stored text of data; fields after damage in the data are left out, resources are counted in
// sink.
std::string ConvertStarDictEntry(std::string_view data, std::string_view sameTypeSequence, EntrySink& sink);

}  // namespace lv::dict
