// The two source parsers of TomeBuilder: tagged text (entries start with "<new>") and
// tab-separated text (one entry per line, ended by CR LF, CR or, in Unix text, LF), and the conversion
// of source tags into markup marks.
//
// The source is read through a SourceReader one entry at a time. A tagged entry's text is measured
// first (up to the next "<new>", without its trailing line breaks and spaces), then read again and
// converted straight into the builder's entry text; a tab-separated text is converted in one pass.
// Nothing but the subject and the first 150 stored bytes is held in memory, so entries of any length
// are taken.
#include <algorithm>
#include <array>
#include <cstring>
#include <new>
#include <string_view>

#include "tome/collation.h"
#include "tome/markup.h"
#include "tome/source_reader.h"
#include "tome/tome_builder.h"

namespace lv {
namespace {

constexpr size_t kLongestTag = 9;  // "</center>", "</strike>"
constexpr int64_t kLongSubjectLength = 100;

struct SourceTag {
  std::string_view form;  // lower case; '*' stands for "e" or "r" (the centre spellings)
  uint8_t code;
};

constexpr SourceTag kSourceTags[] = {
    {"<b>", kBoldOn},           {"</b>", kBoldOff},        {"<i>", kItalicOn},           {"</i>", kItalicOff},
    {"<u>", kUnderlineOn},      {"</u>", kUnderlineOff},   {"<hr>", kHorizontalRule},    {"<br>", kLineBreak},
    {"<p>", kParagraph},        {"<li>", kListItem},       {"<ol>", kNumberedListStart}, {"</ol>", kNumberedListEnd},
    {"<ul>", kBulletListStart}, {"</ul>", kBulletListEnd}, {"<cent**>", kCentreOn},      {"</cent**>", kCentreOff},
    {"<a:", kLinkStart},        {"<a>", kLinkStart},       {"</a>", kLinkEnd},           {"<strike>", kStrikeOn},
    {"</strike>", kStrikeOff},  {"<sup>", kSuperscriptOn}, {"</sup>", kSuperscriptOff},  {"<sub>", kSubscriptOn},
    {"</sub>", kSubscriptOff},
};

bool MatchesForm(const uint8_t* p, size_t n, std::string_view form) {
  if (n < form.size()) return false;
  for (size_t i = 0; i < form.size(); ++i) {
    const uint8_t c = FoldAscii(p[i]);
    if (form[i] == '*' ? (c != 'e' && c != 'r') : c != uint8_t(form[i])) return false;
  }
  return true;
}

// The markup code of the tag at p[0] == '<' within n bytes, with its length; 0 when none.
uint8_t MatchTag(const uint8_t* p, size_t n, size_t& length) {
  for (const SourceTag& tag : kSourceTags) {
    if (MatchesForm(p, n, tag.form)) {
      length = tag.form.size();
      return tag.code;
    }
  }
  return 0;
}

bool IsNewTag(const uint8_t* p, size_t n) { return MatchesForm(p, n, "<new>"); }

inline bool IsBlank(uint8_t c) { return c == '\r' || c == '\n' || c == ' '; }

// Bytes the conversion must look at: tag starts, 0x00 (never stored) and, in tagged text, line ends.
constexpr std::array<bool, 256> SpecialBytes(bool lineBreaks) {
  std::array<bool, 256> table{};
  table['<'] = true;
  table[0] = true;
  table['\r'] = lineBreaks;
  table['\n'] = lineBreaks;
  return table;
}
constexpr std::array<bool, 256> kTaggedSpecial = SpecialBytes(true);
constexpr std::array<bool, 256> kTabSpecial = SpecialBytes(false);

// Moves past the next "<new>" (any case); false at the end of the source.
bool SkipPastNewTag(SourceReader& in) {
  for (;;) {
    const size_t available = in.Fill(5);
    if (available == 0) return false;
    const auto* lt = static_cast<const uint8_t*>(std::memchr(in.Cursor(), '<', available));
    if (!lt) {
      in.Advance(available);
      continue;
    }
    in.Advance(size_t(lt - in.Cursor()));
    if (IsNewTag(in.Cursor(), in.Fill(5))) {
      in.Advance(5);
      return true;
    }
    in.Advance(1);
  }
}

void SkipBlanks(SourceReader& in) {
  while (in.Fill(1) > 0) {
    const uint8_t* p = in.Cursor();
    const size_t n = in.Available();
    size_t i = 0;
    while (i < n && IsBlank(p[i])) ++i;
    in.Advance(i);
    if (i < n) return;
  }
}

// From the cursor to the next "<new>" or the end of the source: end is where that text ends,
// trimmedEnd where it ends without its trailing line breaks and spaces. Leaves the cursor at end.
void MeasureTaggedText(SourceReader& in, int64_t& end, int64_t& trimmedEnd) {
  trimmedEnd = in.Offset();
  for (;;) {
    const size_t available = in.Fill(5);
    if (available == 0) break;
    const uint8_t* p = in.Cursor();
    size_t i = 0;
    size_t lastText = 0;  // one past the last byte that is not blank
    for (; i < available && p[i] != '<'; ++i) {
      if (!IsBlank(p[i])) lastText = i + 1;
    }
    if (lastText > 0) trimmedEnd = in.Offset() + int64_t(lastText);
    in.Advance(i);
    if (i == available) continue;
    if (IsNewTag(in.Cursor(), in.Fill(5))) break;
    in.Advance(1);
    trimmedEnd = in.Offset();
  }
  end = in.Offset();
}

}  // namespace

SourceReader* TomeBuilder::ReaderFor(std::FILE* source) {
  if (m_source && m_source->Stream() == source) return m_source.get();
  m_lineEndByte = 0;
  try {
    m_source = std::make_unique<SourceReader>(source);
  } catch (const std::bad_alloc&) {
    Fail(Status::OutOfMemory("out of memory"));
    return nullptr;
  }
  return m_source.get();
}

bool TomeBuilder::EndOfSource() {
  if (m_source) {
    if (m_source->Failed()) {
      Fail(Status::IoError(std::string("cannot read the source: ") + std::strerror(m_source->ErrorNumber())));
    }
    m_source->Release();
    m_source.reset();
  }
  return false;
}

void TomeBuilder::ReadSubject(SourceReader& in, bool tagged) {
  m_subject.clear();
  m_rawSubjectLength = 0;
  m_subjectLength = 0;
  while (in.Fill(1) > 0) {
    const uint8_t* p = in.Cursor();
    const size_t n = in.Available();
    size_t i = 0;
    if (tagged) {
      while (i < n && p[i] != '\r' && p[i] != '\n') ++i;
    } else {
      const auto* tab = static_cast<const uint8_t*>(std::memchr(p, '\t', n));
      i = tab ? size_t(tab - p) : n;
    }
    m_rawSubjectLength += int64_t(i);
    for (size_t k = 0; k < i; ++k) {
      if (p[k] == 0) continue;
      ++m_subjectLength;
      if (m_subject.size() < size_t(kMaxStoredSubjectLength)) m_subject.push_back(char(p[k]));
    }
    in.Advance(i);
    if (i < n) return;
  }
}

size_t TomeBuilder::ConvertChunk(const uint8_t* p, size_t n, bool final, bool lineBreakMarks) {
  const std::array<bool, 256>& special = lineBreakMarks ? kTaggedSpecial : kTabSpecial;
  size_t i = 0;
  size_t run = 0;  // start of the plain bytes not yet appended
  while (i < n) {
    const uint8_t c = p[i];
    if (!special[c]) {
      ++i;
      continue;
    }
    // A tag or line break near the end of the chunk waits for the bytes that follow it.
    if (!final && n - i < kLongestTag && i > 0) break;
    AppendStoredText(p + run, i - run);
    size_t length = 1;
    if (c == '<') {
      const uint8_t code = MatchTag(p + i, n - i, length);
      if (code != 0) {
        AppendMark(code);
      } else {
        AppendStoredText(p + i, 1);
      }
    } else if (c == '\r') {
      if (i + 1 < n && p[i + 1] == '\n') length = 2;
      AppendMark(kLineBreak);
    } else if (c == '\n') {
      AppendMark(kLineBreak);
    }  // 0x00 would end the stored text early: it is left out.
    i += length;
    run = i;
  }
  AppendStoredText(p + run, i - run);
  return i;
}

void TomeBuilder::ConvertTaggedText(SourceReader& in, int64_t length) {
  int64_t remaining = length;
  while (remaining > 0 && !Failed()) {
    const size_t available = in.Fill(kLongestTag);
    if (available == 0) return;
    const size_t n = size_t(std::min<int64_t>(int64_t(available), remaining));
    const bool final = int64_t(n) == remaining || in.ReachedEnd();
    const size_t used = ConvertChunk(in.Cursor(), n, final, true);
    in.Advance(used);
    remaining -= int64_t(used);
  }
}

void TomeBuilder::ConvertTabText(SourceReader& in) {
  while (!Failed()) {
    const size_t available = in.Fill(kLongestTag);
    if (available == 0) return;
    const uint8_t* p = in.Cursor();
    const auto* lineEnd = static_cast<const uint8_t*>(std::memchr(p, m_lineEndByte, available));
    const size_t n = lineEnd ? size_t(lineEnd - p) : available;
    const bool final = lineEnd != nullptr || in.ReachedEnd();
    const size_t used = ConvertChunk(p, n, final, false);
    in.Advance(used);
    if (final && used == n) return;
  }
}

bool TomeBuilder::ParseTaggedEntry(std::FILE* source) {
  SourceReader* reader = Failed() ? nullptr : ReaderFor(source);
  if (!reader) return EndOfSource();
  SourceReader& in = *reader;
  if (!SkipPastNewTag(in)) return EndOfSource();
  SkipBlanks(in);
  ReadSubject(in, true);
  if (m_subjectLength > kLongSubjectLength) m_longSubjectFlag = 1;
  SkipBlanks(in);
  if (in.Fill(1) == 0) return EndOfSource();  // a subject line at the very end is not stored
  const int64_t start = in.Offset();
  int64_t end = start;
  int64_t trimmedEnd = start;
  MeasureTaggedText(in, end, trimmedEnd);
  if (!in.SeekTo(start)) return EndOfSource();
  BeginEntryText();
  ConvertTaggedText(in, trimmedEnd - start);
  if (Failed() || !in.SeekTo(end)) return EndOfSource();
  FinishEntry();
  return Failed() ? EndOfSource() : true;
}

bool TomeBuilder::ParseTabEntry(std::FILE* source) {
  SourceReader* reader = Failed() ? nullptr : ReaderFor(source);
  if (!reader) return EndOfSource();
  SourceReader& in = *reader;
  if (m_lineEndByte == 0) m_lineEndByte = ReadLineEnd(in) == LineEnd::kLineFeed ? '\n' : '\r';
  ReadSubject(in, false);
  if (in.Fill(1) == 0) return EndOfSource();  // no TAB before the end: the text is empty
  in.Advance(1);
  if (m_rawSubjectLength == 0 || in.Fill(1) == 0 || *in.Cursor() == m_lineEndByte) return EndOfSource();
  if (m_subjectLength > kLongSubjectLength) m_longSubjectFlag = 1;
  BeginEntryText();
  ConvertTabText(in);
  if (Failed()) return EndOfSource();
  // The line end: its CR or LF, and an LF right after a CR. The last line may end without it.
  if (in.Fill(1) > 0) in.Advance(1);
  if (m_lineEndByte == '\r' && in.Fill(1) > 0 && *in.Cursor() == '\n') in.Advance(1);
  FinishEntry();
  return Failed() ? EndOfSource() : true;
}

void TomeBuilder::ImportTaggedText(std::FILE* source, Progress* progress) {
  while (ParseTaggedEntry(source)) {
    if (progress) progress->SetPosition(m_source->Offset());
  }
}

void TomeBuilder::ImportTabText(std::FILE* source, Progress* progress, bool stepFlag) {
  while (ParseTabEntry(source)) {
    if (!progress) continue;
    if (stepFlag) {
      progress->Step();
    } else {
      progress->SetPosition(m_source->Offset());
    }
  }
}

}  // namespace lv
