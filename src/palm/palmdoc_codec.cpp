#include "palm/palmdoc_codec.h"

#include <cstring>

namespace lv {
namespace {

constexpr uint8_t kEscape = 0x01;
constexpr uint8_t kSpace = 0x20;
constexpr size_t kMaxLiteralRun = 8;

// Bytes that cannot stand for themselves in a token stream: 1..8 (literal run counts) and 0x80 and
// above (back-references and space pairs).
bool NeedsEscape(uint8_t c) { return c >= 0x80 || (c >= 1 && c <= 8); }

// The first pass's token writer: single bytes, escapes and the pending space.
class TokenWriter {
 public:
  explicit TokenWriter(uint8_t* out) : m_out(out) {}

  void EmitByte(uint8_t c) {
    if (m_pendingSpace) {
      m_pendingSpace = false;
      if (c >= 0x40 && c <= 0x7F) {
        Put(c ^ 0x80);
        return;
      }
      Put(kSpace);
      PutMaybeEscaped(c);
      return;
    }
    if (c == kSpace) {
      m_pendingSpace = true;
      return;
    }
    PutMaybeEscaped(c);
  }

  void EmitBackReference(size_t distance, size_t length) {
    FlushPendingSpace();
    const unsigned v = static_cast<unsigned>(distance * 8 + length - 3);
    Put(static_cast<uint8_t>(0x80 + (v >> 8)));
    Put(static_cast<uint8_t>(v & 0xFF));
  }

  void FlushPendingSpace() {
    if (m_pendingSpace) Put(kSpace);
    m_pendingSpace = false;
  }

  size_t Size() const { return m_size; }

 private:
  void Put(uint8_t b) { m_out[m_size++] = b; }
  void PutMaybeEscaped(uint8_t c) {
    if (NeedsEscape(c)) Put(kEscape);
    Put(c);
  }

  uint8_t* m_out;
  size_t m_size = 0;
  bool m_pendingSpace = false;
};

// Finds the first occurrence of the size bytes at p within [q, p] (p itself always matches) without
// scanning the window: earlier positions are chained by their first two bytes (exactly) and by a hash
// of their first three, newest first, so a search visits only the candidates inside the window.
// Positions must be asked for in non-decreasing order. The tables live once per thread and are
// cleared per input, so compressing allocates nothing.
class OccurrenceFinder {
 public:
  OccurrenceFinder(const uint8_t* start, size_t n) : m_start(start), m_n(n) {
    std::memset(t_tables.head2, 0xFF, sizeof t_tables.head2);  // all -1
    std::memset(t_tables.head3, 0xFF, sizeof t_tables.head3);
  }

  const uint8_t* FindFirst(const uint8_t* q, const uint8_t* p, size_t size) {
    if (size == 1) {
      const void* hit = std::memchr(q, *p, static_cast<size_t>(p - q));
      return hit ? static_cast<const uint8_t*>(hit) : p;
    }
    const int32_t at = static_cast<int32_t>(p - m_start);
    InsertUpTo(at);
    const int32_t from = static_cast<int32_t>(q - m_start);
    const int32_t* prev = size == 2 ? t_tables.prev2 : t_tables.prev3;
    int32_t best = at;
    for (int32_t s = prev[at & kSlotMask]; s >= from; s = prev[s & kSlotMask]) {
      if (size == 2 || std::memcmp(m_start + s, p, size) == 0) best = s;
    }
    return m_start + best;
  }

 private:
  // Chained positions are only followed while inside the window, so a slot per position modulo 4096
  // is never read after a later position has reused it.
  static constexpr int32_t kSlotMask = 4095;
  static constexpr int kHash3Bits = 15;
  struct Tables {
    int32_t head2[1 << 16];
    int32_t head3[1 << kHash3Bits];
    int32_t prev2[kSlotMask + 1];
    int32_t prev3[kSlotMask + 1];
  };
  static thread_local Tables t_tables;

