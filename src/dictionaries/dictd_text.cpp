#include "dictionaries/dictd_text.h"

#include <algorithm>
#include <vector>

#include "dictionaries/stored_text_writer.h"
#include "tome/collation.h"

namespace lv::dict {
namespace {

// Lines of at most this many columns in the whole entry are not wrapped text: nothing is joined.
constexpr size_t kShortestWrapWidth = 50;
// A line was wrapped when the next line's first word would not have fitted within this many columns
// of the entry's widest line (wrappers leave a ragged right edge).
constexpr size_t kWrapSlack = 10;
constexpr size_t kLongestIndent = 8;
// A "{" further than this from its "}" is not a link.
constexpr size_t kLongestLink = 200;
constexpr std::string_view kNoBreakSpace = "\xC2\xA0";

struct Line {
  std::string_view text;  // without its indentation and trailing white space
  size_t indent = 0;      // columns, a TAB reaching the next multiple of 8
  size_t width = 0;       // indent + characters
  bool Blank() const { return text.empty(); }
};

// Columns of text: every byte but the continuation bytes of UTF-8 sequences.
size_t CharacterCount(std::string_view text) {
  size_t count = 0;
  for (char c : text) count += (uint8_t(c) & 0xC0) != 0x80;
  return count;
}

Line MakeLine(std::string_view raw) {
  Line line;
  size_t i = 0;
  for (; i < raw.size() && (raw[i] == ' ' || raw[i] == '\t'); ++i) {
    line.indent = raw[i] == '\t' ? (line.indent / 8 + 1) * 8 : line.indent + 1;
  }
  std::string_view text = raw.substr(i);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) text.remove_suffix(1);
  line.text = text;
  line.width = line.indent + text.size();  // bytes for columns: near enough to judge the wrapping
  return line;
}

void SplitLines(std::string_view text, std::vector<Line>& lines) {
  lines.clear();
  while (!text.empty()) {
    const size_t end = text.find('\n');
    lines.push_back(MakeLine(text.substr(0, end)));
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
}

bool SameIgnoringAsciiCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && Collate(a, b) == 0;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// "1.", "2:", "12)", "a)", "(b)", "(iv)", "- ", "* ", bullets, and WordNet's "n 1:", "adj 2:".
bool StartsListItem(std::string_view text) {
  auto followedByBreak = [&](size_t at) { return at >= text.size() || text[at] == ' ' || text[at] == '\t'; };
  size_t i = 0;
  for (std::string_view partOfSpeech : {"n ", "v ", "adj ", "adv "}) {
    if (text.starts_with(partOfSpeech)) i = partOfSpeech.size();
  }
  size_t digits = i;
  while (digits < text.size() && IsDigit(text[digits])) ++digits;
  if (digits > i && digits < text.size() && (text[digits] == '.' || text[digits] == ':' || text[digits] == ')')) {
    return followedByBreak(digits + 1);
  }
  if (text.size() >= 2 && IsLetter(text[0]) && text[1] == ')') return followedByBreak(2);
  if (text.size() >= 3 && text[0] == '(') {
    const size_t close = text.find(')');
    if (close != std::string_view::npos && close >= 2 && close <= 5) {
      bool alphanumeric = true;
      for (size_t k = 1; k < close; ++k) alphanumeric = alphanumeric && (IsLetter(text[k]) || IsDigit(text[k]));
      if (alphanumeric) return followedByBreak(close + 1);
    }
  }
  if (text.starts_with("- ") || text.starts_with("* ") || text.starts_with("\xE2\x80\xA2") ||
      text.starts_with("\xC2\xB7 ") || text.starts_with("\xB7 ")) {
    return true;
  }
  return false;
}

size_t FirstWordLength(std::string_view text) {
  size_t end = 0;
  while (end < text.size() && text[end] != ' ') ++end;
  return CharacterCount(text.substr(0, end));
}

void AppendIndent(std::string& out, size_t columns) {
  for (size_t i = 0; i < std::min(columns, kLongestIndent); ++i) out += kNoBreakSpace;
}

// Drops leading blank lines and a first line that only repeats the headword.
size_t FirstKeptLine(const std::vector<Line>& lines, std::string_view headword) {
  size_t first = 0;
  auto skipBlank = [&] {
    while (first < lines.size() && lines[first].Blank()) ++first;
  };
  skipBlank();
  std::string_view word = headword;
  while (!word.empty() && word.back() == ' ') word.remove_suffix(1);
  if (first < lines.size() && !word.empty() && SameIgnoringAsciiCase(lines[first].text, word)) {
    ++first;
    skipBlank();
  }
  return first;
}

// The word of a "{...}" that ran over a kept line break: without the indentation of its next line.
std::string LinkWord(std::string_view text) {
  std::string word(text);
  for (size_t at = word.find('\n'); at != std::string::npos; at = word.find('\n', at + 1)) {
    while (word.compare(at + 1, kNoBreakSpace.size(), kNoBreakSpace) == 0) word.erase(at + 1, kNoBreakSpace.size());
  }
  return word;
}

}  // namespace

std::string ReflowDictdText(std::string_view definition, std::string_view headword) {
  thread_local std::vector<Line> lines;  // kept from entry to entry, so it is allocated once
  SplitLines(definition, lines);
  const size_t first = FirstKeptLine(lines, headword);
  size_t widest = 0;
  size_t leastIndent = SIZE_MAX;
  for (size_t i = first; i < lines.size(); ++i) {
    if (lines[i].Blank()) continue;
    widest = std::max(widest, lines[i].width);
    leastIndent = std::min(leastIndent, lines[i].indent);
  }
  const bool wrapped = widest > kShortestWrapWidth;

  std::string out;
  out.reserve(definition.size());
  bool pendingBlank = false;
  const Line* previous = nullptr;  // the last non-blank line, when its paragraph goes on
  bool previousStartsParagraph = false;
  size_t continuationIndent = 0;
  for (size_t i = first; i < lines.size(); ++i) {
    const Line& line = lines[i];
    if (line.Blank()) {
      pendingBlank = previous != nullptr || !out.empty();
      previous = nullptr;
      continue;
    }
    bool join = false;
    if (previous && wrapped && !StartsListItem(line.text) &&
        previous->width + 1 + FirstWordLength(line.text) + kWrapSlack > widest) {
      join = previousStartsParagraph ? line.indent >= previous->indent : line.indent == continuationIndent;
    }
    if (join) {
      out.push_back(' ');
      if (previousStartsParagraph) continuationIndent = line.indent;
      previousStartsParagraph = false;
    } else {
      if (!out.empty()) out += pendingBlank ? "\n\n" : "\n";
      AppendIndent(out, line.indent - leastIndent);
      previousStartsParagraph = true;
    }
    pendingBlank = false;
    out += line.text;
    previous = &line;
  }
  return out;
}

std::string ConvertDictdText(std::string_view definition, std::string_view headword, Windows1252Encoder& encoder) {
  const std::string flowed = ReflowDictdText(definition, headword);
  const std::string_view text = flowed;
  StoredTextWriter writer(encoder, flowed.size() + flowed.size() / 8);
  size_t at = 0;
  size_t brace = text.find('{');
  size_t lineEnd = text.find('\n');
  while (at < text.size()) {
    const size_t special = std::min(brace, lineEnd);
    writer.Text(text.substr(at, special - at));
    if (special == std::string_view::npos) break;
    at = special;
    if (text[at] == '\n') {
      const bool blank = at + 1 < text.size() && text[at + 1] == '\n';
      if (blank) {
        writer.Paragraph();
      } else {
        writer.LineBreak();
      }
      at += blank ? 2 : 1;
      lineEnd = text.find('\n', at);
      continue;
    }
    // "{word}": a link when its "}" comes before another "{" and not too far away.
    const std::string_view candidate = text.substr(at + 1, kLongestLink);
    const size_t close = candidate.find_first_of("{}");
    if (close == std::string_view::npos || candidate[close] != '}' || close == 0) {
      writer.Text("{");
      at += 1;
    } else {
      writer.Link(LinkWord(candidate.substr(0, close)));
      at += close + 2;
    }
    brace = text.find('{', at);
    if (lineEnd < at) lineEnd = text.find('\n', at);
  }
  return writer.Finish();
}

}  // namespace lv::dict
