// TomeBuilder: its temporary files and failure state, and the writing of the tome file. Entries are
// assembled into the temporary files in tome_builder_entries.cpp.
//
// Tome file (current layout; every integer 32-bit little-endian, offsets from the file's start):
//
//   0     identity words 0x10000037 0x1000006D 0x100016D2 0xFCDDF4DC    (16 bytes, not examined)
//   16    version                      2001 (2000 reads alike; higher is refused)
//   20    sorted flag                  1 when every subject collates at or after the one before
//   24    subject count N
//   28    chunk count                  1 (Windows-1252 text) or 2 (UTF-8 text)
//   32    chunk area length            4755 = chunk header (12) + bookmark table (4743);
//                                      4775 with the text-encoding chunk (+ 12 + 8)
//   36    chunk header                 type 1 (bookmarks), skippable flag 1, data length 4743
//   48    bookmark table               51 records of 93 bytes: name length (0 = free), subject
//                                      number, reserved, name (81 bytes, 0x00-padded); written zero
//   4791  UTF-8 tomes only:
//         chunk header                 type 2 (text encoding), skippable flag 0, data length 8
//   4803  encoding name                "UTF-8" and three 0x00 bytes (8 bytes); a reader that does
//                                      not know the chunk refuses the tome, one that knows it
//                                      refuses any other name; without the chunk the text is
//                                      Windows-1252
//   4791  subject offset table         N positions in the main text stream, ascending (4811 in a
//                                      UTF-8 tome)
//   ...   main text section
//   ...   extension text section       right after the main section (its start + 4 + its length)
//
// Text section:
//   0     section length               bytes after this field: 8 + 8 * B + compressed bytes
//   4     block count B                0 for an empty stream
//   8     block size S                 25000; every block but the last holds S stream bytes
//   12    block table                  per block: offset (from the end of the table), length
//   12+8B compressed blocks            each on its own (block_codec.h), no gaps
//
// Main text stream: one entry record per entry, in subject order:
//   flags 0x60 (text whole) or 0xE0 (text continues in the extension stream)
//   extension position (4)             only with 0xE0
//   subject, 0x00
//   entry head: the first min(L, 150) bytes of the stored text (L bytes in all), 0x00
// Extension stream: for each entry with L > 150, its stored text from byte 150 on, 0x00.
//
// A stream position p lies in block p / S at offset p % S. The reader decodes the next block's first
// kNextBlockHeadDecoded bytes with each block, so no record may be longer than 2001 bytes; subjects are
// cut to kMaxStoredSubjectLength to guarantee it.
#include "tome/tome_builder.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <new>
#include <vector>

#include "tome/block_codec.h"
#include "tome/block_encoder.h"
#include "tome/coding.h"
#include "tome/file_util.h"
#include "tome/format.h"
#include "tome/source_reader.h"

