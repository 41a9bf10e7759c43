// The markup-to-HTML renderer: entry pages, plain page headers and the tagged-text export.
// Pages carry the stored bytes as they are (Windows-1252), with no escaping.
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "docview/markup_walker.h"
#include "tome/status.h"

namespace lv {

class TomeReader;

// The page settings the renderer reads at every page.
struct PageSettings {
  int backgroundStyle = 1;  // 0 colour, 1..5 bitmaps, anything else as 1
  int backRed = 238;
  int backGreen = 238;
  int backBlue = 255;
  std::string fontFace = "Arial";
  int entryFontSize = 3;  // HTML font size 1..7 of entry pages
};

// The whole entry page for one subject and its stored text. The find mark's stretch, clipped to its
// text run, is shown in red with the anchor "findloc".
std::string RenderEntryPage(std::string_view subject, std::string_view entryText, const PageSettings& settings,
                            std::optional<FindMark> find = std::nullopt);

// Loads entry subjectIndex through the reader and renders its whole page into page. Fails with
// InvalidArgument when no tome is open or the index is out of range, with OutOfMemory when the entry
// cannot be loaded; the message is then the cause as the C library words it.
Status RenderEntryPageOf(TomeReader& reader, int subjectIndex, const PageSettings& settings,
                         std::optional<FindMark> find, std::string& page);

// Renders the entry's page (RenderEntryPageOf) and writes it to path, replacing its contents. Fails as
// RenderEntryPageOf does, or with an IO error whose message is the cause ("" when none is known).
Status WriteEntryPage(TomeReader& reader, int subjectIndex, const PageSettings& settings, std::optional<FindMark> find,
                      const std::string& path);

// The opening of a plain page (text files, PalmDOC); the caller adds the body and "</body></html>".
std::string MakePlainPageHeader(const PageSettings& settings, int plainPageFontSize);

// One tab-separated tagged line: subject, TAB, the text with every mark spelled as its tag, CR LF.
void AppendTaggedLine(std::string& out, std::string_view subject, std::string_view entryText);

// The whole tome as tab-separated tagged text. Fails when an entry cannot be loaded or a write fails;
// the message is then the cause as the C library words it ("" when none is known).
Status ExportTaggedText(TomeReader& reader, std::FILE* stream);

}  // namespace lv
