// Writes a deterministic synthetic source for the tome benchmarks:
//   generate_tome_source --entries N [--tab] [--unsorted] [--seed S] -o FILE
// --unsorted writes the entries in a scrambled order (for the file sort's benchmark).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "synthetic_source.h"

int main(int argc, char** argv) {
  long long entries = 1000;
  unsigned long long seed = 1;
  auto format = lv::bench::SyntheticFormat::kTagged;
  bool unsorted = false;
  const char* output = nullptr;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--entries") && i + 1 < argc) {
      entries = std::atoll(argv[++i]);
    } else if (!std::strcmp(argv[i], "--seed") && i + 1 < argc) {
      seed = std::strtoull(argv[++i], nullptr, 10);
    } else if (!std::strcmp(argv[i], "--tab")) {
      format = lv::bench::SyntheticFormat::kTab;
    } else if (!std::strcmp(argv[i], "--unsorted")) {
      unsorted = true;
    } else if (!std::strcmp(argv[i], "-o") && i + 1 < argc) {
      output = argv[++i];
    } else {
      std::fprintf(stderr, "usage: %s --entries N [--tab] [--unsorted] [--seed S] -o FILE\n", argv[0]);
      return 1;
    }
  }
  if (!output || entries <= 0 || entries > 100000000) {
    std::fprintf(stderr, "usage: %s --entries N (1..100000000) [--tab] [--unsorted] [--seed S] -o FILE\n", argv[0]);
    return 1;
  }
  std::FILE* file = std::fopen(output, "wb");
  if (!file) {
    std::perror(output);
    return 2;
  }
  lv::bench::SyntheticSource source(seed);
  std::string buffer;
  if (format == lv::bench::SyntheticFormat::kTagged) buffer = "Synthetic benchmark source.\r\n";
  // Stepping through the entries by a prime that does not divide their count visits each once.
  const long long step = unsorted ? (entries % 1000003 == 0 ? 999983 : 1000003) : 1;
  for (long long i = 0; i < entries; ++i) {
    source.AppendEntry(buffer, static_cast<long long>((static_cast<unsigned long long>(i) * step) % entries), entries,
                       format);
    if (buffer.size() > (1 << 20) || i + 1 == entries) {
      if (std::fwrite(buffer.data(), 1, buffer.size(), file) != buffer.size()) {
        std::perror(output);
        return 2;
      }
      buffer.clear();
    }
  }
  if (std::fclose(file) != 0) {
    std::perror(output);
    return 2;
  }
  return 0;
}
