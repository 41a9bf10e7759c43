#include "dictionaries/dict_data.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "dictionaries/compressed_file.h"

namespace lv::dict {
namespace {

constexpr size_t kCachedChunks = 16;
constexpr uint8_t kFlagHeaderCrc = 0x02;
constexpr uint8_t kFlagExtra = 0x04;
constexpr uint8_t kFlagName = 0x08;
constexpr uint8_t kFlagComment = 0x10;
constexpr size_t kFixedHeaderSize = 10;

uint16_t DecodeLE16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }

// Reads exactly n bytes at offset; false when the file ends first or cannot be read.
bool ReadAt(std::FILE* file, uint64_t offset, void* into, size_t n) {
  if (::fseeko(file, off_t(offset), SEEK_SET) != 0) return false;
  return std::fread(into, 1, n, file) == n;
}

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
      if (DecodeLE16(data) != 1) return Status::NotSupported("'" + m_path + "' has a chunk table of an unknown version");
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
  m_cache.resize(kCachedChunks);
  m_chunkSizes.assign(m_chunkStarts.size() - 1, 0);
  m_decompressed = OpenAnonymousTempFile();  // without it, chunks are decompressed on every visit
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
  out.resize(length);
  if (length > 0 && !ReadAt(m_file.get(), offset, out.data(), length)) {
    return Status::IoError("cannot read '" + m_path + "': " + std::strerror(errno != 0 ? errno : EIO));
  }
  return Status::Ok();
}

Status DictData::ReadChunked(uint64_t offset, uint64_t length, std::string& out) {
  const uint64_t chunkCount = m_chunkStarts.size() - 1;
  const uint64_t capacity = chunkCount * m_chunkLength;
  if (offset > capacity || length > capacity - offset) return Damaged("an entry reaches past the end of the text");
  out.reserve(length);
  Status status;
  while (length > 0) {
    const int64_t chunk = int64_t(offset / m_chunkLength);
    const size_t within = size_t(offset % m_chunkLength);
    const std::vector<uint8_t>* bytes = Chunk(chunk, status);
    if (!bytes) return status;
    if (within >= bytes->size()) return Damaged("an entry reaches past the end of the text");
    const size_t take = size_t(std::min<uint64_t>(length, bytes->size() - within));
    out.append(reinterpret_cast<const char*>(bytes->data()) + within, take);
    offset += take;
    length -= take;
  }
  return Status::Ok();
}

const std::vector<uint8_t>* DictData::Chunk(int64_t chunk, Status& status) {
  CachedChunk* slot = &m_cache.front();
  for (CachedChunk& cached : m_cache) {
    if (cached.chunk == chunk) {
      cached.lastUse = ++m_useCounter;
      return &cached.bytes;
    }
    if (cached.lastUse < slot->lastUse) slot = &cached;
  }
  slot->chunk = -1;
  const uint64_t position = uint64_t(chunk) * m_chunkLength;
  const uint32_t knownSize = m_chunkSizes[size_t(chunk)];
  if (knownSize > 0 && m_decompressed) {
    slot->bytes.resize(knownSize);
    if (!ReadAt(m_decompressed.get(), position, slot->bytes.data(), knownSize)) {
      status = Status::IoError(std::string("cannot read a temporary file: ") + std::strerror(errno != 0 ? errno : EIO));
      return nullptr;
    }
  } else {
    if (!Decompress(chunk, slot->bytes, status)) return nullptr;
    m_chunkSizes[size_t(chunk)] = uint32_t(slot->bytes.size());
    // Kept for later visits; without the temporary file the chunk is simply decompressed again.
    if (m_decompressed && (::fseeko(m_decompressed.get(), off_t(position), SEEK_SET) != 0 ||
                           std::fwrite(slot->bytes.data(), 1, slot->bytes.size(), m_decompressed.get()) !=
                               slot->bytes.size() ||
                           std::fflush(m_decompressed.get()) != 0)) {
      m_decompressed.reset();
    }
  }
  slot->chunk = chunk;
  slot->lastUse = ++m_useCounter;
  return &slot->bytes;
}

bool DictData::Decompress(int64_t chunk, std::vector<uint8_t>& into, Status& status) {
  const uint64_t start = m_chunkStarts[size_t(chunk)];
  const size_t size = size_t(m_chunkStarts[size_t(chunk) + 1] - start);
  m_compressed.resize(size);
  if (!ReadAt(m_file.get(), start, m_compressed.data(), size)) {
    status = std::ferror(m_file.get()) ? Status::IoError("cannot read '" + m_path + "': " + std::strerror(errno))
                                       : Damaged("it is cut short (chunk " + std::to_string(chunk + 1) + " of " +
                                                 std::to_string(m_chunkStarts.size() - 1) + " is missing)");
    std::clearerr(m_file.get());
    return false;
  }
  into.resize(m_chunkLength);
  inflateReset(&m_inflater);
  m_inflater.next_in = m_compressed.data();
  m_inflater.avail_in = uInt(size);
  m_inflater.next_out = into.data();
  m_inflater.avail_out = m_chunkLength;
  const int result = inflate(&m_inflater, Z_SYNC_FLUSH);
  const bool last = size_t(chunk) + 2 == m_chunkStarts.size();
  const size_t produced = m_chunkLength - m_inflater.avail_out;
  if ((result != Z_OK && result != Z_STREAM_END) || produced == 0 || (!last && produced != m_chunkLength)) {
    status = Damaged("chunk " + std::to_string(chunk + 1) + " cannot be decompressed");
    return false;
  }
  into.resize(produced);
  return true;
}

}  // namespace lv::dict
