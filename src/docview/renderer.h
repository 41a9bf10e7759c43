// The markup-to-HTML renderer: entry pages, plain page headers and the tagged-text export.
// Pages carry the stored bytes as they are (Windows-1252), with no escaping.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace lv {

class TomeReader;

// The page settings the renderer reads at every page.
struct PageSettings {
  int backgroundStyle = 1;  // 0 colour, 1..5 bitmaps, anything else as 1
  int backRed = 238;
  int backGreen = 238;
  int backBlue = 255;
  std::string fontFace = "Arial";
};

// The whole entry page for one subject and its stored text. findOffset -1 marks nothing.
std::string RenderEntryPage(std::string_view subject, std::string_view entryText, const PageSettings& settings,
                            int entryPageFontSize, int findOffset, int findLength);

// Loads the entry through the reader and writes its page to path (replacing its contents). False when the
// entry cannot be loaded or the file cannot be written.
bool WriteEntryPage(TomeReader& reader, const PageSettings& settings, const std::string& path, int subjectIndex,
                    int findOffset, int findLength);

// The opening of a plain page (text files, PalmDOC); the caller adds the body and "</body></html>".
std::string MakePlainPageHeader(const PageSettings& settings, int plainPageFontSize);

// One tab-separated tagged line: subject, TAB, the text with every mark spelled as its tag, CR LF.
void AppendTaggedLine(std::string& out, std::string_view subject, std::string_view entryText);

// The whole tome as tab-separated tagged text. False when an entry cannot be loaded or a write fails.
bool ExportTaggedText(TomeReader& reader, std::FILE* stream);

}  // namespace lv
