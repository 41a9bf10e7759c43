// SortTabFile and CompareLines: the in-place sort of a tab-separated source by the collation, so that
// the tome built from it is sorted. The whole file is held in memory while it is sorted.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "tome/collation.h"
#include "tome/file_util.h"
#include "tome/tome_builder.h"

namespace lv {
namespace {

bool ReadWholeFile(const std::string& path, std::string& contents) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return false;
  char buffer[1 << 16];
  size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) contents.append(buffer, got);
  const bool ok = !std::ferror(file);
  std::fclose(file);
  return ok;
}

// Every non-empty line of contents (lines end at a carriage return, which takes the byte after it
// along), each stored with a carriage return and line feed appended.
std::vector<std::string> SplitLines(const std::string& contents) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < contents.size()) {
    size_t cr = contents.find('\r', start);
    const size_t end = cr == std::string::npos ? contents.size() : cr;
    if (end > start) lines.push_back(contents.substr(start, end - start) + "\r\n");
    start = cr == std::string::npos ? contents.size() : cr + 2;
  }
  return lines;
}

}  // namespace

int CompareLines(std::string_view a, std::string_view b) { return Collate(a, b); }

bool SortTabFile(const std::string& path) {
  std::string contents;
  if (!ReadWholeFile(path, contents)) return false;
  std::vector<std::string> lines = SplitLines(contents);
  contents.clear();
  contents.shrink_to_fit();
  std::stable_sort(lines.begin(), lines.end(),
                   [](const std::string& a, const std::string& b) { return CompareLines(a, b) < 0; });
  // The sorted file does not end with a line break.
  if (!lines.empty()) lines.back().resize(lines.back().size() - 2);

  AtomicFileWriter writer;
  if (!writer.Open(path)) return false;
  for (const std::string& line : lines) {
    if (std::fwrite(line.data(), 1, line.size(), writer.Stream()) != line.size()) return false;
  }
  // The unsorted file stays under the name with ".bak" appended; an existing backup is kept and no
  // new one made. Linking keeps the original in place until the sorted file replaces it.
  const std::string backup = path + ".bak";
  ::link(path.c_str(), backup.c_str());
  return writer.Commit();
}

}  // namespace lv
