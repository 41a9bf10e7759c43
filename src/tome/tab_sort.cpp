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
#include "tome/source_encoding.h"
#include "tome/source_reader.h"
#include "tome/temp_files.h"
#include "tome/tome_builder.h"
#include "tome/unicode.h"

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

// A line as the sort compares it: its characters, folded by the collation, then CR LF, so that
// lines order the same whatever the file's line ends. Its length is found while comparing.
class SortKey {
 public:
  SortKey(const LineText& text, size_t start, TextEncoding encoding)
      : m_text(text), m_line(text.data + start), m_room(text.size - start), m_utf8(encoding == TextEncoding::kUtf8) {}

  // The key's next unit (a folded byte, or in UTF-8 a folded code point), or -1 past the key's end.
  int32_t Next() {
    if (m_at < m_room && m_line[m_at] != m_text.end) {
      const auto b = static_cast<unsigned char>(m_line[m_at]);
      if (b < 0x80 || !m_utf8) {
        ++m_at;
        return FoldAscii(b);
      }
      const Utf8Unit unit = DecodeUtf8At(std::string_view(m_line, m_room), m_at);
      m_at += unit.length;
      // A byte that is not UTF-8 sorts after every character, as in the collation.
      return unit.valid ? int32_t(SimpleCaseFold(unit.c)) : int32_t(0x110000 + b);
    }
    m_room = m_at;  // the line ends here
    switch (m_tail++) {
      case 0: return '\r';
      case 1: return '\n';
      default: return -1;
    }
  }

 private:
  const LineText& m_text;
  const char* m_line;
  size_t m_room;
  bool m_utf8;
  size_t m_at = 0;
  int m_tail = 0;  // units of the CR LF given
};

// The collation of the two lines' keys (Collate over line + CR LF).
int CompareKeys(const LineText& text, size_t a, size_t b, TextEncoding encoding) {
  SortKey first(text, a, encoding);
  SortKey second(text, b, encoding);
  for (;;) {
    const int32_t ca = first.Next();
    const int32_t cb = second.Next();
    if (ca != cb) return ca < cb ? -1 : 1;
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
// A UTF-8 file's byte-order mark stays at its start; it is no part of its first line.
template <typename Offset>
Status SortAndWrite(std::string_view contents, TextEncoding encoding, AtomicFileWriter& writer,
                    const CancelCheck& cancelled) {
  if (encoding == TextEncoding::kUtf8 && StartsWithByteOrderMark(contents)) {
    if (std::fwrite(kUtf8ByteOrderMark.data(), 1, kUtf8ByteOrderMark.size(), writer.Stream()) != 3) {
      return CannotWrite(writer.Destination(), errno);
    }
    contents.remove_prefix(kUtf8ByteOrderMark.size());
  }
  const LineEnd lineEnd = LineEndOf(contents);
  const LineText text{contents.data(), contents.size(), lineEnd == LineEnd::kLineFeed ? '\n' : '\r'};
  std::vector<Offset> order = LineStarts<Offset>(text);
  if (IsCancelled(cancelled)) return Cancelled();
  std::sort(order.begin(), order.end(), [&text, encoding](Offset a, Offset b) {
    const int compared = CompareKeys(text, a, b, encoding);
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

int CompareLines(std::string_view a, std::string_view b, TextEncoding encoding) { return Collate(a, b, encoding); }

Status SortTabFile(const std::string& path, const std::function<bool()>& cancelled, SourceEncoding encodingChoice) {
  try {
    std::string contents;
    if (Status read = ReadWholeFile(path, contents); !read.IsOk()) return read;
    if (IsCancelled(cancelled)) return Cancelled();
    const TextEncoding encoding = ResolveEncoding(encodingChoice, contents);
    AtomicFileWriter writer;
    if (Status opened = writer.Open(path); !opened.IsOk()) return opened;
    const Status written = contents.size() <= std::numeric_limits<uint32_t>::max()
                               ? SortAndWrite<uint32_t>(contents, encoding, writer, cancelled)
                               : SortAndWrite<uint64_t>(contents, encoding, writer, cancelled);
    if (!written.IsOk()) return written;
    if (IsCancelled(cancelled)) return Cancelled();
    if (Status kept = KeepUnsortedFile(path, contents); !kept.IsOk()) return kept;
    return writer.Commit();
  } catch (const std::bad_alloc&) {
    return Status::OutOfMemory("there is not enough memory to sort " + Quote(path));
  }
}

}  // namespace lv
