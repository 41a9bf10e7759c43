#include "tome/file_util.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace lv {
namespace {

std::string TempDirectory() {
  const char* dir = std::getenv("TMPDIR");
  if (dir && *dir) return dir;
  return "/tmp";
}

std::string DirectoryOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string BaseNameOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// mkstemp on a template built from prefix; returns the descriptor and fills path.
int MakeTempFile(const std::string& prefix, std::string& path) {
  std::vector<char> name(prefix.begin(), prefix.end());
  const char suffix[] = "XXXXXX";
  name.insert(name.end(), suffix, suffix + sizeof(suffix));  // includes the NUL
  const int fd = ::mkstemp(name.data());
  if (fd >= 0) path.assign(name.data());
  return fd;
}

}  // namespace

std::FILE* OpenAnonymousTempFile() {
  std::string path;
  const int fd = MakeTempFile(TempDirectory() + "/librovance-", path);
  if (fd < 0) return nullptr;
  ::unlink(path.c_str());
  std::FILE* stream = ::fdopen(fd, "w+b");
  if (!stream) ::close(fd);
  return stream;
}

long long StreamSize(std::FILE* stream) {
  struct stat st;
  std::fflush(stream);
  if (::fstat(::fileno(stream), &st) != 0) return -1;
  return static_cast<long long>(st.st_size);
}

bool CopyStream(std::FILE* source, std::FILE* destination) {
  std::vector<char> buffer(size_t{1} << 16);
  size_t got;
  while ((got = std::fread(buffer.data(), 1, buffer.size(), source)) > 0) {
    if (std::fwrite(buffer.data(), 1, got, destination) != got) return false;
  }
  return !std::ferror(source);
}

AtomicFileWriter::~AtomicFileWriter() { Abandon(); }

bool AtomicFileWriter::Open(const std::string& destination) {
  Abandon();
  m_destination = destination;
  const std::string prefix = DirectoryOf(destination) + "/." + BaseNameOf(destination) + ".tmp-";
  const int fd = MakeTempFile(prefix, m_tempPath);
  if (fd < 0) {
    m_error = "cannot create a temporary file beside " + destination + ": " + std::strerror(errno);
    return false;
  }
  m_stream = ::fdopen(fd, "w+b");
  if (!m_stream) {
    m_error = std::string("cannot open the temporary file: ") + std::strerror(errno);
    ::close(fd);
    ::unlink(m_tempPath.c_str());
    m_tempPath.clear();
    return false;
  }
  return true;
}

bool AtomicFileWriter::Commit() {
  if (!m_stream) {
    m_error = "nothing to commit";
    return false;
  }
  // Keep the permissions of the file being replaced; a new file gets 0666 less the umask.
  struct stat st;
  mode_t mode;
  if (::stat(m_destination.c_str(), &st) == 0) {
    mode = st.st_mode & 07777;
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }
  bool ok = std::fflush(m_stream) == 0 && ::fchmod(::fileno(m_stream), mode) == 0 &&
            ::fsync(::fileno(m_stream)) == 0;
  const int writeErrno = errno;
  ok = (std::fclose(m_stream) == 0) && ok;
  m_stream = nullptr;
  if (!ok) {
    m_error = "cannot write " + m_destination + ": " + std::strerror(writeErrno);
    Abandon();
    return false;
  }
  if (::rename(m_tempPath.c_str(), m_destination.c_str()) != 0) {
    m_error = "cannot replace " + m_destination + ": " + std::strerror(errno);
    Abandon();
    return false;
  }
  m_tempPath.clear();
  return true;
}

void AtomicFileWriter::Abandon() {
  if (m_stream) {
    std::fclose(m_stream);
    m_stream = nullptr;
  }
  if (!m_tempPath.empty()) {
    ::unlink(m_tempPath.c_str());
    m_tempPath.clear();
  }
}

}  // namespace lv
