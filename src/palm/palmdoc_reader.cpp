#include "palm/palmdoc_reader.h"

#include <algorithm>
#include <new>

#include "palm/palmdoc_codec.h"
#include "tome/coding.h"

namespace lv {
namespace {

constexpr uint16_t kNoCompression = 1;
constexpr uint16_t kPalmDocCompression = 2;
constexpr size_t kDocHeaderSize = 16;
// A text record decodes to one record of text, nominally 4096 bytes.
constexpr size_t kMinDecodedRecordCapacity = 4096;

}  // namespace

Status PalmDocReader::Open(const std::string& path) {
  m_text.clear();
  m_mark.reset();
  m_lastType.clear();
  m_lastCreator.clear();
  // The find state is kept: a find-next in the new text searches the remembered text again, from the
  // remembered position when it lies within the new text.
  if (Status opened = OpenForReading(path, m_file); !opened.IsOk()) return opened;
  const Status container = ReadPdbContainer(m_file.get(), m_container);
  m_lastType = m_container.header.type;
  m_lastCreator = m_container.header.creator;
  Status result;
  if (!container.IsOk()) {
    result = Status::Corruption(path + ": " + container.Message());
  } else if (m_lastType != kPalmDocType || m_lastCreator != kPalmDocCreator) {
    result = Status::InvalidArgument(path + " is not a PalmDOC database");
  } else if (!ReadDocHeader()) {
    result = Status::Corruption(path + ": record 0 is not a PalmDOC header");
  } else if (m_docHeader.compression != kNoCompression && m_docHeader.compression != kPalmDocCompression) {
    result = Status::NotSupported(path + ": the compression of the text is unknown (" +
                                  std::to_string(m_docHeader.compression) + ")");
  } else if (!LoadText()) {
    m_text.clear();
    if (m_messages) m_messages->ShowMessage(kDocumentMemoryMessage, MessageIcon::kStop);
  }
  m_file.reset();
  return result;
}

bool PalmDocReader::ReadDocHeader() {
  std::vector<uint8_t> record;
  if (m_container.RecordCount() == 0 || !ReadPdbRecord(m_file.get(), m_container, 0, record) ||
      record.size() < kDocHeaderSize) {
    return false;
  }
  m_docHeader.compression = DecodeBE16(&record[0]);
  m_docHeader.textLength = DecodeBE32(&record[4]);
  m_docHeader.textRecordCount = DecodeBE16(&record[8]);
  m_docHeader.textRecordSize = DecodeBE16(&record[10]);
  m_docHeader.readingPosition = DecodeBE32(&record[12]);
  return true;
}

std::vector<uint8_t> PalmDocReader::ReadRecord(size_t i) {
  std::vector<uint8_t> stored;
  if (!m_file || i + 1 >= m_container.RecordCount() || !ReadPdbRecord(m_file.get(), m_container, i + 1, stored)) {
    return {};
  }
  if (m_docHeader.compression == kNoCompression) return stored;
  if (m_docHeader.compression != kPalmDocCompression) return {};
  // Each compressed byte yields at most five decoded ones (a two-byte reference copies ten).
  const size_t capacity =
      std::min(std::max<size_t>(kMinDecodedRecordCapacity, m_docHeader.textRecordSize), 5 * stored.size());
  std::vector<uint8_t> decoded(capacity);
  decoded.resize(PalmDocDecompress(stored.data(), stored.size(), decoded.data(), decoded.size()));
  return decoded;
}

// Appends every text record in order, never past the text length of record 0. False when the text
// buffer cannot be allocated.
bool PalmDocReader::LoadText() {
  const size_t records = std::min<size_t>(m_docHeader.textRecordCount, m_container.RecordCount() - 1);
  // The text cannot be longer than the records can decode to, whatever record 0 says.
  size_t storedTotal = 0;
  for (size_t i = 1; i <= records; ++i) storedTotal += m_container.RecordSize(i);
  const size_t length = std::min<size_t>(m_docHeader.textLength, 5 * storedTotal);
  try {
    m_text.reserve(length + 1);
  } catch (const std::bad_alloc&) {
    return false;
  }
  for (size_t i = 0; i < records && m_text.size() < length; ++i) {
    const std::vector<uint8_t> bytes = ReadRecord(i);
    const size_t take = std::min(bytes.size(), length - m_text.size());
    m_text.append(reinterpret_cast<const char*>(bytes.data()), take);
  }
  // The text is kept whole, NUL bytes included: a NUL is a byte of the text like any other.
  return true;
}

// Only the pair Find put in is taken out: a text may hold the mark texts as its own words.
void PalmDocReader::RemoveMarks() {
  if (!m_mark) return;
  const std::string_view open = kFindOpeningMark;
  const std::string_view close = kFindClosingMark;
  m_text.erase(m_mark->offset + open.size() + m_mark->length, close.size());
  m_text.erase(m_mark->offset, open.size());
  m_mark.reset();
}

int PalmDocReader::Find(std::string_view text, bool findNext, bool mark) {
  if (m_text.empty() || (text.empty() && !findNext)) return -1;
  const bool again = findNext && m_findPosition != -1;
  const std::string wanted(again ? std::string_view(m_findText) : text);
  if (wanted.empty()) return -1;
  RemoveMarks();
  // A remembered position beyond the end of this text searches from 0; only a match changes it.
  const bool beyondEnd = m_findPosition > static_cast<long long>(m_text.size());
  const size_t from = (beyondEnd || m_findPosition < 1) ? 0 : static_cast<size_t>(m_findPosition);
  size_t match = m_text.find(wanted, from);
  if (match == std::string::npos) match = m_text.find(wanted, 0);
  if (match == std::string::npos) return -1;
  m_findText = wanted;
  m_findPosition = static_cast<long long>(match + wanted.size());
  if (mark) {
    m_text.insert(match + wanted.size(), kFindClosingMark);
    m_text.insert(match, kFindOpeningMark);
    m_mark = MarkedStretch{match, wanted.size()};
  }
  return static_cast<int>(match);
}

}  // namespace lv
