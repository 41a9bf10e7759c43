#include "palm/tome_source_reader.h"

#include <cerrno>

#include "tome/coding.h"
#include "tome/format.h"
#include "tome/markup.h"

namespace lv {

const char* SourceErrorText(int code) {
  switch (code) {
    case kSourceOk: return "no error";
    case kSourceMissing: return "the file cannot be opened";
    case kSourceShortRead: return "the file ends early or is damaged";
    case kSourceSeekFailed: return "the file cannot be positioned";
    case kSourceNoMemory: return "out of memory";
    case kSourceBadIdentity: return "the file is not a tome";
    case kSourceUnsupported: return "the tome's version or contents are not supported";
    default: return "unknown error";
  }
}

// The export's own checks of the header: the third identity word, the version, and every chunk
// being skippable.
int CTomeSourceReader::CheckHeader(std::FILE* file) {
  uint8_t header[kHeaderSize];
  if (std::fread(header, 1, kV1HeaderFixedSize, file) != static_cast<size_t>(kV1HeaderFixedSize)) {
    return kSourceShortRead;
  }
  const uint32_t identity3 = DecodeLE32(header + 8);
  if (identity3 != kTomeIdentity[2] && identity3 != kTomeIdentity3Alternative) return kSourceBadIdentity;
  const int32_t version = DecodeLE32Signed(header + kVersionOffset);
  if (version > kWrittenVersion) return kSourceUnsupported;
  if (version < kFirstCurrentVersion) {
    // The export decodes version-1 text by the version modulo 10: 1 plain, 2 or 3 packed.
    const int coding = version % 10;
    if (coding < 1 || coding > 3) return kSourceUnsupported;
    m_version1Packed = coding != 1;
    return kSourceOk;
  }
  if (std::fread(header + kV1HeaderFixedSize, 1, kHeaderSize - kV1HeaderFixedSize, file) !=
      static_cast<size_t>(kHeaderSize - kV1HeaderFixedSize)) {
    return kSourceShortRead;
  }
  const int32_t chunkCount = DecodeLE32Signed(header + kChunkCountOffset);
  for (int32_t chunk = 0; chunk < chunkCount; ++chunk) {
    uint8_t chunkHeader[kChunkHeaderSize];
    if (std::fread(chunkHeader, 1, sizeof chunkHeader, file) != sizeof chunkHeader) return kSourceShortRead;
    if (DecodeLE32(chunkHeader + 4) != 1) return kSourceUnsupported;
    const uint32_t length = DecodeLE32(chunkHeader + 8);
    if (std::fseek(file, static_cast<long>(length), SEEK_CUR) != 0) return kSourceSeekFailed;
  }
  return kSourceOk;
}

int CTomeSourceReader::Open(const std::string& path) {
  m_reader.Close();
  m_version1Packed = false;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return errno == ENOMEM ? kSourceNoMemory : kSourceMissing;
  const int checked = CheckHeader(file);
  std::fclose(file);
  if (checked != kSourceOk) return checked;
  switch (m_reader.Open(path, kOpenReadOnly)) {
    case kOpenOk: return kSourceOk;
    case kOpenUnsupported: return kSourceUnsupported;
    default: return kSourceShortRead;
  }
}

std::string CTomeSourceReader::GetSubject(int i) {
  std::string subject = m_reader.GetSubject(i);
  if (subject.size() > static_cast<size_t>(kSourceSubjectLimit)) subject.resize(kSourceSubjectLimit);
  return subject;
}

namespace {

// The export's reading of version-1 text: every "@" is a newline, and so is the packed line break,
// which the tome reader hands over as a line-break mark.
void NewlinesForVersion1(std::string& text, bool packed) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (packed && text[i] == kMarkByte && i + 1 < text.size() && text[i + 1] == char(kLineBreak)) {
      out.push_back('\n');
      ++i;
    } else {
      out.push_back(text[i] == '@' ? '\n' : text[i]);
    }
  }
  text.swap(out);
}

}  // namespace

int CTomeSourceReader::GetEntryText(int i, std::string& text) {
  if (m_reader.LoadEntryText(i) != 1) {
    text.clear();
    return kSourceShortRead;
  }
  text.assign(m_reader.CurrentEntryText());
  if (!m_reader.IsCurrentLayout()) NewlinesForVersion1(text, m_version1Packed);
  if (text.size() > static_cast<size_t>(kSourceTextLimit)) {
    text.resize(kSourceTextCut);
    text += kTooLongMark;
  }
  return kSourceOk;
}

}  // namespace lv
