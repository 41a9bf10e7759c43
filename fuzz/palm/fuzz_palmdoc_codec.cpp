// PalmDOC codec: any bytes decompress within bounds, and any block of up to 4096 bytes compresses to
// a stream that decompresses to exactly that block.
#include <cstdint>
#include <cstring>
#include <vector>

#include "palm/palmdoc_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<uint8_t> out(4096);
  lv::PalmDocDecompress(data, size, out.data(), out.size());
  if (size > 4096) return 0;
  std::vector<uint8_t> packed(lv::PalmDocMaxCompressedSize(size));
  packed.resize(lv::PalmDocCompress(data, size, packed.data()));
  std::vector<uint8_t> unpacked(size + 1);
  const size_t n = lv::PalmDocDecompress(packed.data(), packed.size(), unpacked.data(), unpacked.size());
  if (n != size || (size && std::memcmp(unpacked.data(), data, size) != 0)) __builtin_trap();
  return 0;
}
