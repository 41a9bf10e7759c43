#include "palm/palm_export_source.h"

#include <algorithm>
#include <cerrno>

#include "palm/palm_codecs.h"
#include "tome/file_util.h"
#include "tome/format.h"
#include "tome/tome_header.h"

namespace lv {
namespace {

SourceOpenOutcome SourceFailure(SourceError error) {
  SourceOpenOutcome outcome;
  outcome.error = error;
  switch (error) {
    case SourceError::kNone: break;
    case SourceError::kMissing:
    case SourceError::kSeekFailed: outcome.status = Status::IoError(SourceErrorText(error)); break;
    case SourceError::kNoMemory: outcome.status = Status::OutOfMemory(SourceErrorText(error)); break;
    case SourceError::kUnsupported: outcome.status = Status::NotSupported(SourceErrorText(error)); break;
    case SourceError::kShortRead:
    case SourceError::kBadIdentity: outcome.status = Status::Corruption(SourceErrorText(error)); break;
  }
  return outcome;
}

// The export's reading of version-1 text: every "@" is a newline (in packed text, the line break
// decodes as "@").
void NewlinesForVersion1(std::string& text) { std::replace(text.begin(), text.end(), '@', '\n'); }

}  // namespace

const char* SourceErrorText(SourceError error) {
  switch (error) {
    case SourceError::kNone: return "no error";
    case SourceError::kMissing: return "the file cannot be opened";
    case SourceError::kShortRead: return "the file ends early or is damaged";
    case SourceError::kSeekFailed: return "the file cannot be positioned";
    case SourceError::kNoMemory: return "out of memory";
    case SourceError::kBadIdentity: return "the file is not a tome";
    case SourceError::kUnsupported: return "the tome's version or contents are not supported";
  }
  return "unknown error";
}

// The export's own checks of the header: the third identity word, the version, and every chunk
// (the bookmark chunk too) being skippable.
SourceError PalmExportSource::CheckHeader(std::FILE* file) {
  uint8_t bytes[kHeaderSize];
  const TomeHeader header(bytes, std::fread(bytes, 1, sizeof bytes, file));
  if (!header.Holds(kV1HeaderFixedSize)) return SourceError::kShortRead;
  const uint32_t identity3 = header.IdentityWord(2);
  if (identity3 != kTomeIdentity[2] && identity3 != kTomeIdentity3Alternative) return SourceError::kBadIdentity;
  if (header.IsNewerThanWritten()) return SourceError::kUnsupported;
  if (header.IsVersion1()) {
    // The export decodes version-1 text by the version modulo 10: 1 plain, 2 or 3 packed.
    const int coding = header.Version() % 10;
    if (coding < 1 || coding > 3) return SourceError::kUnsupported;
    m_version1Packed = coding != 1;
    return SourceError::kNone;
  }
  if (!header.Holds(kHeaderSize)) return SourceError::kShortRead;
  for (int32_t chunk = 0; chunk < header.ChunkCount(); ++chunk) {
    uint8_t chunkBytes[kChunkHeaderSize];
    if (std::fread(chunkBytes, 1, sizeof chunkBytes, file) != sizeof chunkBytes) return SourceError::kShortRead;
    const ChunkHeader chunkHeader = ParseChunkHeader(chunkBytes);
    if (!chunkHeader.IsSkippable()) return SourceError::kUnsupported;
    const uint32_t length = static_cast<uint32_t>(chunkHeader.dataLength);
    if (std::fseek(file, static_cast<long>(length), SEEK_CUR) != 0) return SourceError::kSeekFailed;
  }
  return SourceError::kNone;
}

SourceOpenOutcome PalmExportSource::Open(const std::string& path) {
  Close();
  m_version1Packed = false;
  File file;
  if (const Status opened = OpenForReading(path, file); !opened.IsOk()) {
    SourceOpenOutcome outcome = SourceFailure(errno == ENOMEM ? SourceError::kNoMemory : SourceError::kMissing);
    if (outcome.error == SourceError::kMissing) outcome.status = opened;  // names the file and the cause
    return outcome;
  }
  if (const SourceError checked = CheckHeader(file.get()); checked != SourceError::kNone) {
    return SourceFailure(checked);
  }
  const Status opened = m_reader.Open(path, OpenMode::kReadOnly);
  if (opened.IsOk()) return SourceOpenOutcome{};
  return SourceFailure(opened.IsNotSupported() ? SourceError::kUnsupported : SourceError::kShortRead);
}

std::string PalmExportSource::Subject(int i) {
  std::string subject = m_reader.Subject(i);
  if (subject.size() > static_cast<size_t>(kSourceSubjectLimit)) subject.resize(kSourceSubjectLimit);
  return subject;
}

bool PalmExportSource::ReadEntryText(int i, std::string& text) {
  text.clear();
  if (!m_reader.LoadEntryText(i)) return false;
  text.assign(m_reader.CurrentEntryText());
  if (m_version1Packed) {
    // The export's own decoding of the stored bytes (see DecodeVersion1TextForPalm).
    if (!m_reader.ReadVersion1StoredText(i, m_version1Stored)) {
      text.clear();
      return false;
    }
    DecodeVersion1TextForPalm(m_version1Stored.data(), m_version1Stored.size(), text);
  }
  if (!m_reader.IsCurrentLayout()) NewlinesForVersion1(text);
  if (text.size() > static_cast<size_t>(kSourceTextLimit)) {
    text.resize(kSourceTextCut);
    text += kTooLongMark;
  }
  return true;
}

}  // namespace lv
