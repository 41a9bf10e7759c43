#include "tome/temp_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string_view>

namespace lv {
namespace {

constexpr std::string_view kTempMarker = ".tmp-";
constexpr size_t kRandomPartLength = 6;  // mkstemp's XXXXXX
// A file name is at most 255 bytes; the part of NAME kept in a temporary name leaves room for the rest.
constexpr size_t kMaxNameInTempName = 200;
constexpr int kTerminatingSignals[] = {SIGINT, SIGTERM, SIGHUP};

// Paths of the temporary files being written; read by the signal handler, so only lock-free atomics.
std::atomic<const char*> g_pending[32];

extern "C" void RemoveTempFilesAndReraise(int signalNumber) {
  const int savedErrno = errno;
  RemovePendingTempFiles();
  // The handler was installed with SA_RESETHAND: the signal, raised again, ends the program once
  // the handler returns.
  ::raise(signalNumber);
  errno = savedErrno;
}

bool AllDigits(std::string_view text) {
  if (text.empty()) return false;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

// The writing process of a temporary file name ".NAME.tmp-PID-XXXXXX", or 0 when name is not one.
pid_t WriterOf(std::string_view name) {
  const size_t marker = name.rfind(kTempMarker);
  if (name.empty() || name[0] != '.' || marker == std::string_view::npos || marker == 0) return 0;
  const std::string_view rest = name.substr(marker + kTempMarker.size());
  const size_t dash = rest.find('-');
  if (dash == std::string_view::npos || rest.size() - dash - 1 != kRandomPartLength) return 0;
  const std::string_view pid = rest.substr(0, dash);
  if (!AllDigits(pid) || pid.size() > 9) return 0;
  return static_cast<pid_t>(std::atol(std::string(pid).c_str()));
}

bool ProcessIsGone(pid_t pid) { return pid != ::getpid() && ::kill(pid, 0) != 0 && errno == ESRCH; }

// Removes folder/name when it is this user's regular file and no process holds its lock.
void RemoveIfAbandoned(int folder, const char* name) {
  const int fd = ::openat(folder, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return;
  struct stat status {};
  if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && status.st_uid == ::geteuid() &&
      ::flock(fd, LOCK_EX | LOCK_NB) == 0) {
    ::unlinkat(folder, name, 0);
  }
  ::close(fd);
}

}  // namespace

std::string TempFileTemplate(const std::string& target) {
  const std::filesystem::path path(target);
  const std::string folder = path.parent_path().empty() ? "." : path.parent_path().string();
  const std::string name = path.filename().string().substr(0, kMaxNameInTempName);
  return folder + "/." + name + std::string(kTempMarker) + std::to_string(::getpid()) + "-XXXXXX";
}

void RegisterPendingTempFile(const char* path) {
  for (std::atomic<const char*>& slot : g_pending) {
    const char* empty = nullptr;
    if (slot.compare_exchange_strong(empty, path)) return;
  }
}

void UnregisterPendingTempFile(const char* path) {
  for (std::atomic<const char*>& slot : g_pending) {
    const char* expected = path;
    if (slot.compare_exchange_strong(expected, nullptr)) return;
  }
}

void RemovePendingTempFiles() {
  for (std::atomic<const char*>& slot : g_pending) {
    if (const char* path = slot.exchange(nullptr)) ::unlink(path);
  }
}

void RemoveTempFilesOnSignals() {
  for (const int signalNumber : kTerminatingSignals) {
    struct sigaction current {};
    if (::sigaction(signalNumber, nullptr, &current) != 0 || current.sa_handler == SIG_IGN) continue;
    struct sigaction action {};
    action.sa_handler = RemoveTempFilesAndReraise;
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    ::sigaction(signalNumber, &action, nullptr);
  }
}

void RemoveStaleTempFiles(const std::string& folder) {
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return;
  while (const dirent* entry = ::readdir(dir)) {
    const pid_t writer = WriterOf(entry->d_name);
    if (writer > 0 && ProcessIsGone(writer)) RemoveIfAbandoned(::dirfd(dir), entry->d_name);
  }
  ::closedir(dir);
}

}  // namespace lv
