// BlockEncoder: the tome block codec's compressor (the format is described in block_codec.h), with
// working memory kept across the blocks of one section.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace lv {

class BlockEncoder {
 public:
  // Compresses input[0..n) into output (room for MaxCompressedSize(n) bytes); n at most
  // kMaxBlockInput. Returns the number of bytes written; 0 for an empty input or when working
  // memory could not be allocated.
  size_t Compress(const uint8_t* input, size_t n, uint8_t* output);

  // Matches reach back at most this far; longer inputs are still compressed exactly.
  static constexpr int kMaxDistance = 4095;
  static constexpr int kMaxMatch = 17;
  static constexpr int kMinMatch = 3;

 private:
  bool Prepare(const uint8_t* input, size_t n);
  void Enter(int32_t position);
  // Longest match at a (oldest among equally long); returns its length, 0 when shorter than 2.
  int FindMatch(int32_t a, int32_t n, int32_t& matchPosition);
  void ForgetBlock(size_t n);

  // The block being compressed, followed by zero padding so that comparisons may load 8 bytes at once.
  std::vector<uint8_t> m_data;
  // Per position: the next entered position with the same two-byte value, or -1.
  std::vector<int32_t> m_next;
  // Per two-byte value: the oldest entered position not yet known to be out of reach, and the newest;
  // -1 when none. The oldest only moves forward as the current position does.
  std::vector<int32_t> m_first;
  std::vector<int32_t> m_last;
};

}  // namespace lv
