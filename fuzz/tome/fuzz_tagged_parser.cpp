// The tagged-text parser on arbitrary source bytes: the tome it builds must open and read back whole.
#include "parser_fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  lv::fuzz::BuildAndReadBack(data, size, true);
  return 0;
}
