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

std::string CannotOpen(const std::string& path, const std::string& cause) {
  return "cannot open '" + path + "': " + cause;
}

// Links followed before a chain is taken for a loop, as the kernel does.
constexpr int kMaxLinkHops = 40;

}  // namespace

std::string TemporaryFolder() {
  const char* dir = std::getenv("TMPDIR");
  if (dir && *dir) return dir;
  return "/tmp";
}

File OpenFile(const std::string& path, const char* mode) { return File(std::fopen(path.c_str(), mode)); }

std::string NonRegularFileKind(unsigned mode) {
  switch (mode & S_IFMT) {
    case S_IFREG: return "";
    case S_IFDIR: return "a folder";
    case S_IFIFO: return "a named pipe";
    case S_IFCHR: return "a character device";
    case S_IFBLK: return "a block device";
    case S_IFSOCK: return "a socket";
    default: return "not a file of data";
  }
}

int OpenRegularFileDescriptor(const std::string& path, int accessFlags, Status& failure) {
  // O_NONBLOCK keeps the open of a named pipe from waiting for a writer; it is refused below.
  const int fd = ::open(path.c_str(), accessFlags | O_CLOEXEC | O_NONBLOCK);
  struct stat status {};
  if (fd < 0 && errno == EISDIR) {
    failure = Status::IoError(CannotOpen(path, "it is a folder, not a regular file"));
    return -1;
  }
  if (fd < 0 || ::fstat(fd, &status) != 0) {
    failure = Status::IoError(CannotOpen(path, std::strerror(errno)));
    if (fd >= 0) ::close(fd);
    return -1;
  }
  if (const std::string kind = NonRegularFileKind(status.st_mode); !kind.empty()) {
    ::close(fd);
    failure = Status::IoError(CannotOpen(path, "it is " + kind + ", not a regular file"));
    return -1;
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return fd;
}

Status OpenForReading(const std::string& path, File& file) {
  file.reset();
  Status failure;
  const int fd = OpenRegularFileDescriptor(path, O_RDONLY, failure);
  if (fd < 0) return failure;
  file.reset(::fdopen(fd, "rb"));
  if (!file) {
    const Status failed = Status::IoError(CannotOpen(path, std::strerror(errno)));
    ::close(fd);
    return failed;
  }
  return Status::Ok();
}

Status ReadWholeFile(const std::string& path, std::string& contents) {
  File file;
  if (Status opened = OpenForReading(path, file); !opened.IsOk()) return opened;
  const long long size = StreamSize(file.get());
  contents.resize(size > 0 ? size_t(size) : 0);
  size_t have = std::fread(contents.data(), 1, contents.size(), file.get());
  contents.resize(have);
  char more[1 << 12];  // a file that grew since its size was taken
  while ((have = std::fread(more, 1, sizeof more, file.get())) > 0) contents.append(more, have);
  if (std::ferror(file.get())) return Status::IoError("cannot read '" + path + "': " + std::strerror(errno));
  return Status::Ok();
}

bool IsSameFile(const std::string& a, const std::string& b) {
  struct stat first {};
  struct stat second {};
  return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 && first.st_dev == second.st_dev &&
         first.st_ino == second.st_ino;
}

Status ResolveSymbolicLinks(const std::string& path, std::string& target) {
  namespace fs = std::filesystem;
  fs::path current = path;
  for (int hop = 0; hop <= kMaxLinkHops; ++hop) {
    struct stat status {};
    if (::lstat(current.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) {
      target = current.string();
      return Status::Ok();
    }
    std::vector<char> link(size_t(status.st_size > 0 ? status.st_size : 255) + 1);
    const ssize_t length = ::readlink(current.c_str(), link.data(), link.size());
    if (length < 0) return Status::IoError("cannot follow the link '" + path + "': " + std::strerror(errno));
    if (size_t(length) >= link.size()) continue;  // the link changed under us: read it again
    const fs::path next(std::string(link.data(), size_t(length)));
    current = next.is_absolute() ? next : current.parent_path() / next;
  }
  return Status::IoError("cannot follow the link '" + path + "': " + std::strerror(ELOOP));
}

bool IsOnReadOnlyFileSystem(const std::string& path) {
  struct statvfs fileSystem {};
  if (::statvfs(path.c_str(), &fileSystem) != 0) return false;
  return (fileSystem.f_flag & ST_RDONLY) != 0;
}

File OpenAnonymousTempFile() {
  std::vector<char> name;
  const std::string prefix = TemporaryFolder() + "/librovance-XXXXXX";
  name.assign(prefix.begin(), prefix.end());
  name.push_back('\0');
  const int fd = ::mkstemp(name.data());
  if (fd < 0) return nullptr;
  ::unlink(name.data());
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

}  // namespace lv
