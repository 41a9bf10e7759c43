// Text pages: the bytes of a plain text file or of a PalmDOC text as a page. The text is
// shown as it is written: markup characters are escaped, tabs, runs of spaces and line ends are kept
// (one pre-wrapped block), and the page declares the character set its bytes are in.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "docview/markup_walker.h"
#include "docview/renderer.h"
#include "tome/text_encoding.h"

namespace lv {

// What becomes of a 0x00 byte: left out (text files), or shown as the symbol for NUL, U+2400, so that
// a text that holds NUL bytes (a PalmDOC's, kept whole) loses none of them unseen.
enum class NulBytes { kLeftOut, kShown };

// UTF-8 when text is well-formed UTF-8 (shortest forms, no surrogates, nothing above U+10FFFF),
// else Windows-1252.
TextEncoding DetectTextEncoding(std::string_view text);

// The whole page for text in the plain page font (face from settings, in Windows-1252 as every page
// setting; HTML size fontSize). CR LF and
// lone CR line ends become LF, a UTF-8 byte-order mark is left out, and 0x00 bytes as nul says. The
// find mark's stretch (byte offsets into text) is shown in red behind the anchor "findloc".
std::string RenderTextPage(std::string_view text, const PageSettings& settings, int fontSize,
                           std::optional<FindMark> find = std::nullopt, NulBytes nul = NulBytes::kLeftOut);

}  // namespace lv
