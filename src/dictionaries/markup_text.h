// Marked-up dictionary texts as stored entry text: HTML, XDXF and Pango markup. Tags with a tome
// mark become that mark (bold, italic, underline, strike-through, super- and subscript, centring,
// lists, rules, line breaks and paragraphs); links to other headwords ("bword://" in HTML, <kref> in
// XDXF) become links; other tags go and their text stays. Entities become their characters. Images,
// sounds and other resources are skipped and counted.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "dictionaries/stored_text_writer.h"

namespace lv::dict {

enum class MarkupKind {
  kHtml,   // white space flows; <br> and blocks break lines
  kXdxf,   // line ends are line breaks
  kPango,  // line ends are line breaks
};

// Writes text to writer; adds the resources it skipped to skippedResources.
void ConvertMarkup(std::string_view text, MarkupKind kind, StoredTextWriter& writer, int64_t& skippedResources);

// Decodes one entity at the front of text ("&amp;", "&#233;", "&#xE9;"); returns its length, or 0
// when text does not start with a known entity. character gets its UTF-8 form.
size_t DecodeEntity(std::string_view text, std::string& character);

}  // namespace lv::dict
