#include "dictionaries/markup_tags.h"

#include "dictionaries/markup_text.h"
#include "tome/collation.h"

namespace lv::dict {
namespace {

bool IsNameChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_' || c == ':';
}

}  // namespace

bool ParseTag(std::string_view text, Tag& tag) {
  text = text.substr(0, kLongestTag);
  size_t i = 1;
  tag.closing = i < text.size() && text[i] == '/';
  if (tag.closing) ++i;
  const size_t nameStart = i;
  while (i < text.size() && IsNameChar(text[i])) ++i;
  if (i == nameStart) return false;
  tag.name.clear();
  for (size_t k = nameStart; k < i; ++k) tag.name.push_back(char(FoldAscii(uint8_t(text[k]))));
  // The end: the first ">" outside quotes.
  char quote = 0;
  size_t end = i;
  for (; end < text.size(); ++end) {
    const char c = text[end];
    if (quote) {
      if (c == quote) quote = 0;
    } else if (c == '"' || c == '\'') {
      quote = c;
    } else if (c == '>') {
      break;
    } else if (c == '<') {
      return false;
    }
  }
  if (end >= text.size()) return false;
  tag.selfClosing = end > i && text[end - 1] == '/';
  tag.attributes = text.substr(i, end - i);
  tag.length = end + 1;
  return true;
}

std::string_view AttributeValue(std::string_view attributes, std::string_view name) {
  size_t at = 0;
  while (at < attributes.size()) {
    while (at < attributes.size() && !IsNameChar(attributes[at])) ++at;
    const size_t start = at;
    while (at < attributes.size() && IsNameChar(attributes[at])) ++at;
    const std::string_view key = attributes.substr(start, at - start);
    while (at < attributes.size() && attributes[at] == ' ') ++at;
    if (at >= attributes.size() || attributes[at] != '=') continue;
    ++at;
    while (at < attributes.size() && attributes[at] == ' ') ++at;
    std::string_view value;
    if (at < attributes.size() && (attributes[at] == '"' || attributes[at] == '\'')) {
      const char quote = attributes[at];
      const size_t close = attributes.find(quote, at + 1);
      const size_t valueEnd = close == std::string_view::npos ? attributes.size() : close;
      value = attributes.substr(at + 1, valueEnd - at - 1);
      at = valueEnd + 1;
    } else {
      const size_t valueStart = at;
      while (at < attributes.size() && attributes[at] != ' ') ++at;
      value = attributes.substr(valueStart, at - valueStart);
    }
    if (key.size() == name.size() && Collate(key, name) == 0) return value;
  }
  return {};
}

bool ContainsIgnoringCase(std::string_view text, std::string_view part) {
  if (part.size() > text.size()) return false;
  for (size_t i = 0; i + part.size() <= text.size(); ++i) {
    if (Collate(text.substr(i, part.size()), part) == 0) return true;
  }
  return false;
}

std::string DecodeEntities(std::string_view text) {
  std::string out;
  std::string character;
  while (!text.empty()) {
    const size_t amp = text.find('&');
    out.append(text.substr(0, amp));
    if (amp == std::string_view::npos) break;
    text.remove_prefix(amp);
    const size_t used = DecodeEntity(text, character);
    out += used ? character : "&";
    text.remove_prefix(used ? used : 1);
  }
  return out;
}

std::string PlainText(std::string_view text) {
  std::string out;
  Tag tag;
  while (!text.empty()) {
    const size_t lt = text.find('<');
    out.append(text.substr(0, lt));
    if (lt == std::string_view::npos) break;
    text.remove_prefix(lt);
    const size_t skip = ParseTag(text, tag) ? tag.length : 1;
    if (skip == 1) out.push_back('<');
    text.remove_prefix(skip);
  }
  return DecodeEntities(out);
}

size_t FindClosing(std::string_view rest, std::string_view name, size_t& closingLength) {
  Tag tag;
  for (size_t at = rest.find('<'); at != std::string_view::npos; at = rest.find('<', at + 1)) {
    if (ParseTag(rest.substr(at), tag) && tag.closing && tag.name == name) {
      closingLength = tag.length;
      return at;
    }
  }
  return std::string_view::npos;
}

}  // namespace lv::dict
