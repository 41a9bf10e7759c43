// The block compressor. Its output is fixed to the byte: at each position the encoder takes the
// longest earlier occurrence of 3 to 17 bytes that begins with the same two-byte value, at most 4095
// bytes back, ending before the byte just before the current one, the oldest among equally long
// ones; positions become candidates two bytes behind the current position. Groups of eight items
// share a control byte (bit 7 for the first item, a set bit for a match); a final group of one to
// seven items gets bit 0 set.
//
// Speed: only a candidate that agrees in its first three bytes can give a match (two agreeing bytes
// are too short to be used), so positions are listed under a hash of their first three bytes rather
// than walked through every position of a two-byte value; the result is the same. Each hash bucket
// keeps its entered positions in ascending order in one array, with a cursor to the oldest one still
// within reach. A candidate is dismissed by one byte comparison unless it can beat the best length so far, and the
// walk ends as soon as no later (nearer) candidate can be long enough.
#include "tome/block_encoder.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <new>

#include "tome/block_codec.h"

namespace lv {
namespace {

constexpr int kBucketBits = 16;
constexpr size_t kBucketCount = size_t(1) << kBucketBits;
constexpr size_t kPadding = 32;

// Bucket of the three bytes at p. REQUIRES: p + 2 < block size.
inline uint32_t BucketOf(const uint8_t* d, int32_t p) {
  const uint32_t v = uint32_t(d[p]) << 16 | uint32_t(d[p + 1]) << 8 | d[p + 2];
  return (v * 2654435761u) >> (32 - kBucketBits);
}

// CommonPrefix finds the first differing byte from the lowest set bit of two 8-byte loads.
static_assert(std::endian::native == std::endian::little, "CommonPrefix assumes little-endian loads");

inline uint64_t Load64(const uint8_t* p) {
  uint64_t v;
  std::memcpy(&v, p, 8);
  return v;
}

// Number of equal leading bytes of x and y, at most cap (cap <= 17). Reads up to 24 bytes of each.
inline int CommonPrefix(const uint8_t* x, const uint8_t* y, int cap) {
  for (int i = 0; i < 24; i += 8) {
    const uint64_t diff = Load64(x + i) ^ Load64(y + i);
    if (diff != 0) return std::min(cap, i + (__builtin_ctzll(diff) >> 3));
    if (i + 8 >= cap) break;
  }
  return cap;
}

}  // namespace

bool BlockEncoder::Prepare(const uint8_t* input, size_t n) {
  try {
    if (m_buckets.empty()) m_buckets.resize(kBucketCount);
    if (m_data.size() < n + kPadding) m_data.resize(n + kPadding);
    if (m_bucketOf.size() < n) m_bucketOf.resize(n);
    if (m_positions.size() < n) m_positions.resize(n);
  } catch (const std::bad_alloc&) {
    return false;
  }
  uint8_t* d = m_data.data();
  std::memcpy(d, input, n);
  std::memset(d + n, 0, kPadding);
  // Size every bucket, then give each used bucket its group of slots.
  const int32_t last = int32_t(n) - 2;  // positions 0 .. last - 1 have three bytes
  for (int32_t p = 0; p < last; ++p) {
    m_bucketOf[p] = uint16_t(BucketOf(d, p));
    ++m_buckets[m_bucketOf[p]].size;
  }
  int32_t slot = 0;
  for (int32_t p = 0; p < last; ++p) {
    Bucket& bucket = m_buckets[m_bucketOf[p]];
    if (bucket.start < 0) {
      bucket.start = slot;
      slot += bucket.size;
    }
  }
  return true;
}

int BlockEncoder::FindMatch(int32_t a, int32_t n, int32_t& matchPosition) {
  const uint8_t* d = m_data.data();
  Bucket& bucket = m_buckets[m_bucketOf[a]];
  const int32_t* group = m_positions.data() + bucket.start;
  int32_t k = bucket.reach;
  while (k < bucket.entered && group[k] < a - kMaxDistance) ++k;
  bucket.reach = k;
  const int maxLength = std::min(kMaxMatch, n - a);
  int best = 0;
  for (; k < bucket.entered; ++k) {
    const int32_t q = group[k];
    // Candidates come oldest first, so their caps (a - q - 1) only shrink from here on.
    const int cap = std::min(maxLength, a - q - 1);
    if (cap <= best) break;
    if (d[q + best] != d[a + best]) continue;  // cannot be strictly longer than the best
    const int length = CommonPrefix(d + q, d + a, cap);
    if (length > best) {
      best = length;
      matchPosition = q;
      if (best >= maxLength) break;
    }
  }
  return best;
}

void BlockEncoder::ForgetBlock(size_t n) {
  for (int32_t p = 0; p + 2 < int32_t(n); ++p) m_buckets[m_bucketOf[p]] = Bucket();
}

size_t BlockEncoder::Compress(const uint8_t* input, size_t n, uint8_t* output) {
  if (n == 0 || !Prepare(input, n)) return 0;
  const int32_t size = int32_t(n);
  uint8_t* out = output;
  uint8_t* control = nullptr;
  int items = 0;
  uint8_t bits = 0;
  int32_t a = 0;
  while (a < size) {
    if (items == 0) {
      control = out++;
      bits = 0;
    }
    int32_t matchPosition = 0;
    const int length = (a + 2 < size) ? FindMatch(a, size, matchPosition) : 0;
    int advance = 1;
    if (length >= kMinMatch) {
      const int32_t distance = a - matchPosition;
      bits |= uint8_t(0x80 >> items);
      *out++ = uint8_t(((length - 2) << 4) | (distance >> 8));
      *out++ = uint8_t(distance & 0xFF);
      advance = length;
    } else {
      *out++ = m_data[a];
    }
    for (int k = 0; k < advance; ++k) {
      ++a;
      if (a >= 2 && a < size) Enter(a - 2);
    }
    if (++items == 8) {
      *control = bits;
      items = 0;
    }
  }
  if (items > 0) *control = uint8_t(bits + 1);
  ForgetBlock(n);
  return size_t(out - output);
}

size_t CompressBlock(const uint8_t* input, size_t n, uint8_t* output) {
  // Kept per thread so that callers compressing block after block do not set up the tables each time.
  thread_local BlockEncoder encoder;
  return encoder.Compress(input, n, output);
}

}  // namespace lv
