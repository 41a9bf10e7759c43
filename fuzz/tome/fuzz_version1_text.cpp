// The version-1 text decoder on arbitrary bytes in both modes, with an output buffer of exactly the
// given capacity (three times the input for entry texts, as the reader gives it, or less).
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <vector>

#include "tome/version1_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  const bool preview = input.ConsumeBool();
  const bool fullCapacity = input.ConsumeBool();
  const size_t smallCapacity = input.ConsumeIntegralInRange<size_t>(0, 600);
  const std::vector<uint8_t> packed = input.ConsumeRemainingBytes<uint8_t>();
  const size_t capacity = fullCapacity ? 3 * packed.size() : smallCapacity;
  std::vector<char> output(capacity);
  const size_t n =
      lv::DecodeVersion1TextForReader(packed.data(), packed.size(), output.data(), output.size(),
                                      preview ? lv::Version1TextMode::kPreview : lv::Version1TextMode::kEntryText);
  if (n > capacity || n > 2 * packed.size() || (preview && n > lv::kVersion1PreviewCharacters)) std::abort();
  return 0;
}
