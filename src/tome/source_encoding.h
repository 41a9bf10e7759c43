// The encoding of a tagged or tab-separated source text. Automatic: UTF-8 when the source is
// well-formed UTF-8 and holds a byte of 0x80 or above, or starts with a UTF-8 byte-order mark (which
// is then dropped); Windows-1252 otherwise, so that every source of plain ASCII or Windows-1252 text
// builds the same tome as it always has.
#pragma once

#include <cstdio>
#include <optional>
#include <string_view>

#include "tome/status.h"
#include "tome/text_encoding.h"

namespace lv {

enum class SourceEncoding {
  kAuto,
  kUtf8,
  kWindows1252,
};

// "auto", "utf-8" or "windows-1252" (any case; "utf8" and "cp1252" too), or nothing.
std::optional<SourceEncoding> ParseSourceEncoding(std::string_view name);

inline constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";
inline bool StartsWithByteOrderMark(std::string_view text) { return text.substr(0, 3) == kUtf8ByteOrderMark; }

// The automatic choice for a source held in memory.
TextEncoding DetectEncoding(std::string_view text);
// What a pass over a source stream found.
struct SourceScan {
  bool byteOrderMark = false;  // the stream starts with one
  bool validUtf8 = true;       // every byte is well-formed UTF-8
  bool highByte = false;       // a byte of 0x80 or above occurs
  TextEncoding Detected() const {
    return byteOrderMark || (validUtf8 && highByte) ? TextEncoding::kUtf8 : TextEncoding::kWindows1252;
  }
};
// Reads the stream from its start to its end (or to its first byte that is not UTF-8) and leaves it
// at its start. An IO error (without a message: the caller names the file) when it cannot be read.
Status ScanStream(std::FILE* stream, SourceScan& scan);

// choice resolved for text held in memory.
TextEncoding ResolveEncoding(SourceEncoding choice, std::string_view text);

}  // namespace lv
