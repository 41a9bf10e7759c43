#include "tome/block_codec.h"

#include <cstring>

namespace lv {
namespace {

// With headOnly, decoding stops once more than this many bytes are out.
constexpr size_t kHeadOnlyLimit = 2000;

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
