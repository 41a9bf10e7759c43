// TomeBuilder: entry assembly. The parsers (source_parser.cpp) and AddEntry hand each entry's stored
// text over piece by piece; the head is kept in memory, the rest goes straight into the extension
// stream file; FinishEntry applies the sorted check and writes the entry record and its subject position.
#include <algorithm>
#include <cstdio>
#include <string>
#include <string_view>

#include "tome/coding.h"
#include "tome/collation.h"
#include "tome/format.h"
#include "tome/markup.h"
#include "tome/tome_builder.h"
#include "tome/unicode.h"

namespace lv {
namespace {

constexpr size_t kHeadLength = size_t(kEntryHeadLength);

}  // namespace

void TomeBuilder::ApplySortedCheck(std::string_view subject) {
  if (m_sortedFlag != 1) return;
  if (!m_previousSubject.empty() && !subject.empty() && Collate(m_previousSubject, subject, m_encoding) > 0) {
    m_sortedFlag = 0;
  }
  m_previousSubject.assign(subject);
}

void TomeBuilder::BeginEntryText() {
  m_head.clear();
  m_textLength = 0;
}

void TomeBuilder::AppendStoredText(const uint8_t* bytes, size_t n) {
  if (n == 0 || Failed()) return;
  const size_t toHead = std::min(n, kHeadLength - m_head.size());
  m_head.append(reinterpret_cast<const char*>(bytes), toHead);
  m_textLength += int64_t(n);
  const size_t rest = n - toHead;
  if (rest == 0) return;
  // The piece in the extension stream: bytes from 150 on, plus its 0x00.
  if (m_extensionPosition + (m_textLength - kEntryHeadLength) + 1 > m_maxStreamLength) {
    Fail(Status::NotSupported("the entry texts are too long for one tome (more than " +
                              std::to_string(m_maxStreamLength) + " bytes in the extension stream)"));
    return;
  }
  if (std::fwrite(bytes + toHead, 1, rest, m_extensionStreamFile.get()) != rest) {
    CheckWritten(m_extensionStreamFile.get());
  }
}

void TomeBuilder::AppendMark(uint8_t code) {
  const uint8_t mark[2] = {uint8_t(kMarkByte), code};
  AppendStoredText(mark, 2);
}

void TomeBuilder::FinishEntry() {
  if (Failed() || CheckCancelled()) return;
  // A subject cut to its longest stored length keeps whole characters only.
  if (m_encoding == TextEncoding::kUtf8 && m_subjectLength > int64_t(m_subject.size())) {
    m_subject.resize(WholeUtf8Length(m_subject));
  }
  const bool extended = m_textLength > kEntryHeadLength;
  const int64_t recordLength = 1 + (extended ? 4 : 0) + int64_t(m_subject.size()) + 1 + int64_t(m_head.size()) + 1;
  if (m_mainPosition + recordLength > m_maxStreamLength) {
    Fail(Status::NotSupported("the source has too many entries for one tome (more than " +
                              std::to_string(m_maxStreamLength) + " bytes in the main stream)"));
    return;
  }
  ApplySortedCheck(m_subject);
  if (m_subjectLength > int64_t(m_subject.size())) ++m_cutSubjectCount;

  std::string record;
  record.reserve(size_t(recordLength));
  record.push_back(char(extended ? kRecordFlagsExtended : kRecordFlagsWhole));
  if (extended) AppendLE32(record, uint32_t(m_extensionPosition));
  record.append(m_subject);
  record.push_back('\0');
  record.append(m_head);
  record.push_back('\0');

  uint8_t offset[4];
  EncodeLE32(offset, uint32_t(m_mainPosition));
  std::fwrite(offset, 1, 4, m_offsetFile.get());
  std::fwrite(record.data(), 1, record.size(), m_mainStreamFile.get());
  m_mainPosition += recordLength;
  if (extended) {
    std::fputc(0, m_extensionStreamFile.get());
    m_extensionPosition += m_textLength - kEntryHeadLength + 1;
  }
  ++m_entryCount;
  CheckWritten(m_offsetFile.get()) && CheckWritten(m_mainStreamFile.get()) && CheckWritten(m_extensionStreamFile.get());
}

void TomeBuilder::WriteEntry(std::string_view subject, std::string_view storedText) {
  m_subject.clear();
  m_rawSubjectLength = int64_t(subject.size());
  m_subjectLength = 0;
  for (char c : subject) {
    if (c == '\0') continue;
    ++m_subjectLength;
    if (m_subject.size() < size_t(kMaxStoredSubjectLength)) m_subject.push_back(c);
  }
  BeginEntryText();
  size_t start = 0;
  while (start < storedText.size()) {
    size_t zero = storedText.find('\0', start);
    if (zero == std::string_view::npos) zero = storedText.size();
    AppendStoredText(reinterpret_cast<const uint8_t*>(storedText.data()) + start, zero - start);
    start = zero + 1;
  }
  FinishEntry();
}

void TomeBuilder::AddEntry(std::string_view subject, std::string_view storedText) {
  if (!Failed()) WriteEntry(subject, storedText);
}

}  // namespace lv
