// The pieces of marked-up text (HTML, XDXF, Pango) the markup conversion reads: tags with their
// attributes, entities, and the text of a stretch without its tags.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace lv::dict {

// Longer stretches from "<" to ">" are not taken for a tag (this also bounds the work per "<").
inline constexpr size_t kLongestTag = 4096;

struct Tag {
  std::string name;  // lower case
  std::string_view attributes;
  bool closing = false;
  bool selfClosing = false;
  size_t length = 0;  // bytes of the whole tag
};

// Parses the tag at text[0] == '<'; false when it is not a tag (a lone "<" stays text).
bool ParseTag(std::string_view text, Tag& tag);

// The value of attribute name (any case) in attributes, or empty.
std::string_view AttributeValue(std::string_view attributes, std::string_view name);

// True when part occurs in text, letters compared in any case.
bool ContainsIgnoringCase(std::string_view text, std::string_view part);

// text with its entities decoded (unknown ones stay as they are).
std::string DecodeEntities(std::string_view text);

// The text of a piece of markup without its tags, entities decoded (for link targets).
std::string PlainText(std::string_view text);

// Where the element whose opening tag came just before rest ends: the position of its closing tag in
// rest, with the closing tag's length; npos when it has none.
size_t FindClosing(std::string_view rest, std::string_view name, size_t& closingLength);

}  // namespace lv::dict
