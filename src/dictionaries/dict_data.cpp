#include "dictionaries/dict_data.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "dictionaries/compressed_file.h"

namespace lv::dict {
namespace {

constexpr uint8_t kFlagHeaderCrc = 0x02;
constexpr uint8_t kFlagExtra = 0x04;
constexpr uint8_t kFlagName = 0x08;
constexpr uint8_t kFlagComment = 0x10;
constexpr size_t kFixedHeaderSize = 10;
constexpr size_t kWindowSize = 1 << 12;

uint16_t DecodeLE16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }

// Reads exactly n bytes at offset; false when the file ends first or cannot be read (errno is 0 at
// the end of the file).
bool ReadAt(std::FILE* file, uint64_t offset, void* into, size_t n) {
  auto* bytes = static_cast<uint8_t*>(into);
  while (n > 0) {
    errno = 0;
    const ssize_t got = ::pread(fileno(file), bytes, n, off_t(offset));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    bytes += got;
    offset += uint64_t(got);
    n -= size_t(got);
  }
  return true;
}

bool WriteAt(std::FILE* file, uint64_t offset, const uint8_t* bytes, size_t n) {
  while (n > 0) {
    const ssize_t put = ::pwrite(fileno(file), bytes, n, off_t(offset));
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    bytes += put;
    offset += uint64_t(put);
    n -= size_t(put);
  }
  return true;
}

std::string ErrnoText() { return std::strerror(errno != 0 ? errno : EIO); }

}  // namespace

DictData::DictData() = default;

DictData::~DictData() {
  if (m_inflaterReady) inflateEnd(&m_inflater);
}

Status DictData::Damaged(const std::string& cause) const {
  return Status::Corruption("'" + m_path + "' is damaged: " + cause);
}

Status DictData::Open(const std::string& path) {
  m_path = path;
  m_file = OpenFile(path, "rb");
  if (!m_file) {
    const std::string message = "cannot open '" + path + "': " + std::strerror(errno);
    return errno == ENOENT ? Status::NotFound(message) : Status::IoError(message);
  }
  if (StartsWithGzipMagic(m_file.get())) {
    if (Status header = ReadDictzipHeader(); !header.IsOk() || IsDictzip()) return header;
    // Gzip without a chunk table: decompress it once, then read it like a plain file.
    m_file.reset();
    UncompressedFile plain;
    if (Status opened = OpenUncompressed(path, plain); !opened.IsOk()) return opened;
    m_file = std::move(plain.stream);
    m_cutShort = plain.cutShort;
  }
  const long long size = StreamSize(m_file.get());
  if (size < 0) return Status::IoError("cannot read '" + path + "': " + std::strerror(errno));
  m_plainSize = uint64_t(size);
  return Status::Ok();
}

Status DictData::ReadDictzipHeader() {
  uint8_t fixed[kFixedHeaderSize];
  if (!ReadAt(m_file.get(), 0, fixed, sizeof fixed)) return Damaged("its gzip header is cut short");
  if (fixed[2] != Z_DEFLATED) return Damaged("it is not deflate-compressed");
  const uint8_t flags = fixed[3];
  if (!(flags & kFlagExtra)) return Status::Ok();  // plain gzip
  uint8_t lengthBytes[2];
  if (!ReadAt(m_file.get(), kFixedHeaderSize, lengthBytes, 2)) return Damaged("its gzip header is cut short");
  std::vector<uint8_t> extra(DecodeLE16(lengthBytes));
  if (!ReadAt(m_file.get(), kFixedHeaderSize + 2, extra.data(), extra.size())) {
    return Damaged("its gzip header is cut short");
  }
  uint64_t position = kFixedHeaderSize + 2 + extra.size();
  // Skip the name and the comment (each ended by 0x00) and the header checksum.
  for (uint8_t flag : {kFlagName, kFlagComment}) {
    if (!(flags & flag)) continue;
    if (::fseeko(m_file.get(), off_t(position), SEEK_SET) != 0) return Damaged("its gzip header is cut short");
    int c = 0;
    while ((c = std::fgetc(m_file.get())) > 0) ++position;
    if (c == EOF) return Damaged("its gzip header is cut short");
    ++position;
  }
  if (flags & kFlagHeaderCrc) position += 2;

  // Subfields: two id bytes, a 16-bit length, the data. "RA" holds version 1, the chunk length, the
  // chunk count and each chunk's compressed size.
  size_t at = 0;
  while (at + 4 <= extra.size()) {
    const size_t length = DecodeLE16(&extra[at + 2]);
    if (at + 4 + length > extra.size()) return Damaged("its gzip extra field is inconsistent");
    const uint8_t* data = &extra[at + 4];
    if (extra[at] == 'R' && extra[at + 1] == 'A') {
      if (length < 6) return Damaged("its chunk table is cut short");
      if (DecodeLE16(data) != 1)
        return Status::NotSupported("'" + m_path + "' has a chunk table of an unknown version");
      m_chunkLength = DecodeLE16(data + 2);
      const size_t count = DecodeLE16(data + 4);
      if (m_chunkLength == 0) return Damaged("its chunk length is 0");
      if (length < 6 + 2 * count) return Damaged("its chunk table is cut short");
      m_chunkStarts.reserve(count + 1);
      m_chunkStarts.push_back(position);
      for (size_t i = 0; i < count; ++i) {
        position += DecodeLE16(data + 6 + 2 * i);
        m_chunkStarts.push_back(position);
      }
      if (count == 0) m_chunkStarts.clear();
      break;
    }
    at += 4 + length;
  }
  if (!IsDictzip()) return Status::Ok();
  if (inflateInit2(&m_inflater, -MAX_WBITS) != Z_OK) return Status::OutOfMemory("out of memory");
  m_inflaterReady = true;
  m_chunkSizes.assign(m_chunkStarts.size() - 1, 0);
  m_decompressed = OpenAnonymousTempFile();
  if (!m_decompressed) return Status::IoError("cannot create a temporary file: " + ErrnoText());
  return Status::Ok();
}

