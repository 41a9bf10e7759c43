#include "tome/source_reader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace lv {
namespace {

// Large enough that a typical entry is measured and copied from memory, small next to the 64 MiB
// that an import may use.
constexpr size_t kBufferSize = 1 << 20;

}  // namespace

SourceReader::SourceReader(std::FILE* stream) : m_stream(stream), m_buffer(kBufferSize) {
  const off_t position = ::ftello(stream);
  m_base = position < 0 ? 0 : int64_t(position);
}

void SourceReader::Fail() {
  m_failed = true;
  m_errorNumber = errno != 0 ? errno : EIO;
  m_end = true;
  m_valid = m_cursor;  // nothing further is trusted
}

size_t SourceReader::Fill(size_t want) {
  while (Available() < want && !m_end) {
    if (m_cursor > 0) {
      std::memmove(m_buffer.data(), m_buffer.data() + m_cursor, Available());
      m_base += int64_t(m_cursor);
      m_valid -= m_cursor;
      m_cursor = 0;
    }
    errno = 0;
    const size_t got = std::fread(m_buffer.data() + m_valid, 1, m_buffer.size() - m_valid, m_stream);
    m_valid += got;
    if (got == 0 || m_valid < m_buffer.size()) {
      if (std::ferror(m_stream)) {
        Fail();
        return 0;
      }
      if (std::feof(m_stream) || got == 0) m_end = true;
    }
  }
  return Available();
}

bool SourceReader::SeekTo(int64_t offset) {
  if (m_failed) return false;
  if (offset >= m_base && offset <= m_base + int64_t(m_valid)) {
    m_cursor = size_t(offset - m_base);
    return true;
  }
  errno = 0;
  if (::fseeko(m_stream, off_t(offset), SEEK_SET) != 0) {
    Fail();
    return false;
  }
  m_base = offset;
  m_cursor = 0;
  m_valid = 0;
  m_end = false;
  return true;
}

void SourceReader::Release() {
  if (!m_failed) ::fseeko(m_stream, off_t(Offset()), SEEK_SET);
}

LineEnd LineEndOf(std::string_view start) {
  const std::string_view window = start.substr(0, kLineEndWindow);
  if (window.find('\r') == std::string_view::npos && window.find('\n') != std::string_view::npos) {
    return LineEnd::kLineFeed;
  }
  return LineEnd::kCarriageReturn;
}

LineEnd ReadLineEnd(SourceReader& in) {
  const int64_t start = in.Offset();
  bool carriageReturn = false;
  bool lineFeed = false;
  for (size_t seen = 0; !carriageReturn && seen < kLineEndWindow && in.Fill(1) > 0;) {
    const size_t n = std::min(in.Available(), kLineEndWindow - seen);
    carriageReturn = std::memchr(in.Cursor(), '\r', n) != nullptr;
    lineFeed = lineFeed || std::memchr(in.Cursor(), '\n', n) != nullptr;
    in.Advance(n);
    seen += n;
  }
  in.SeekTo(start);
  return lineFeed && !carriageReturn ? LineEnd::kLineFeed : LineEnd::kCarriageReturn;
}

}  // namespace lv