  void InsertUpTo(int32_t at) {
    for (; m_inserted <= at; ++m_inserted) {
      const int32_t s = m_inserted;
      const uint8_t* b = m_start + s;
      if (static_cast<size_t>(s) + 2 > m_n) continue;
      int32_t& head2 = t_tables.head2[b[0] << 8 | b[1]];
      t_tables.prev2[s & kSlotMask] = head2;
      head2 = s;
      if (static_cast<size_t>(s) + 3 > m_n) continue;
      const uint32_t key = (uint32_t(b[0]) << 16 | uint32_t(b[1]) << 8 | b[2]) * 2654435761u;
      int32_t& head3 = t_tables.head3[key >> (32 - kHash3Bits)];
      t_tables.prev3[s & kSlotMask] = head3;
      head3 = s;
    }
  }

  const uint8_t* m_start;
  size_t m_n;
  int32_t m_inserted = 0;
};

thread_local OccurrenceFinder::Tables OccurrenceFinder::t_tables;

// First pass: greedy matching over the window, growing the candidate one byte per step.
size_t WriteTokens(const uint8_t* input, size_t n, uint8_t* output) {
  TokenWriter writer(output);
  OccurrenceFinder finder(input, n);
  const uint8_t* const start = input;
  const uint8_t* const end = input + n;
  const uint8_t* p = start;
  const uint8_t* q = start;
  const uint8_t* r = p + 1;
  while (p < end) {
    if (static_cast<size_t>(p - q) > kPalmDocWindow) q = p - kPalmDocWindow;
    const size_t size = static_cast<size_t>(r - p);
    const uint8_t* occurrence = finder.FindFirst(q, p, size);
    const uint8_t* nextMatch = occurrence;
    if (occurrence == p || size > kPalmDocMaxMatch || r == end) {
      if (size > 3) {
        // The previous step's match at q covers size - 1 bytes.
        writer.EmitBackReference(static_cast<size_t>(p - q), size - 1);
        p = r - 1;
      } else {
        writer.EmitByte(*p);
        ++p;
      }
      nextMatch = start;
    }
    if (r != end) ++r;
    q = nextMatch;
  }
  writer.FlushPendingSpace();
  return writer.Size();
}

// Second pass, in place: each escape absorbs the escapes directly behind it into one literal run of
// at most eight bytes. The write position never passes the read position.
size_t MergeEscapes(uint8_t* data, size_t n) {
  size_t in = 0;
  size_t out = 0;
  while (in < n) {
    const uint8_t b = data[in];
    if (b == kEscape && in + 1 < n) {
      uint8_t run[kMaxLiteralRun];
      size_t count = 0;
      while (count < kMaxLiteralRun && in + 1 < n && data[in] == kEscape) {
        run[count++] = data[in + 1];
        in += 2;
      }
      data[out++] = static_cast<uint8_t>(count);
      std::memcpy(data + out, run, count);
      out += count;
    } else if (b >= 0x80 && b <= 0xBF && in + 1 < n) {
      data[out++] = data[in++];
      data[out++] = data[in++];
    } else {
      data[out++] = data[in++];
    }
  }
  return out;
}

}  // namespace

size_t PalmDocCompress(const uint8_t* input, size_t n, uint8_t* output) {
  if (n == 0) return 0;
  return MergeEscapes(output, WriteTokens(input, n, output));
}

size_t PalmDocDecompress(const uint8_t* input, size_t n, uint8_t* output, size_t capacity) {
  size_t i = 0;
  size_t j = 0;
  while (i < n) {
    const uint8_t b = input[i++];
    if (b >= 1 && b <= 8) {
      if (b > n - i || b > capacity - j) return j;
      std::memcpy(output + j, input + i, b);
      i += b;
      j += b;
    } else if (b < 0x80) {
      if (j >= capacity) return j;
      output[j++] = b;
    } else if (b < 0xC0) {
      if (i >= n) return j;
      const unsigned v = unsigned(b) << 8 | input[i++];
      const size_t distance = (v >> 3) & 0x7FF;
      const size_t length = (v & 7) + 3;
      if (distance == 0 || distance > j || length > capacity - j) return j;
      for (size_t k = 0; k < length; ++k, ++j) output[j] = output[j - distance];
    } else {
      if (capacity - j < 2) return j;
      output[j++] = kSpace;
      output[j++] = b ^ 0x80;
    }
  }
  return j;
}

}  // namespace lv
