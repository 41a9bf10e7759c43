// Opens any bytes as a PalmDOC database and searches its text. The input is given a valid PalmDOC
// container header in half of the runs so that the fuzzer reaches the records quickly.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "palm/palmdoc_reader.h"
#include "tome/file_util.h"

namespace {

std::string TempPath() {
  static const std::string path = [] {
    const char* dir = std::getenv("TMPDIR");
    return std::string(dir && *dir ? dir : "/tmp") + "/fuzz-palmdoc-" + std::to_string(getpid()) + ".pdb";
  }();
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string bytes(reinterpret_cast<const char*>(data), size);
  if (size > 80 && (data[0] & 1)) {
    bytes.replace(60, 8, "TEXtREAd");
  }
  const std::string path = TempPath();
  {
    const lv::File file = lv::OpenFile(path, "wb");
    if (!file) return 0;
    std::fwrite(bytes.data(), 1, bytes.size(), file.get());
  }
  lv::PalmDocReader reader;
  if (reader.Open(path).IsOk() && !reader.Text().empty()) {
    const std::string needle = reader.Text().substr(reader.Text().size() / 2, 3);
    reader.Find(needle, false, true);
    reader.Find("", true, true);
    reader.Find("", true, false);
  }
  std::remove(path.c_str());
  return 0;
}
