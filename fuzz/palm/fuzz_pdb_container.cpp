// Reads any bytes as a Palm database container and every record it lists.
#include <cstdint>
#include <cstdio>
#include <vector>

#include "palm/pdb_container.h"
#include "tome/file_util.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const lv::File stream(fmemopen(const_cast<uint8_t*>(data), size, "rb"));
  if (!stream) return 0;
  std::FILE* file = stream.get();
  lv::PdbContainer container;
  if (lv::ReadPdbContainer(file, container).IsOk()) {
    std::vector<uint8_t> record;
    for (size_t i = 0; i < container.RecordCount(); ++i) {
      if (!lv::ReadPdbRecord(file, container, i, record)) __builtin_trap();
    }
  }
  return 0;
}
