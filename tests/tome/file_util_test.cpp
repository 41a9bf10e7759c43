#include "tome/file_util.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "test_files.h"

namespace lv {
namespace {

// The mount point of a file system mounted read-only on this machine, or "" when there is none.
std::string ReadOnlyMountPoint() {
  std::ifstream mounts("/proc/self/mounts");
  std::string line;
  while (std::getline(mounts, line)) {
    std::istringstream fields(line);
    std::string device, mountPoint, type, options;
    fields >> device >> mountPoint >> type >> options;
    if (options == "ro" || options.starts_with("ro,")) return mountPoint;
  }
  return "";
}

TEST(IsOnReadOnlyFileSystem, TellsReadOnlyMountsFromWritableOnes) {
  test::TempDir dir;
  test::WriteFile(dir.File("book.lv"), "x");
  EXPECT_FALSE(IsOnReadOnlyFileSystem(dir.File("book.lv")));
  EXPECT_FALSE(IsOnReadOnlyFileSystem(dir.File("absent.lv")));  // cannot be told
  const std::string readOnly = ReadOnlyMountPoint();
  if (readOnly.empty()) GTEST_SKIP() << "no file system is mounted read-only here";
  EXPECT_TRUE(IsOnReadOnlyFileSystem(readOnly));
}

}  // namespace
}  // namespace lv
