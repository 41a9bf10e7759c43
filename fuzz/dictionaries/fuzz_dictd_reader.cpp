// The dictd reader on arbitrary sets: the index, then the definitions (plain, gzip or dictzip).
#include "dictionary_fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<std::string_view> files = lv::fuzz::SplitFiles(data, size);
  lv::fuzz::RemoveScratchFiles();
  lv::fuzz::WriteScratch("set.index", files[0]);
  if (files.size() > 1) lv::fuzz::WriteScratch(lv::fuzz::DictName("set", files[1]), files[1]);
  lv::fuzz::ImportAndReadBack("set.index");
  return 0;
}
