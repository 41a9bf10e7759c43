// Shared by the dictd and StarDict readers: finding the files of a set, reading the lines of an
// index, and the size limits that keep damaged files from costing unbounded memory.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "tome/source_reader.h"
#include "tome/status.h"

namespace lv::dict {

// Longest entry text read; a longer one counts as unreadable (no real dictionary comes near it).
inline constexpr uint64_t kMaxEntryBytes = uint64_t(8) << 20;
// Longest headword or index line taken.
inline constexpr size_t kMaxHeadwordBytes = 4096;

// path without its ending (when path ends with it, in any case).
std::string WithoutEnding(const std::string& path, std::string_view ending);

// The first of base + each ending that exists, in the order given; empty when none does.
std::string FirstExisting(const std::string& base, std::initializer_list<std::string_view> endings);

// NotFound naming what is missing: "cannot find the <what> of 'source': neither 'a' nor 'b' exists".
Status MissingFile(const std::string& source, std::string_view what, const std::string& base,
                   std::initializer_list<std::string_view> endings);

// Reads the next line (without its LF and a CR before it) into line. False at the end of the input.
// A line longer than kMaxHeadwordBytes is read to its end but comes back cut, with tooLong set.
bool ReadIndexLine(SourceReader& in, std::string& line, bool& tooLong);

// Reads bytes up to the next 0x00 into text and moves past the 0x00. False when the input ends first
// (text then holds what was there). A text longer than kMaxHeadwordBytes comes back cut, with tooLong.
bool ReadZeroEnded(SourceReader& in, std::string& text, bool& tooLong);

// Reads n bytes; false when the input ends first.
bool ReadExactly(SourceReader& in, uint8_t* into, size_t n);

}  // namespace lv::dict
