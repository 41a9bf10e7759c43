#include "palm/palm_codecs.h"

#include <zlib.h>

#include "palm/palmdoc_codec.h"

namespace lv {

bool ZlibCompress(const uint8_t* input, size_t n, std::vector<uint8_t>& output, MessageSink* messages) {
  // compressBound never truncates, which the one-call compress needs.
  uLongf size = compressBound(static_cast<uLong>(n));
  output.resize(size);
  const int result = compress(output.data(), &size, input, static_cast<uLong>(n));
  if (result != Z_OK) {
    output.clear();
    if (messages) messages->ShowMessage(kCompressionFailedMessage, MessageIcon::kExclamation);
    return false;
  }
  output.resize(size);
  return true;
}

bool ZlibDecompress(const uint8_t* input, size_t n, size_t capacity, std::vector<uint8_t>& output) {
  output.resize(capacity);
  uLongf size = static_cast<uLongf>(capacity);
  const int result = uncompress(output.data(), &size, input, static_cast<uLong>(n));
  if (result != Z_OK) {
    output.clear();
    return false;
  }
  output.resize(size);
  return true;
}

bool CompressPalmBlock(PalmCodec codec, const uint8_t* input, size_t n, std::vector<uint8_t>& output,
                       MessageSink* messages) {
  if (codec == PalmCodec::kZlib) {
    ZlibCompress(input, n, output, messages);
  } else {
    output.resize(PalmDocMaxCompressedSize(n));
    output.resize(PalmDocCompress(input, n, output.data()));
  }
  return !output.empty();
}

namespace {

// Reads the nibbles of packed text, high nibble first.
class NibbleReader {
 public:
  NibbleReader(const uint8_t* data, size_t n) : m_data(data), m_n(n) {}
  // True while a byte is left to fetch: a character never starts on the low nibble of the last byte.
  bool ByteLeftToFetch() const { return (m_index + 1) / 2 < m_n; }
  bool Next(unsigned& nibble) {
    if (m_index >= 2 * m_n) return false;
    const uint8_t byte = m_data[m_index / 2];
    nibble = (m_index % 2 == 0) ? (byte >> 4) : (byte & 0x0F);
    ++m_index;
    return true;
  }

 private:
  const uint8_t* m_data;
  size_t m_n;
  size_t m_index = 0;
};

}  // namespace

void DecodeVersion1TextForPalm(const uint8_t* input, size_t n, std::string& output) {
  output.clear();
  NibbleReader reader(input, n);
  unsigned c = 0;
  while (reader.ByteLeftToFetch() && reader.Next(c)) {
    unsigned a = 0;
    unsigned b = 0;
    if (c < 12) {
      output.push_back(kVersion1Characters[48 + c]);
    } else if (c == 12) {
      if (!reader.Next(a) || !reader.Next(b)) break;
      const char raw = static_cast<char>(a << 4 | b);
      if (raw == 0) break;
      output.push_back(raw);
    } else {
      if (!reader.Next(a)) break;
      const unsigned base = c == 13 ? 0 : (c == 14 ? 16 : 32);
      output.push_back(kVersion1Characters[base + a]);
    }
  }
}

}  // namespace lv
