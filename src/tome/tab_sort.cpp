// SortTabFile and CompareLines: the in-place sort of a tab-separated source by the collation, so that
// the tome built from it is sorted. Lines are split as the import splits them (LineEndOf).
//
// The file is read whole into one buffer of its own size and sorted as a list of line starts (four
// bytes a line below 4 GiB), so the sort needs little more memory than the file itself. Lines that
// collate equal keep their order.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <limits>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "tome/collation.h"
#include "tome/file_util.h"
#include "tome/source_reader.h"
#include "tome/temp_files.h"
#include "tome/tome_builder.h"

namespace lv {
namespace {

constexpr size_t kWriteChunk = size_t(1) << 20;
// Lines written between two cancel checks.
constexpr size_t kLinesPerCancelCheck = 4096;

using CancelCheck = std::function<bool()>;

bool IsCancelled(const CancelCheck& cancelled) { return cancelled && cancelled(); }

Status Cancelled() { return Status::Cancelled("the sort was cancelled"); }

std::string Quote(const std::string& path) { return "'" + path + "'"; }

Status CannotWrite(const std::string& path, int errorNumber) {
  return Status::IoError("cannot write " + Quote(path) + ": " + std::strerror(errorNumber ? errorNumber : EIO));
}

// The view of the file the sort works on: the buffer and the byte that ends its lines.
struct LineText {
  const char* data;
  size_t size;
  char end;  // '\n' in Unix text, else '\r' (an LF right after it belongs to the line end)

  size_t EndOfLine(size_t start) const {
    const void* hit = std::memchr(data + start, end, size - start);
    return hit ? size_t(static_cast<const char*>(hit) - data) : size;
  }
};

// A line as the sort compares it: its bytes, folded, then CR LF, so that lines order the same
// whatever the file's line ends. Its length is found while comparing.
class SortKey {
 public:
  SortKey(const LineText& text, size_t start) : m_text(text), m_line(text.data + start), m_room(text.size - start) {}

  // The key's byte at k (k rising by one from 0), or -1 past the key's end.
  int At(size_t k) {
    if (!m_lengthKnown) {
      if (k < m_room && m_line[k] != m_text.end) return FoldAscii(static_cast<unsigned char>(m_line[k]));
      m_length = k;
      m_lengthKnown = true;
    }
    if (k == m_length) return '\r';
    if (k == m_length + 1) return '\n';
    return -1;
  }

