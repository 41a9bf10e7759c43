// AtomicFileWriter (declared in file_util.h): an output written beside its destination and renamed
// over it only when complete.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <vector>

#include "tome/file_util.h"
#include "tome/temp_files.h"

namespace lv {
namespace {

std::string FolderOf(const std::string& path) {
  const std::filesystem::path parent = std::filesystem::path(path).parent_path();
  return parent.empty() ? "." : parent.string();
}

// An existing destination must be a regular file: renaming over a folder fails only after all the
// work, and renaming over a device or pipe (say /dev/null) would replace it with a plain file.
Status CheckReplaceable(const std::string& destination, const std::string& target) {
  struct stat status {};
  if (::stat(target.c_str(), &status) != 0) return Status::Ok();
  const std::string kind = NonRegularFileKind(status.st_mode);
  if (kind.empty()) return Status::Ok();
  return Status::IoError("cannot write '" + destination + "': it is " + kind + ", not a regular file");
}

// The permissions for the new file: those of the file it replaces, or 0666 less the umask.
mode_t ModeFor(const std::string& target) {
  struct stat status {};
  if (::stat(target.c_str(), &status) == 0) return status.st_mode & 07777;
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

}  // namespace

AtomicFileWriter::~AtomicFileWriter() { Abandon(); }

Status AtomicFileWriter::Open(const std::string& destination) {
  Abandon();
  m_destination = destination;
  if (Status resolved = ResolveSymbolicLinks(destination, m_target); !resolved.IsOk()) return resolved;
  if (Status replaceable = CheckReplaceable(destination, m_target); !replaceable.IsOk()) return replaceable;
  RemoveStaleTempFiles(FolderOf(m_target));
  const std::string pattern = TempFileTemplate(m_target);
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const int fd = ::mkostemp(name.data(), O_CLOEXEC);
  if (fd < 0) return Status::IoError("cannot write '" + destination + "': " + std::strerror(errno));
  m_tempPath.assign(name.data());
  RegisterPendingTempFile(m_tempPath.c_str());
  // The lock tells later writers into this folder that the file is still being written.
  ::flock(fd, LOCK_EX | LOCK_NB);
  m_stream.reset(::fdopen(fd, "w+b"));
  if (!m_stream) {
    const Status failed = Status::IoError("cannot write '" + destination + "': " + std::strerror(errno));
    ::close(fd);
    Abandon();
    return failed;
  }
  return Status::Ok();
}

Status AtomicFileWriter::Commit() {
  if (!m_stream) return Status::InvalidArgument("nothing to commit");
  const mode_t mode = ModeFor(m_target);
  std::FILE* stream = m_stream.get();
  errno = 0;
  bool ok = std::fflush(stream) == 0 && !std::ferror(stream) && ::fchmod(::fileno(stream), mode) == 0 &&
            ::fsync(::fileno(stream)) == 0;
  int writeErrno = errno;
  if (std::fclose(m_stream.release()) != 0 && ok) {
    ok = false;
    writeErrno = errno;
  }
  if (!ok) {
    Abandon();
    return Status::IoError("cannot write '" + m_destination + "': " + std::strerror(writeErrno ? writeErrno : EIO));
  }
  if (::rename(m_tempPath.c_str(), m_target.c_str()) != 0) {
    const Status failed = Status::IoError("cannot replace '" + m_destination + "': " + std::strerror(errno));
    Abandon();
    return failed;
  }
  UnregisterPendingTempFile(m_tempPath.c_str());
  m_tempPath.clear();
  return Status::Ok();
}

void AtomicFileWriter::Abandon() {
  m_stream.reset();
  if (!m_tempPath.empty()) {
    ::unlink(m_tempPath.c_str());
    UnregisterPendingTempFile(m_tempPath.c_str());
    m_tempPath.clear();
  }
}

}  // namespace lv
