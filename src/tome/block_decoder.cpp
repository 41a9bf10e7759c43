#include "tome/block_codec.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace lv {
namespace {

// With headOnly, decoding stops once more than this many bytes are out.
constexpr size_t kHeadOnlyLimit = 2000;
// A group decoded without checks of its own may read this many bytes after its control byte (sixteen
// for eight matches, and a whole 8-byte word past its last literal) ...
constexpr size_t kGroupInputMax = 16 + 8;
// ... and write this many (eight matches of 17 bytes, and the slack of a match copied as 16 bytes).
constexpr size_t kGroupOutputMax = 8 * 17 + 16;

// Copies a match of length bytes from distance bytes back, as a byte-by-byte copy would (a match may
// overlap what it produces). May write up to 16 bytes whatever the length; the caller leaves room.
inline void CopyMatch(uint8_t* dst, size_t distance, size_t length) {
  const uint8_t* src = dst - distance;
  if (distance >= 8) {
    // Each word read lies wholly before the word written, so an overlap repeats as it should.
    std::memcpy(dst, src, 8);
    std::memcpy(dst + 8, src + 8, 8);
    if (length > 16) dst[16] = src[16];
    return;
  }
  for (size_t k = 0; k < length; ++k) dst[k] = src[k];
}

// One group that is known to fit: its items lie within the input and its output within the
// capacity, with room to spare. A run of literals is copied as one 8-byte word. Returns false on a
// match that reaches before the start of the output.
inline bool DecodeWholeGroup(uint8_t control, const uint8_t* input, size_t& i, uint8_t* output, size_t& j) {
  unsigned flags = control;  // the flag of the next item is bit 7
  int left = 8;
  while (true) {
    const int literals = std::min(std::countl_zero(uint8_t(flags)), left);
    std::memcpy(output + j, input + i, 8);
    i += size_t(literals);
    j += size_t(literals);
    left -= literals;
    if (left == 0) return true;
    const uint8_t b0 = input[i];
    const uint8_t b1 = input[i + 1];
    i += 2;
    const size_t length = (b0 >> 4) + 2;
    const size_t distance = (size_t(b0 & 0x0F) << 8) | b1;
    if (distance == 0 || distance > j) return false;
    CopyMatch(output + j, distance, length);
    j += length;
    if (--left == 0) return true;
    flags = (flags << (literals + 1)) & 0xFFu;
  }
}

}  // namespace

size_t DecodeBlock(const uint8_t* input, size_t inputSize, uint8_t* output, size_t outputCapacity, bool headOnly) {
  size_t i = 0;
  size_t j = 0;
  while (i < inputSize) {
    if (headOnly && j > kHeadOnlyLimit) break;
    const uint8_t control = input[i];
    if (control == 0x00) {
      // Eight literals; a short tail copies what is there.
      size_t take = inputSize - (i + 1);
      if (take > 8) take = 8;
      if (take > outputCapacity - j) return j;
      if (take > 0) std::memcpy(output + j, input + i + 1, take);  // output may be null when empty
      i += 1 + take;
      j += take;
      continue;
    }
    ++i;
    // Far from both ends, a group needs no checks of its own (the block ends only inside its last group).
    if (inputSize - i >= kGroupInputMax && outputCapacity - j >= kGroupOutputMax) {
      if (!DecodeWholeGroup(control, input, i, output, j)) return j;
      continue;
    }
    for (int bit = 7; bit >= 0; --bit) {
      if (i >= inputSize) return j;
      if (control & (1u << bit)) {
        if (i + 1 >= inputSize) return j;
        const uint8_t b0 = input[i];
        const uint8_t b1 = input[i + 1];
        i += 2;
        const size_t length = (b0 >> 4) + 2;
        const size_t distance = (size_t(b0 & 0x0F) << 8) | b1;
        if (distance == 0 || distance > j || length > outputCapacity - j) return j;
        uint8_t* dst = output + j;
        const uint8_t* src = dst - distance;
        for (size_t k = 0; k < length; ++k) dst[k] = src[k];
        j += length;
      } else {
        if (j >= outputCapacity) return j;
        output[j++] = input[i++];
      }
    }
  }
  return j;
}

}  // namespace lv