 private:
  const LineText& m_text;
  const char* m_line;
  size_t m_room;
  size_t m_length = 0;
  bool m_lengthKnown = false;
};

// The collation of the two lines' keys (Collate over line + CR LF).
int CompareKeys(const LineText& text, size_t a, size_t b) {
  SortKey first(text, a);
  SortKey second(text, b);
  for (size_t k = 0;; ++k) {
    const int ca = first.At(k);
    const int cb = second.At(k);
    if (ca != cb) return ca - cb;
    if (ca < 0) return 0;
  }
}

// The start of every non-empty line, in file order.
template <typename Offset>
std::vector<Offset> LineStarts(const LineText& text) {
  std::vector<Offset> starts;
  starts.reserve(size_t(std::count(text.data, text.data + text.size, text.end)) + 1);
  size_t start = 0;
  while (start < text.size) {
    const size_t stop = text.EndOfLine(start);
    if (stop > start) starts.push_back(Offset(start));
    start = stop + 1;
    if (text.end == '\r' && start < text.size && text.data[start] == '\n') ++start;
  }
  return starts;
}

// The line end the sorted file is written with: the file's own.
std::string_view WrittenLineEnd(std::string_view contents, LineEnd lineEnd) {
  if (lineEnd == LineEnd::kLineFeed) return "\n";
  const size_t cr = contents.find('\r');
  const bool crOnly = cr != std::string::npos && cr + 1 < contents.size() && contents[cr + 1] != '\n';
  return crOnly ? "\r" : "\r\n";
}

// True when the file's last line is ended by a line end (in CR text also CR LF).
bool EndsWithLineEnd(std::string_view contents, char end) {
  if (contents.empty()) return false;
  if (contents.back() == end) return true;
  return end == '\r' && contents.size() >= 2 && contents.substr(contents.size() - 2) == "\r\n";
}

// Writes the lines in sorted order, joined by separator and, when finalEnd, ended by it.
template <typename Offset>
Status WriteSorted(const LineText& text, const std::vector<Offset>& order, std::string_view separator, bool finalEnd,
                   AtomicFileWriter& writer, const CancelCheck& cancelled) {
  std::string chunk;
  chunk.reserve(kWriteChunk + 4096);
  const auto flush = [&] {
    const bool ok = std::fwrite(chunk.data(), 1, chunk.size(), writer.Stream()) == chunk.size();
    chunk.clear();
    return ok;
  };
  for (size_t i = 0; i < order.size(); ++i) {
    if (i % kLinesPerCancelCheck == 0 && IsCancelled(cancelled)) return Cancelled();
    const size_t start = order[i];
    chunk.append(text.data + start, text.EndOfLine(start) - start);
    if (i + 1 < order.size() || finalEnd) chunk.append(separator);
    if (chunk.size() >= kWriteChunk && !flush()) return CannotWrite(writer.Destination(), errno);
  }
  // Flushed here, so that a full disk is found before the backup is touched.
  if (!flush() || std::fflush(writer.Stream()) != 0) return CannotWrite(writer.Destination(), errno);
  return Status::Ok();
}

// Sorts the lines of contents by their keys; equal keys keep their order.
template <typename Offset>
Status SortAndWrite(std::string_view contents, AtomicFileWriter& writer, const CancelCheck& cancelled) {
  const LineEnd lineEnd = LineEndOf(contents);
  const LineText text{contents.data(), contents.size(), lineEnd == LineEnd::kLineFeed ? '\n' : '\r'};
  std::vector<Offset> order = LineStarts<Offset>(text);
  if (IsCancelled(cancelled)) return Cancelled();
  std::sort(order.begin(), order.end(), [&text](Offset a, Offset b) {
    const int compared = CompareKeys(text, a, b);
    return compared != 0 ? compared < 0 : a < b;
  });
  if (IsCancelled(cancelled)) return Cancelled();
  const bool finalEnd = !order.empty() && EndsWithLineEnd(contents, text.end);
  return WriteSorted(text, order, WrittenLineEnd(contents, lineEnd), finalEnd, writer, cancelled);
}

// Puts a hard link to the unsorted file (target) at backup, replacing what was there. False with errno
// set when the file system cannot link it.
bool LinkBackup(const std::string& target, const std::string& backup) {
  std::string name = TempFileTemplate(backup);
  const int fd = ::mkstemp(name.data());
  if (fd < 0) return false;
  ::close(fd);
  ::unlink(name.c_str());  // only this process makes names with its own number
  if (::link(target.c_str(), name.c_str()) != 0) return false;
  RegisterPendingTempFile(name.c_str());
  const bool renamed = ::rename(name.c_str(), backup.c_str()) == 0;
  const int renameErrno = errno;
  if (!renamed) ::unlink(name.c_str());
  UnregisterPendingTempFile(name.c_str());
  errno = renameErrno;
  return renamed;
}

// Leaves the unsorted file under backup: a hard link where the file system has them, else a copy of
// contents. A backup that is a symbolic link is replaced, never written through: it may point at the
// file being sorted.
Status KeepUnsortedFile(const std::string& path, const std::string& contents) {
  const std::string backup = path + ".bak";
  std::string target;
  if (Status resolved = ResolveSymbolicLinks(path, target); !resolved.IsOk()) return resolved;
  if (LinkBackup(target, backup)) return Status::Ok();
  struct stat status {};
  if (::lstat(backup.c_str(), &status) == 0 && S_ISLNK(status.st_mode)) ::unlink(backup.c_str());
  AtomicFileWriter copy;
  Status written = copy.Open(backup);
  if (written.IsOk() && std::fwrite(contents.data(), 1, contents.size(), copy.Stream()) != contents.size()) {
    written = CannotWrite(backup, errno);
  }
  if (written.IsOk()) written = copy.Commit();
  if (written.IsOk()) return written;
  return Status::IoError("cannot keep the unsorted file as " + Quote(backup) + ": " + written.Message());
}

}  // namespace

int CompareLines(std::string_view a, std::string_view b) { return Collate(a, b); }

Status SortTabFile(const std::string& path, const std::function<bool()>& cancelled) {
  try {
    std::string contents;
    if (Status read = ReadWholeFile(path, contents); !read.IsOk()) return read;
    if (IsCancelled(cancelled)) return Cancelled();
    AtomicFileWriter writer;
    if (Status opened = writer.Open(path); !opened.IsOk()) return opened;
    const Status written = contents.size() <= std::numeric_limits<uint32_t>::max()
                               ? SortAndWrite<uint32_t>(contents, writer, cancelled)
                               : SortAndWrite<uint64_t>(contents, writer, cancelled);
    if (!written.IsOk()) return written;
    if (IsCancelled(cancelled)) return Cancelled();
    if (Status kept = KeepUnsortedFile(path, contents); !kept.IsOk()) return kept;
    return writer.Commit();
  } catch (const std::bad_alloc&) {
    return Status::OutOfMemory("there is not enough memory to sort " + Quote(path));
  }
}

}  // namespace lv
