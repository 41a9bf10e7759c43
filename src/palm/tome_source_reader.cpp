#include "palm/tome_source_reader.h"

#include <algorithm>
#include <cerrno>

#include "palm/palm_codecs.h"
#include "tome/coding.h"
#include "tome/format.h"

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
int TomeSourceReader::CheckHeader(std::FILE* file) {
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

int TomeSourceReader::Open(const std::string& path) {
  Close();
  m_version1Packed = false;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return errno == ENOMEM ? kSourceNoMemory : kSourceMissing;
  const int checked = CheckHeader(file);
  std::fclose(file);
  if (checked != kSourceOk) return checked;
  if (m_version1Packed) {
    m_version1File.reset(std::fopen(path.c_str(), "rb"));
    if (!m_version1File) return kSourceMissing;
  }
  switch (m_reader.Open(path, kOpenReadOnly)) {
    case kOpenOk: return kSourceOk;
    case kOpenUnsupported: return kSourceUnsupported;
    default: return kSourceShortRead;
  }
}

std::string TomeSourceReader::GetSubject(int i) {
  std::string subject = m_reader.GetSubject(i);
  if (subject.size() > static_cast<size_t>(kSourceSubjectLimit)) subject.resize(kSourceSubjectLimit);
  return subject;
}

// The stored bytes of version-1 entry i, found through the offset table: the subject record offset
// at 28 + 4i; the subject record (subject length, subject, text offset); the text record (text length,
// the stored bytes), cut at the end of the file.
bool TomeSourceReader::ReadVersion1Stored(int i, std::vector<uint8_t>& stored) {
  std::FILE* file = m_version1File.get();
  if (!file || std::fseek(file, 0, SEEK_END) != 0) return false;
  const long long fileSize = std::ftell(file);
  auto wordAt = [&](long long at, int32_t& value) {
    uint8_t word[4];
    if (at < 0 || at + 4 > fileSize || std::fseek(file, static_cast<long>(at), SEEK_SET) != 0 ||
        std::fread(word, 1, 4, file) != 4) {
      return false;
    }
    value = DecodeLE32Signed(word);
    return value >= 0;
  };
  int32_t subjectRecord = 0;
  int32_t subjectLength = 0;
  int32_t textRecord = 0;
  int32_t textLength = 0;
  if (!wordAt(kV1HeaderFixedSize + 4LL * i, subjectRecord) || !wordAt(subjectRecord, subjectLength) ||
      !wordAt(subjectRecord + 4LL + subjectLength, textRecord) || !wordAt(textRecord, textLength)) {
    return false;
  }
  stored.resize(static_cast<size_t>(std::min<long long>(textLength, fileSize - (textRecord + 4LL))));
  return std::fread(stored.data(), 1, stored.size(), file) == stored.size();
}

namespace {

// The export's reading of version-1 text: every "@" is a newline (in packed text, the line break
// decodes as "@").
void NewlinesForVersion1(std::string& text) { std::replace(text.begin(), text.end(), '@', '\n'); }

}  // namespace

int TomeSourceReader::GetEntryText(int i, std::string& text) {
  if (m_reader.LoadEntryText(i) != 1) {
    text.clear();
    return kSourceShortRead;
  }
  text.assign(m_reader.CurrentEntryText());
  if (m_version1Packed) {
    // The export's own decoding: unlike the tome reader it leaves a character that would start on
    // the low nibble of the last byte undecoded, and writes the line break as "@".
    if (!ReadVersion1Stored(i, m_version1Stored)) {
      text.clear();
      return kSourceShortRead;
    }
    DecodeVersion1Text(m_version1Stored.data(), m_version1Stored.size(), text);
  }
  if (!m_reader.IsCurrentLayout()) NewlinesForVersion1(text);
  if (text.size() > static_cast<size_t>(kSourceTextLimit)) {
    text.resize(kSourceTextCut);
    text += kTooLongMark;
  }
  return kSourceOk;
}

}  // namespace lv
