#include "palm/palm_text.h"

#include "tome/markup.h"

namespace lv {
namespace {

// The output with its limit: once something does not fit whole, nothing more is written.
class PreparedText {
 public:
  PreparedText(std::string& out, size_t limit) : m_out(out), m_limit(limit) { m_out.clear(); }
  void Put(std::string_view s) {
    if (m_full || s.size() > m_limit - m_out.size()) {
      if (!m_full) m_out.append(s.substr(0, m_limit - m_out.size()));
      m_full = true;
      return;
    }
    m_out.append(s);
  }
  void Put(char c) { Put(std::string_view(&c, 1)); }
  // A mark is never cut in two.
  void PutMark(uint8_t code) {
    if (m_limit - m_out.size() < 2) m_full = true;
    if (m_full) return;
    m_out.push_back(kMarkByte);
    m_out.push_back(static_cast<char>(code));
  }

 private:
  std::string& m_out;
  size_t m_limit;
  bool m_full = false;
};

bool KeptCode(uint8_t code) {
  return (code >= kBoldOn && code <= kHorizontalRule) || code == kListItem ||
         (code >= kBulletListStart && code <= kCentreOff);
}

}  // namespace

void PrepareTextForPalm(std::string_view text, const SortedSubjectIndex& subjects, size_t limit, std::string& out) {
  PreparedText prepared(out, limit);
  bool resolvedLinkOpen = false;
  size_t i = 0;
  while (i < text.size()) {
    if (text[i] != kMarkByte) {
      prepared.Put(text[i++]);
      continue;
    }
    if (i + 1 >= text.size()) break;  // a TAB without its code
    const uint8_t code = static_cast<uint8_t>(text[i + 1]);
    i += 2;
    if (KeptCode(code)) {
      prepared.PutMark(code);
    } else if (code == kLineBreak || code == kParagraph) {
      prepared.Put(code == kLineBreak ? "\n" : "\n\n");
      if (i < text.size() && text[i] == ' ') ++i;
    } else if (code == kLinkEnd) {
      if (resolvedLinkOpen) prepared.PutMark(kLinkEnd);
      resolvedLinkOpen = false;
    } else if (code == kLinkStart) {
      size_t end = i;
      while (end < text.size() && end - i < kLinkTargetMaxLength && text[end] != '>' && text[end] != kMarkByte) {
        ++end;
      }
      const std::string_view name = text.substr(i, end - i);
      const int target = subjects.Find(name);
      resolvedLinkOpen = target >= 0;
      if (target < 0) continue;  // the name and the visible text stay as plain text
      prepared.PutMark(kLinkStart);
      prepared.Put(std::to_string(target));
      if (end < text.size() && text[end] == '>') {
        i = end;  // ">" and the visible text follow as plain text
      } else {
        prepared.Put('>');
        prepared.Put(name.substr(0, kLinkVisibleMaxLength));
        i = end;
      }
    }
    // Codes 11 and 12, 0 and 19 and above are dropped.
  }
}

}  // namespace lv
