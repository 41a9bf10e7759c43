#include "tome/tome_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace lv {

bool TomeFile::Open(const std::string& path, bool writable) {
  Close();
  // O_NONBLOCK keeps the open of a named pipe from waiting for a writer; it is refused below anyway.
  const int fd = ::open(path.c_str(), (writable ? O_RDWR : O_RDONLY) | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    m_openError = errno;
    return false;
  }
  struct stat status {};
  if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
    m_openError = S_ISDIR(status.st_mode) ? kFolder : kNotRegular;
    ::close(fd);
    return false;
  }
  m_openError = 0;
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  m_fd = fd;
  m_size = status.st_size;
  return true;
}

std::string TomeFile::OpenFailureCause() const {
  switch (m_openError) {
    case kFolder:
    case EISDIR: return "it is a folder, not a file";
    case kNotRegular: return "it is not a regular file";
    case ENOENT: return "the file does not exist";
    case EACCES:
    case EPERM: return "no permission to open it";
    case EROFS: return "the file system is read-only";
    default: return std::strerror(m_openError);
  }
}

void TomeFile::Close() {
  if (m_fd >= 0) ::close(m_fd);
  m_fd = -1;
  m_size = 0;
}

bool TomeFile::ReadAt(int64_t offset, void* data, size_t size) const {
  if (m_fd < 0 || offset < 0 || offset > m_size || int64_t(size) > m_size - offset) return false;
  auto* out = static_cast<char*>(data);
  while (size > 0) {
    const ssize_t n = ::pread(m_fd, out, size, offset);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    out += n;
    offset += n;
    size -= size_t(n);
  }
  return true;
}

bool TomeFile::WriteAt(int64_t offset, const void* data, size_t size) {
  if (m_fd < 0 || offset < 0) return false;
  const auto* in = static_cast<const char*>(data);
  int64_t at = offset;
  while (size > 0) {
    const ssize_t n = ::pwrite(m_fd, in, size, at);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    in += n;
    at += n;
    size -= size_t(n);
  }
  if (at > m_size) m_size = at;
  return true;
}

bool TomeFile::AppendZeros(size_t count) {
  const std::vector<char> zeros(count, 0);
  return WriteAt(m_size, zeros.data(), zeros.size());
}

bool TomeFile::Truncate(int64_t size) {
  if (m_fd < 0 || ::ftruncate(m_fd, size) != 0) return false;
  m_size = size;
  return true;
}

}  // namespace lv
