// The StarDict reader on arbitrary sets: the .ifo, the .idx (plain or gzip), the definitions (plain,
// gzip or dictzip) and, when present, the .syn.
#include "dictionary_fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<std::string_view> files = lv::fuzz::SplitFiles(data, size);
  lv::fuzz::RemoveScratchFiles();
  lv::fuzz::WriteScratch("set.ifo", files[0]);
  if (files.size() > 1) lv::fuzz::WriteScratch("set.idx", files[1]);
  if (files.size() > 2) lv::fuzz::WriteScratch(lv::fuzz::DictName("set", files[2]), files[2]);
  if (files.size() > 3) lv::fuzz::WriteScratch("set.syn", files[3]);
  lv::fuzz::ImportAndReadBack("set.ifo");
  return 0;
}