Status DictData::Read(uint64_t offset, uint64_t length, std::string& out) {
  out.clear();
  if (offset + length < offset) return Damaged("an entry reaches past the end of the text");
  return IsDictzip() ? ReadChunked(offset, length, out) : ReadPlain(offset, length, out);
}

Status DictData::ReadPlain(uint64_t offset, uint64_t length, std::string& out) {
  if (offset > m_plainSize || length > m_plainSize - offset) {
    return Damaged(m_cutShort ? "it is cut short before an entry's text" : "an entry reaches past the end of the text");
  }
  if (!ReadThroughWindow(m_file.get(), offset, length, out)) {
    return Status::IoError("cannot read '" + m_path + "': " + ErrnoText());
  }
  return Status::Ok();
}

Status DictData::ReadChunked(uint64_t offset, uint64_t length, std::string& out) {
  const uint64_t chunkCount = m_chunkStarts.size() - 1;
  const uint64_t capacity = chunkCount * m_chunkLength;
  if (offset > capacity || length > capacity - offset) return Damaged("an entry reaches past the end of the text");
  if (length == 0) return Status::Ok();
  Status status;
  const size_t first = size_t(offset / m_chunkLength);
  const size_t last = size_t((offset + length - 1) / m_chunkLength);
  for (size_t chunk = first; chunk <= last; ++chunk) {
    if (!EnsureChunk(chunk, status)) return status;
    // Only the last chunk may be short; a range reaching past its end reaches past the text.
    if (m_chunkSizes[chunk] < m_chunkLength &&
        uint64_t(chunk) * m_chunkLength + m_chunkSizes[chunk] < offset + length) {
      return Damaged("an entry reaches past the end of the text");
    }
  }
  if (!ReadThroughWindow(m_decompressed.get(), offset, length, out)) {
    return Status::IoError("cannot read a temporary file: " + ErrnoText());
  }
  return Status::Ok();
}

bool DictData::ReadThroughWindow(std::FILE* file, uint64_t offset, uint64_t length, std::string& out) {
  if (length > kWindowSize) {
    out.resize(length);
    return ReadAt(file, offset, out.data(), length);
  }
  if (offset < m_windowStart || offset + length > m_windowStart + m_windowSize) {
    // The window moves to the entry; it may reach past the end of the data, so it is read as far as
    // the data goes (the caller has checked that the entry itself lies within).
    m_window.resize(kWindowSize);
    m_windowStart = offset;
    m_windowSize = 0;
    while (m_windowSize < kWindowSize) {
      const ssize_t got = ::pread(fileno(file), m_window.data() + m_windowSize, kWindowSize - m_windowSize,
                                  off_t(offset + m_windowSize));
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) return false;
      if (got == 0) break;
      m_windowSize += size_t(got);
    }
    if (m_windowSize < length) return false;
  }
  out.assign(reinterpret_cast<const char*>(m_window.data()) + (offset - m_windowStart), length);
  return true;
}

bool DictData::EnsureChunk(size_t chunk, Status& status) {
  if (m_chunkSizes[chunk] > 0) return true;
  if (!Decompress(chunk, m_chunk, status)) return false;
  if (!WriteAt(m_decompressed.get(), uint64_t(chunk) * m_chunkLength, m_chunk.data(), m_chunk.size())) {
    status = Status::IoError("cannot write a temporary file: " + ErrnoText());
    return false;
  }
  m_chunkSizes[chunk] = uint32_t(m_chunk.size());
  m_windowSize = 0;  // the window may hold the hole this chunk filled
  return true;
}

bool DictData::Decompress(size_t chunk, std::vector<uint8_t>& into, Status& status) {
  const uint64_t start = m_chunkStarts[chunk];
  const size_t size = size_t(m_chunkStarts[chunk + 1] - start);
  m_compressed.resize(size);
  if (!ReadAt(m_file.get(), start, m_compressed.data(), size)) {
    status = errno != 0 ? Status::IoError("cannot read '" + m_path + "': " + ErrnoText())
                        : Damaged("it is cut short (chunk " + std::to_string(chunk + 1) + " of " +
                                  std::to_string(m_chunkStarts.size() - 1) + " is missing)");
    return false;
  }
  into.resize(m_chunkLength);
  inflateReset(&m_inflater);
  m_inflater.next_in = m_compressed.data();
  m_inflater.avail_in = uInt(size);
  m_inflater.next_out = into.data();
  m_inflater.avail_out = m_chunkLength;
  const int result = inflate(&m_inflater, Z_SYNC_FLUSH);
  const bool last = chunk + 2 == m_chunkStarts.size();
  const size_t produced = m_chunkLength - m_inflater.avail_out;
  if ((result != Z_OK && result != Z_STREAM_END) || produced == 0 || (!last && produced != m_chunkLength)) {
    status = Damaged("chunk " + std::to_string(chunk + 1) + " cannot be decompressed");
    return false;
  }
  into.resize(produced);
  return true;
}

}  // namespace lv::dict
