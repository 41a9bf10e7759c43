// The block decoder on arbitrary bytes, with random output capacities and head-only decoding. The
// output buffer is exactly the capacity, so any write past it is caught by the address sanitizer.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <vector>

#include "tome/block_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  const size_t capacity = input.ConsumeIntegralInRange<size_t>(0, 30000);
  const bool headOnly = input.ConsumeBool();
  const std::vector<uint8_t> compressed = input.ConsumeRemainingBytes<uint8_t>();
  std::vector<uint8_t> output(capacity);
  const size_t n = lv::DecodeBlock(compressed.data(), compressed.size(), output.data(), output.size(), headOnly);
  if (n > capacity || (headOnly && n > 2000 + 8 * 17)) std::abort();
  return 0;
}
