#include "tome/version1_text.h"

#include "tome/markup.h"

namespace lv {
namespace {

constexpr char kCommonCharacters[12] = {' ', 'e', 'o', 'a', 't', 'n', 'i', 'r', 's', 'l', 'h', '.'};
constexpr char kLowerConsonants[16] = {'b', 'c', 'd', 'f', 'g', 'j', 'k', 'm', 'p', 'q', 'u', 'v', 'w', 'x', 'y', 'z'};
constexpr char kEscapedCharacters[16] = {'Q', 'R', 'S', 'T', 'U',  'V',  'W', 'X',
                                         'Y', 'Z', ',', ';', '\0', '\'', '(', ')'};
constexpr uint8_t kEscapedLineBreak = 12;

enum : uint8_t { kRawByte = 12, kLowerConsonant = 13, kCapitalAToP = 14, kEscaped = 15 };

class NibbleStream {
 public:
  NibbleStream(const uint8_t* bytes, size_t size) : m_bytes(bytes), m_count(size * 2) {}
  size_t Position() const { return m_position; }
  bool Has(size_t n) const { return m_count - m_position >= n; }
  uint8_t At(size_t k) const {
    const uint8_t byte = m_bytes[(m_position + k) >> 1];
    return ((m_position + k) & 1) ? byte & 0x0F : byte >> 4;
  }
  void Advance(size_t n) { m_position += n; }

 private:
  const uint8_t* m_bytes;
  size_t m_count;
  size_t m_position = 0;
};

}  // namespace

size_t DecodeVersion1TextForReader(const uint8_t* packed, size_t size, char* out, size_t capacity,
                                   Version1TextMode mode) {
  const bool preview = mode == Version1TextMode::kPreview;
  NibbleStream nibbles(packed, size);
  size_t j = 0;
  auto emit = [&](char c) {
    if (j >= capacity) return false;
    out[j++] = c;
    return true;
  };
  while (nibbles.Has(1)) {
    if (preview && (j >= kVersion1PreviewCharacters || nibbles.Position() >= kVersion1PreviewNibbles)) break;
    const uint8_t c = nibbles.At(0);
    if (c < kRawByte) {
      if (!emit(kCommonCharacters[c])) break;
      nibbles.Advance(1);
      continue;
    }
    if (c == kRawByte) {
      if (!nibbles.Has(3)) break;
      const uint8_t raw = uint8_t(nibbles.At(1) << 4 | nibbles.At(2));
      if (raw == 0x00 || !emit(char(raw))) break;
      nibbles.Advance(3);
      continue;
    }
    if (!nibbles.Has(2)) break;
    const uint8_t n = nibbles.At(1);
    bool fits;
    if (c == kLowerConsonant) {
      fits = emit(kLowerConsonants[n]);
    } else if (c == kCapitalAToP) {
      fits = emit(char('A' + n));
    } else if (n != kEscapedLineBreak) {
      fits = emit(kEscapedCharacters[n]);
    } else if (preview) {
      fits = emit('@');
    } else {
      // The two-byte line-break mark goes out whole or not at all.
      fits = capacity - j >= 2 && emit(kMarkByte) && emit(char(kLineBreak));
    }
    if (!fits) break;
    nibbles.Advance(2);
  }
  return j;
}

}  // namespace lv