namespace lv {
namespace {

constexpr size_t kTempBufferSize = 1 << 16;

File OpenBufferedTempFile() {
  File file = OpenAnonymousTempFile();
  if (file) std::setvbuf(file.get(), nullptr, _IOFBF, kTempBufferSize);
  return file;
}

// Copies source from its start to the end of destination. False on a read or write error.
bool CopyWholeFile(std::FILE* source, std::FILE* destination) {
  if (std::fflush(source) != 0 || std::fseek(source, 0, SEEK_SET) != 0) return false;
  return CopyStream(source, destination);
}

std::string ErrnoText() { return std::strerror(errno != 0 ? errno : EIO); }

}  // namespace

TomeBuilder::TomeBuilder() {
  m_offsetFile = OpenBufferedTempFile();
  m_mainStreamFile = OpenBufferedTempFile();
  m_extensionStreamFile = OpenBufferedTempFile();
  m_mainSectionFile = OpenBufferedTempFile();
  m_extensionSectionFile = OpenBufferedTempFile();
  if (!m_offsetFile || !m_mainStreamFile || !m_extensionStreamFile || !m_mainSectionFile || !m_extensionSectionFile) {
    Fail(Status::IoError("cannot create a temporary file in '" + TemporaryFolder() + "': " + ErrnoText()));
  }
  m_head.reserve(kEntryHeadLength);
}

TomeBuilder::~TomeBuilder() = default;

void TomeBuilder::Fail(Status failure) {
  if (m_status.IsOk()) m_status = std::move(failure);
}

bool TomeBuilder::CheckCancelled() {
  if (!m_cancelled || !m_cancelled()) return false;
  Fail(Status::Cancelled("the import was cancelled"));
  return true;
}

bool TomeBuilder::CheckWritten(std::FILE* file) {
  if (!std::ferror(file)) return true;
  Fail(Status::IoError("cannot write a temporary file in '" + TemporaryFolder() + "': " + ErrnoText()));
  return false;
}

Status TomeBuilder::SaveTome(std::FILE* out) {
  if (Failed()) return m_status;
  Status compressed = CompressSection(m_mainStreamFile.get(), m_mainSectionFile.get(), m_cancelled);
  if (compressed.IsOk()) {
    compressed = CompressSection(m_extensionStreamFile.get(), m_extensionSectionFile.get(), m_cancelled);
  }
  if (!compressed.IsOk()) {
    if (compressed.IsCancelled()) Fail(compressed);
    if (compressed.Code() != StatusCode::kIoError) return compressed;
    Fail(Status::IoError("cannot compress the text: " + ErrnoText()));
    return m_status;
  }
  std::string head;
  const bool utf8 = m_encoding == TextEncoding::kUtf8;
  head.reserve(kWrittenUtf8SubjectTableOffset);
  for (uint32_t word : kTomeIdentity) AppendLE32(head, word);
  AppendLE32(head, uint32_t(kWrittenVersion));
  AppendLE32(head, uint32_t(m_sortedFlag));
  AppendLE32(head, uint32_t(m_entryCount));
  AppendLE32(head, utf8 ? 2 : 1);  // chunk count
  AppendLE32(head, uint32_t(utf8 ? kWrittenUtf8ChunkAreaLength : kWrittenChunkAreaLength));
  AppendLE32(head, uint32_t(kChunkTypeBookmarks));
  AppendLE32(head, 1);  // skippable
  AppendLE32(head, uint32_t(kBookmarkTableSize));
  head.append(size_t(kBookmarkTableSize), '\0');
  if (utf8) {
    AppendLE32(head, uint32_t(kChunkTypeTextEncoding));
    AppendLE32(head, 0);  // not skippable
    AppendLE32(head, uint32_t(kTextEncodingDataSize));
    head.append(kUtf8EncodingData, size_t(kTextEncodingDataSize));
  }
  const bool written = std::fwrite(head.data(), 1, head.size(), out) == head.size() &&
                       CopyWholeFile(m_offsetFile.get(), out) && CopyWholeFile(m_mainSectionFile.get(), out) &&
                       CopyWholeFile(m_extensionSectionFile.get(), out) && std::fflush(out) == 0;
  if (!written) {
    Fail(Status::IoError("cannot write the tome: " + ErrnoText()));
    return m_status;
  }
  return Status::Ok();
}

Status TomeBuilder::CompressSection(std::FILE* source, std::FILE* destination, const std::function<bool()>& cancelled) {
  const Status writeFailed = Status::IoError("");
  const File data = OpenBufferedTempFile();
  if (!data) return writeFailed;
  std::vector<uint8_t> input, output;
  std::vector<uint32_t> index;  // per block: offset, compressed length
  try {
    input.resize(kWrittenBlockSize);
    output.resize(MaxCompressedSize(kWrittenBlockSize));
  } catch (const std::bad_alloc&) {
    return Status::OutOfMemory("out of memory");
  }
  BlockEncoder encoder;
  int64_t runningOffset = 0;
  if (std::fflush(source) != 0 || std::fseek(source, 0, SEEK_SET) != 0) return writeFailed;
  for (;;) {
    if (cancelled && cancelled()) return Status::Cancelled("the import was cancelled");
    const size_t got = std::fread(input.data(), 1, input.size(), source);
    if (got == 0) {
      if (std::ferror(source)) return writeFailed;
      break;
    }
    const size_t length = encoder.Compress(input.data(), got, output.data());
    if (length == 0) return Status::OutOfMemory("a block could not be compressed");
    index.push_back(uint32_t(runningOffset));
    index.push_back(uint32_t(length));
    if (std::fwrite(output.data(), 1, length, data.get()) != length) return writeFailed;
    runningOffset += int64_t(length);
  }
  const int64_t blockCount = int64_t(index.size() / 2);
  const int64_t sectionLength = runningOffset + kBlockTableEntrySize * blockCount + 8;
  if (sectionLength > INT32_MAX) return writeFailed;
  std::string header;
  AppendLE32(header, uint32_t(sectionLength));
  AppendLE32(header, uint32_t(blockCount));
  AppendLE32(header, uint32_t(kWrittenBlockSize));
  for (uint32_t v : index) AppendLE32(header, v);
  const bool written = std::fseek(destination, 0, SEEK_SET) == 0 &&
                       std::fwrite(header.data(), 1, header.size(), destination) == header.size() &&
                       CopyWholeFile(data.get(), destination) && std::fflush(destination) == 0;
  return written ? Status::Ok() : writeFailed;
}

}  // namespace lv
