// The temporary files of outputs: removed when a signal ends the program, kept while their writer
// lives, and links written through.
#include "tome/temp_files.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include "test_files.h"
#include "tome/file_util.h"

namespace lv {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> NamesIn(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename());
  return names;
}

// Runs a child that opens an output in folder, with ignored as its only ignored signal, and waits to
// be signalled; returns the child's pid once its temporary file exists.
pid_t StartWriter(const std::string& folder, int ignored) {
  int ready[2];
  if (::pipe(ready) != 0) return -1;
  const pid_t child = ::fork();
  if (child == 0) {
    if (ignored) std::signal(ignored, SIG_IGN);
    RemoveTempFilesOnSignals();
    AtomicFileWriter writer;
    const bool opened = writer.Open(folder + "/out.lv").IsOk();
    const char byte = opened ? '1' : '0';
    if (::write(ready[1], &byte, 1) != 1 || !opened) ::_exit(1);
    for (;;) ::pause();
  }
  char byte = 0;
  const bool started = ::read(ready[0], &byte, 1) == 1 && byte == '1';
  ::close(ready[0]);
  ::close(ready[1]);
  return started ? child : -1;
}

TEST(TempFilesTest, ASignalRemovesTheTemporaryFileAndStillEndsTheProgram) {
  const struct {
    int signal;
    int ignored;  // a signal the program ignores, sent first: it must stay ignored
  } cases[] = {{SIGINT, 0}, {SIGTERM, 0}, {SIGHUP, 0}, {SIGTERM, SIGHUP}};
  for (const auto& c : cases) {
    test::TempDir dir;
    const pid_t writer = StartWriter(dir.Path(), c.ignored);
    ASSERT_GT(writer, 0);
    ASSERT_EQ(NamesIn(dir.Path()).size(), 1u);
    EXPECT_EQ(NamesIn(dir.Path())[0].rfind(".out.lv.tmp-" + std::to_string(writer) + "-", 0), 0u);
    if (c.ignored) ::kill(writer, c.ignored);
    ::kill(writer, c.signal);
    int status = 0;
    ASSERT_EQ(::waitpid(writer, &status, 0), writer);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == c.signal) << c.signal;
    EXPECT_EQ(NamesIn(dir.Path()), std::vector<std::string>()) << c.signal;
  }
}

TEST(TempFilesTest, ATemporaryFileIsKeptWhileItsWriterHoldsIt) {
  test::TempDir dir;
  const pid_t gone = ::fork();
  if (gone == 0) ::_exit(0);
  ::waitpid(gone, nullptr, 0);
  const pid_t writer = StartWriter(dir.Path(), 0);
  ASSERT_GT(writer, 0);
  // The live writer's file under the number of a gone process, as a writer on another machine
  // sharing the folder would look: its lock keeps it.
  const std::string held = ".out.lv.tmp-" + std::to_string(gone) + "-abcdef";
  fs::rename(dir.Path() / NamesIn(dir.Path())[0], dir.Path() / held);
  RemoveStaleTempFiles(dir.Path());
  EXPECT_EQ(NamesIn(dir.Path()), std::vector<std::string>{held});
  // Killed outright, the writer leaves its file behind; the next writer into the folder removes it.
  ::kill(writer, SIGKILL);
  ::waitpid(writer, nullptr, 0);
  AtomicFileWriter next;
  ASSERT_TRUE(next.Open(dir.File("other.lv")).IsOk());
  ASSERT_TRUE(next.Commit().IsOk());
  EXPECT_EQ(NamesIn(dir.Path()), std::vector<std::string>{"other.lv"});
}

TEST(TempFilesTest, ALinkedDestinationIsReplacedWhereItPoints) {
  test::TempDir dir;
  fs::create_directories(dir.Path() / "a" / "b");
  test::WriteFile(dir.Path() / "a/b/real.lv", "old");
  fs::create_symlink("b/real.lv", dir.Path() / "a/middle.lv");  // relative to the link's folder
  fs::create_symlink(dir.Path() / "a/middle.lv", dir.Path() / "top.lv");
  fs::create_symlink("nowhere.lv", dir.Path() / "dangling.lv");
  fs::create_symlink("loop.lv", dir.Path() / "loop.lv");
  const struct {
    std::string destination;
    std::string written;  // the file that must hold the new bytes
  } cases[] = {
      {dir.File("top.lv"), dir.File("a/b/real.lv")},
      {dir.File("dangling.lv"), dir.File("nowhere.lv")},
  };
  for (const auto& c : cases) {
    AtomicFileWriter writer;
    ASSERT_TRUE(writer.Open(c.destination).IsOk()) << c.destination;
    std::fputs("new", writer.Stream());
    ASSERT_TRUE(writer.Commit().IsOk()) << c.destination;
    EXPECT_TRUE(fs::is_symlink(c.destination));
    EXPECT_EQ(test::ReadFile(c.written), "new") << c.destination;
  }
  EXPECT_TRUE(fs::is_symlink(dir.Path() / "a/middle.lv"));
  AtomicFileWriter looping;
  const Status refused = looping.Open(dir.File("loop.lv"));
  EXPECT_EQ(refused.Code(), StatusCode::kIoError);
  EXPECT_NE(refused.Message().find("Too many levels of symbolic links"), std::string::npos) << refused.Message();
}

TEST(TempFilesTest, SameFileIsJudgedByDeviceAndInode) {
  test::TempDir dir;
  test::WriteFile(dir.Path() / "a.lv", "a");
  test::WriteFile(dir.Path() / "b.lv", "a");
  fs::create_symlink("a.lv", dir.Path() / "link.lv");
  fs::create_hard_link(dir.Path() / "a.lv", dir.Path() / "hard.lv");
  fs::create_directory(dir.Path() / "sub");
  EXPECT_TRUE(IsSameFile(dir.File("a.lv"), dir.File("link.lv")));
  EXPECT_TRUE(IsSameFile(dir.File("a.lv"), dir.File("hard.lv")));
  EXPECT_TRUE(IsSameFile(dir.File("a.lv"), dir.File("sub/../a.lv")));
  EXPECT_FALSE(IsSameFile(dir.File("a.lv"), dir.File("b.lv")));
  EXPECT_FALSE(IsSameFile(dir.File("a.lv"), dir.File("missing.lv")));
}

}  // namespace
}  // namespace lv
