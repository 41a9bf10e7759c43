#include "docview/plain_text.h"

#include <cstdint>
#include <vector>

#include "docview/markup_walker.h"
#include "tome/collation.h"
#include "tome/markup.h"

namespace lv {
namespace {

class PlainWriter {
 public:
  PlainWriter(std::string& out, std::string_view text, std::optional<FindMark> find)
      : m_out(out), m_text(text), m_find(find) {}

  void Run(size_t begin, size_t end) { AppendRunWithHighlight(m_out, m_text, begin, end, m_find, ">>", "<<"); }

  void Mark(uint8_t code) {
    switch (code) {
      case kBoldOn:
      case kBoldOff: m_out += '*'; break;
      case kItalicOn:
      case kItalicOff:
      case kUnderlineOn:
      case kUnderlineOff: m_out += '_'; break;
      case kStrikeOn:
      case kStrikeOff: m_out += '-'; break;
      case kSuperscriptOn: m_out += '^'; break;
      case kHorizontalRule: m_out += "\n----------------------------------------\n"; break;
      case kLineBreak: m_out += '\n'; break;
      case kParagraph: m_out += "\n\n"; break;
      case kNumberedListStart:
        m_lists.push_back(1);
        NewLine();
        break;
      case kBulletListStart:
        m_lists.push_back(0);
        NewLine();
        break;
      case kNumberedListEnd:
      case kBulletListEnd:
        if (!m_lists.empty()) m_lists.pop_back();
        NewLine();
        break;
      case kListItem: ListItem(); break;
      case kCentreOn:
      case kCentreOff: NewLine(); break;
      case kLinkEnd: LinkEnd(); break;
      default: break;  // subscript has no plain form
    }
  }

  void LinkStart(std::string_view target) {
    m_out += '[';
    m_linkTarget.assign(target);
    m_linkTextStart = m_out.size();
    m_inLink = true;
  }

 private:
  void NewLine() {
    if (!m_out.empty() && m_out.back() != '\n') m_out += '\n';
  }
  void ListItem() {
    NewLine();
    m_out.append(2 * (m_lists.empty() ? 1 : m_lists.size()), ' ');
    if (!m_lists.empty() && m_lists.back() > 0) {
      m_out += std::to_string(m_lists.back()++);
      m_out += ". ";
    } else {
      m_out += "* ";
    }
  }
  void LinkEnd() {
    if (!m_inLink) return;
    m_inLink = false;
    if (Collate(std::string_view(m_out).substr(m_linkTextStart), m_linkTarget) != 0) {
      m_out += " -> ";
      m_out += m_linkTarget;
    }
    m_out += ']';
  }

  std::string& m_out;
  std::string_view m_text;
  std::optional<FindMark> m_find;
  std::vector<int> m_lists;  // per open list: 0 bulleted, else the next item number
  std::string m_linkTarget;
  size_t m_linkTextStart = 0;
  bool m_inLink = false;
};

// Trims spaces at line ends, collapses runs of blank lines and ends the text with one line end.
std::string Tidy(const std::string& raw) {
  std::string out;
  out.reserve(raw.size() + 1);
  int pendingNewLines = 0;
  size_t pos = 0;
  while (pos <= raw.size()) {
    size_t end = raw.find('\n', pos);
    if (end == std::string::npos) end = raw.size();
    std::string_view line(raw.data() + pos, end - pos);
    while (!line.empty() && (line.back() == ' ' || line.back() == '\r')) line.remove_suffix(1);
    if (line.empty()) {
      ++pendingNewLines;
    } else {
      if (!out.empty()) out.append(pendingNewLines >= 1 ? "\n\n" : "\n");
      out.append(line);
      pendingNewLines = 0;
    }
    pos = end + 1;
  }
  if (!out.empty()) out += '\n';
  return out;
}

}  // namespace

std::string RenderPlainText(std::string_view entryText, std::optional<FindMark> find) {
  std::string raw;
  raw.reserve(entryText.size() + 64);
  PlainWriter writer(raw, entryText, find);
  WalkStoredText(entryText, writer);
  return Tidy(raw);
}

}  // namespace lv
