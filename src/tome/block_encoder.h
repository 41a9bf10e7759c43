// BlockEncoder: the tome block codec's compressor (the format is described in block_codec.h), with
// working memory kept across the blocks of one section.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace lv {

class BlockEncoder {
 public:
  // Compresses input[0..n) into output (room for MaxCompressedSize(n) bytes). Returns the number of
  // bytes written; 0 for an empty input or when working memory could not be allocated.
  size_t Compress(const uint8_t* input, size_t n, uint8_t* output);

  static constexpr int kMaxDistance = 4095;
  static constexpr int kMaxMatch = 17;
  static constexpr int kMinMatch = 3;

 private:
  // The positions of one block whose first three bytes hash alike, as a group in m_positions.
  struct Bucket {
    int32_t start = -1;   // first slot of the group in m_positions; -1 while the bucket is unused
    int32_t size = 0;     // positions of the block in the bucket
    int32_t entered = 0;  // positions entered so far (they fill the group in ascending order)
    int32_t reach = 0;    // first entered slot not yet known to be too far back; only moves forward
  };

  bool Prepare(const uint8_t* input, size_t n);
  void Enter(int32_t position) {
    Bucket& bucket = m_buckets[m_bucketOf[position]];
    m_positions[bucket.start + bucket.entered++] = position;
  }
  // Longest match at a (oldest among equally long); returns its length (below 3: no match).
  int FindMatch(int32_t a, int32_t n, int32_t& matchPosition);
  void ForgetBlock(size_t n);

  // The block being compressed, followed by zero padding so that comparisons may load 8 bytes at once.
  std::vector<uint8_t> m_data;
  std::vector<uint16_t> m_bucketOf;  // per position (with three bytes from it): its bucket
  std::vector<int32_t> m_positions;  // the buckets' groups, one after the other
  std::vector<Bucket> m_buckets;
};

}  // namespace lv
