// Opening tomes and showing their single-byte text on a terminal.
#pragma once

#include <string>
#include <string_view>

#include "cli/command.h"
#include "tome/windows1252.h"  // Windows1252ToUtf8 for text shown on a terminal

namespace lv {
class TomeReader;
}

namespace lv::cli {

// Opens path read-only. On failure prints why ("cannot open 'x.lv': No such file or directory",
// "cannot open 'x.lv': it is a named pipe, not a regular file", "'x.lv' is not a tome this version can
// read: ...") and returns ExitStatus::kFile; else ExitStatus::kOk.
ExitStatus OpenTomeReadOnly(TomeReader& reader, const std::string& path);

// Text typed on the command line, back to Windows-1252. Bytes that are not valid UTF-8, or characters
// that Windows-1252 lacks, are kept as they are.
std::string Utf8ToCp1252(std::string_view text);

}  // namespace lv::cli
