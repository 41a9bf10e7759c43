// Positional access to one open tome file: every read and write names its offset, so the readers keep
// no shared file position and a damaged offset can never move reads outside the file unnoticed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace lv {

class TomeFile {
 public:
  TomeFile() = default;
  ~TomeFile() { Close(); }
  TomeFile(const TomeFile&) = delete;
  TomeFile& operator=(const TomeFile&) = delete;

  // Opens a regular file for reading, or for reading and writing. False when it cannot be opened or
  // is not a regular file (a directory, a pipe, a device).
  bool Open(const std::string& path, bool writable);
  // Why the last Open failed, in words ("the file does not exist", "no permission to open it", ...).
  std::string OpenFailureCause() const;
  void Close();
  bool IsOpen() const { return m_fd >= 0; }
  // The file's size at open, grown by Append and shrunk by Truncate.
  int64_t Size() const { return m_size; }

  // Reads exactly size bytes at offset; false when they are not all in the file or reading fails.
  bool ReadAt(int64_t offset, void* data, size_t size) const;
  // Writes all size bytes at offset. REQUIRES: opened writable.
  bool WriteAt(int64_t offset, const void* data, size_t size);
  // Appends count 0x00 bytes at the end of the file.
  bool AppendZeros(size_t count);
  bool Truncate(int64_t size);

 private:
  static constexpr int kFolder = -1;      // m_openError: the path names a folder
  static constexpr int kNotRegular = -2;  // m_openError: a pipe, a device or the like

  int m_fd = -1;
  int m_openError = 0;
  int64_t m_size = 0;
};

}  // namespace lv
