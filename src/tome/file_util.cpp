#include "tome/file_util.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

namespace lv {
namespace {

std::string TempDirectory() {
  const char* dir = std::getenv("TMPDIR");
  if (dir && *dir) return dir;
  return "/tmp";
}

// The folder of path: "." for a bare file name.
std::string DirectoryOf(const std::string& path) {
  const std::filesystem::path parent = std::filesystem::path(path).parent_path();
  return parent.empty() ? "." : parent.string();
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

bool IsOnReadOnlyFileSystem(const std::string& path) {
  struct statvfs fileSystem {};
  if (::statvfs(path.c_str(), &fileSystem) != 0) return false;
  return (fileSystem.f_flag & ST_RDONLY) != 0;
}

File OpenFile(const std::string& path, const char* mode) { return File(std::fopen(path.c_str(), mode)); }

File OpenAnonymousTempFile() {
  std::string path;
  const int fd = MakeTempFile(TempDirectory() + "/librovance-", path);
  if (fd < 0) return nullptr;
  ::unlink(path.c_str());
  File stream(::fdopen(fd, "w+b"));
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

Status AtomicFileWriter::Open(const std::string& destination) {
  Abandon();
  m_destination = destination;
  const std::string name = std::filesystem::path(destination).filename().string();
  const int fd = MakeTempFile(DirectoryOf(destination) + "/." + name + ".tmp-", m_tempPath);
  if (fd < 0) {
    return Status::IoError("cannot create a temporary file beside " + destination + ": " + std::strerror(errno));
  }
  m_stream.reset(::fdopen(fd, "w+b"));
  if (!m_stream) {
    const Status failed = Status::IoError(std::string("cannot open the temporary file: ") + std::strerror(errno));
    ::close(fd);
    ::unlink(m_tempPath.c_str());
    m_tempPath.clear();
    return failed;
  }
  return Status::Ok();
}

Status AtomicFileWriter::Commit() {
  if (!m_stream) return Status::InvalidArgument("nothing to commit");
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
  std::FILE* stream = m_stream.get();
  bool ok = std::fflush(stream) == 0 && ::fchmod(::fileno(stream), mode) == 0 && ::fsync(::fileno(stream)) == 0;
  const int writeErrno = errno;
  ok = (std::fclose(m_stream.release()) == 0) && ok;
  if (!ok) {
    Abandon();
    return Status::IoError("cannot write " + m_destination + ": " + std::strerror(writeErrno));
  }
  if (::rename(m_tempPath.c_str(), m_destination.c_str()) != 0) {
    const Status failed = Status::IoError("cannot replace " + m_destination + ": " + std::strerror(errno));
    Abandon();
    return failed;
  }
  m_tempPath.clear();
  return Status::Ok();
}

void AtomicFileWriter::Abandon() {
  m_stream.reset();
  if (!m_tempPath.empty()) {
    ::unlink(m_tempPath.c_str());
    m_tempPath.clear();
  }
}

}  // namespace lv
