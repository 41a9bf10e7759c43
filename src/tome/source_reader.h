// SourceReader: reads a source text through one large buffer so that the parsers can look at it byte
// by byte, look ahead a few bytes and go back to an earlier offset without a library call per byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string_view>
#include <vector>

namespace lv {

class SourceReader {
 public:
  // Starts at the stream's current position. The stream is read only through this object until
  // Release(), which leaves the stream positioned at Offset().
  explicit SourceReader(std::FILE* stream);

  std::FILE* Stream() const { return m_stream; }

  // Makes at least want bytes (want <= kMinCapacity) available from the cursor on, unless the source
  // ends first or cannot be read. Returns the number of bytes available.
  size_t Fill(size_t want);
  const uint8_t* Cursor() const { return m_buffer.data() + m_cursor; }
  size_t Available() const { return m_valid - m_cursor; }
  // REQUIRES: n <= Available().
  void Advance(size_t n) { m_cursor += n; }
  // True once every byte up to the end of the source is in the buffer.
  bool ReachedEnd() const { return m_end; }
  int64_t Offset() const { return m_base + int64_t(m_cursor); }
  // Moves the cursor to an absolute offset in the source: within the buffer without reading.
  bool SeekTo(int64_t offset);

  // A read or seek error; the cursor then acts as the end of the source.
  bool Failed() const { return m_failed; }
  int ErrorNumber() const { return m_errorNumber; }

  void Release();

  static constexpr size_t kMinCapacity = 64;

 private:
  void Fail();

  std::FILE* m_stream;
  std::vector<uint8_t> m_buffer;
  size_t m_cursor = 0;
  size_t m_valid = 0;
  int64_t m_base = 0;  // source offset of m_buffer[0]
  bool m_end = false;
  bool m_failed = false;
  int m_errorNumber = 0;
};

// How the lines of a tab-separated source end, judged from its first kLineEndWindow bytes (all of it
// when shorter). When they hold a carriage return, a line ends at a CR, and an LF right after the CR
// belongs to that line end (any other LF is a plain byte): Windows text and old Mac text. When they
// hold an LF and no CR, a line ends at an LF (Unix text). With neither, a line ends at a CR.
// The window lets a Windows source whose first lines carry stray LFs keep its CR line ends without a
// scan of the whole source.
enum class LineEnd { kCarriageReturn, kLineFeed };
inline constexpr size_t kLineEndWindow = size_t(16) << 20;

// REQUIRES: start holds the source's first bytes, at least min(kLineEndWindow, source size) of them.
LineEnd LineEndOf(std::string_view start);
// The line end of the source from the cursor on; reads ahead and returns the cursor to where it was.
LineEnd ReadLineEnd(SourceReader& in);

}  // namespace lv
