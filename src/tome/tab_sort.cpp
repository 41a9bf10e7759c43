// SortTabFile and CompareLines: the in-place sort of a tab-separated source by the collation, so that
// the tome built from it is sorted. Lines are split as the import splits them (LineEndOf). The whole file is held in
// memory while it is sorted.
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "tome/collation.h"
#include "tome/file_util.h"
#include "tome/source_reader.h"
#include "tome/tome_builder.h"

namespace lv {
namespace {

using CancelCheck = std::function<bool()>;

bool IsCancelled(const CancelCheck& cancelled) { return cancelled && cancelled(); }

Status Cancelled() { return Status::Cancelled("the sort was cancelled"); }

// The failure of the sort: the cause errno names, if any.
Status SortFailure() { return Status::IoError(errno != 0 ? std::strerror(errno) : ""); }

Status ReadWholeFile(const std::string& path, std::string& contents, const CancelCheck& cancelled) {
  const File file = OpenFile(path, "rb");
  if (!file) return SortFailure();
  char buffer[1 << 16];
  size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) {
    if (IsCancelled(cancelled)) return Cancelled();
    contents.append(buffer, got);
  }
  return std::ferror(file.get()) ? SortFailure() : Status::Ok();
}

// Every non-empty line of contents, each stored with a CR LF appended: lines sort by the same keys
// whatever line ends the file has.
std::vector<std::string> SplitLines(const std::string& contents, LineEnd lineEnd) {
  const char end = lineEnd == LineEnd::kLineFeed ? '\n' : '\r';
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < contents.size()) {
    const size_t at = contents.find(end, start);
    const size_t stop = at == std::string::npos ? contents.size() : at;
    if (stop > start) lines.push_back(contents.substr(start, stop - start) + "\r\n");
    if (at == std::string::npos) break;
    start = at + 1;
    if (end == '\r' && start < contents.size() && contents[start] == '\n') ++start;
  }
  return lines;
}

// The line end the sorted file is written with: the file's own.
std::string_view WrittenLineEnd(const std::string& contents, LineEnd lineEnd) {
  if (lineEnd == LineEnd::kLineFeed) return "\n";
  const size_t cr = contents.find('\r');
  const bool crOnly = cr != std::string::npos && cr + 1 < contents.size() && contents[cr + 1] != '\n';
  return crOnly ? "\r" : "\r\n";
}

}  // namespace

int CompareLines(std::string_view a, std::string_view b) { return Collate(a, b); }

Status SortTabFile(const std::string& path, const std::function<bool()>& cancelled) {
  // Lines written between two cancel checks.
  constexpr size_t kLinesPerCheck = 4096;
  errno = 0;
  std::string contents;
  if (Status read = ReadWholeFile(path, contents, cancelled); !read.IsOk()) return read;
  const LineEnd lineEnd = LineEndOf(contents);
  const std::string_view separator = WrittenLineEnd(contents, lineEnd);
  std::vector<std::string> lines = SplitLines(contents, lineEnd);
  contents.clear();
  contents.shrink_to_fit();
  if (IsCancelled(cancelled)) return Cancelled();
  std::stable_sort(lines.begin(), lines.end(),
                   [](const std::string& a, const std::string& b) { return CompareLines(a, b) < 0; });
  if (IsCancelled(cancelled)) return Cancelled();
  AtomicFileWriter writer;
  if (!writer.Open(path).IsOk()) return SortFailure();
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i % kLinesPerCheck == 0 && IsCancelled(cancelled)) return Cancelled();
    // Each line without its sort key's CR LF; the sorted file does not end with a line break.
    const std::string_view line = std::string_view(lines[i]).substr(0, lines[i].size() - 2);
    if (std::fwrite(line.data(), 1, line.size(), writer.Stream()) != line.size()) return SortFailure();
    if (i + 1 < lines.size() &&
        std::fwrite(separator.data(), 1, separator.size(), writer.Stream()) != separator.size()) {
      return SortFailure();
    }
  }
  // The unsorted file stays under the name with ".bak" appended; an existing backup is kept and no
  // new one made. Linking keeps the original in place until the sorted file replaces it.
  if (IsCancelled(cancelled)) return Cancelled();
  const std::string backup = path + ".bak";
  ::link(path.c_str(), backup.c_str());
  return writer.Commit().IsOk() ? Status::Ok() : SortFailure();
}

}  // namespace lv
