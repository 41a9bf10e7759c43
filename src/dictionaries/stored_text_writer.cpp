#include "dictionaries/stored_text_writer.h"

#include "tome/markup.h"

namespace lv::dict {
namespace {

constexpr std::string_view kLineBreakMark = "\t\x08";

bool IsWhite(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }

}  // namespace

void StoredTextWriter::AppendEncoded(std::string_view text) {
  if (PrintableAsciiRun(text) == text.size()) {  // nothing to encode or replace
    m_out.append(text);
    return;
  }
  const size_t start = m_out.size();
  m_encoder.Append(text, m_out);
  for (size_t i = start; i < m_out.size(); ++i) {
    char& c = m_out[i];
    if (c == '\t' || c == '\n' || c == '\r') c = ' ';
  }
}

void StoredTextWriter::Text(std::string_view text) { AppendEncoded(text); }

void StoredTextWriter::FlowingText(std::string_view text) {
  size_t i = 0;
  while (i < text.size()) {
    if (IsWhite(text[i])) {
      while (i < text.size() && IsWhite(text[i])) ++i;
      const bool lineStart = m_out.empty() || TrailingBreaks() > 0 || m_out.back() == ' ';
      if (!lineStart) m_out.push_back(' ');
      continue;
    }
    size_t end = i;
    while (end < text.size() && !IsWhite(text[end])) ++end;
    AppendEncoded(text.substr(i, end - i));
    i = end;
  }
}

void StoredTextWriter::TrimTrailingSpaces() {
  while (!m_out.empty() && m_out.back() == ' ') m_out.pop_back();
}

int StoredTextWriter::TrailingBreaks() const {
  int count = 0;
  std::string_view rest = m_out;
  while (rest.size() >= 2 && rest.substr(rest.size() - 2) == kLineBreakMark) {
    ++count;
    rest.remove_suffix(2);
  }
  return count;
}

void StoredTextWriter::LineBreak() {
  TrimTrailingSpaces();
  if (m_out.empty() || TrailingBreaks() > 0) return;
  m_out += kLineBreakMark;
}

void StoredTextWriter::HardLineBreak() {
  TrimTrailingSpaces();
  if (m_out.empty() || TrailingBreaks() >= 2) return;
  m_out += kLineBreakMark;
}

void StoredTextWriter::Paragraph() {
  TrimTrailingSpaces();
  if (m_out.empty()) return;
  while (TrailingBreaks() < 2) m_out += kLineBreakMark;
}

void StoredTextWriter::Mark(uint8_t code) {
  m_out.push_back(kMarkByte);
  m_out.push_back(char(code));
}

void StoredTextWriter::BeginLink(std::string_view target) {
  if (m_inLink) EndLink();
  m_linkTarget.clear();
  m_encoder.Append(target, m_linkTarget);
  // A target is a subject on one line: white space as single spaces, none at the ends.
  std::string tidy;
  for (char c : m_linkTarget) {
    if (IsWhite(c)) {
      if (!tidy.empty() && tidy.back() != ' ') tidy.push_back(' ');
    } else {
      tidy.push_back(c);
    }
  }
  while (!tidy.empty() && tidy.back() == ' ') tidy.pop_back();
  if (tidy.empty() || tidy.find('>') != std::string::npos) return;
  m_linkTarget = std::move(tidy);
  m_inLink = true;
  Mark(kLinkStart);
  m_out += m_linkTarget;
  m_out.push_back('>');
  m_linkTextStart = m_out.size();
}

void StoredTextWriter::EndLink() {
  if (!m_inLink) return;
  m_inLink = false;
  TrimTrailingSpaces();
  if (m_out.size() == m_linkTextStart) m_out += m_linkTarget;
  const std::string_view shown = std::string_view(m_out).substr(m_linkTextStart);
  if (shown == m_linkTarget) {
    // The shorter form: the shown text is the target.
    const size_t targetStart = m_linkTextStart - m_linkTarget.size() - 1;
    m_out.erase(targetStart, m_linkTarget.size() + 1);
  }
  Mark(kLinkEnd);
}

void StoredTextWriter::Link(std::string_view word) {
  // The common case at once: a word of printable ASCII on one line is its own target.
  if (!word.empty() && word.front() != ' ' && word.back() != ' ' && PrintableAsciiRun(word) == word.size() &&
      word.find('>') == std::string_view::npos && word.find("  ") == std::string_view::npos) {
    if (m_inLink) EndLink();
    Mark(kLinkStart);
    m_out += word;
    Mark(kLinkEnd);
    return;
  }
  BeginLink(word);
  if (m_inLink) {
    FlowingText(word);
    EndLink();
  } else {
    FlowingText(word);
  }
}

std::string StoredTextWriter::Finish() {
  if (m_inLink) EndLink();
  for (;;) {
    TrimTrailingSpaces();
    if (TrailingBreaks() == 0) break;
    m_out.resize(m_out.size() - 2);
  }
  return std::move(m_out);
}

}  // namespace lv::dict
