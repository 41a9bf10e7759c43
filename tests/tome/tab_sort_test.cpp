// SortTabFile and CompareLines.
#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <string>

#include "builder_test_support.h"
#include "tome/file_util.h"
#include "tome/tome_builder.h"

namespace lv {
namespace {

using builder_test::TempDir;

TEST(TabSortTest, SortsLinesAndKeepsTheUnsortedFile) {
  struct Case {
    std::string input;
    std::string sorted;
  } cases[] = {
      {"b\tx\r\nA\ty\r\nc\tz\r\n", "A\ty\r\nb\tx\r\nc\tz\r\n"},  // the final line end kept
      {"b\tx\r\n\r\n\r\nA\ty", "A\ty\r\nb\tx"},                  // empty lines dropped, last line without CR LF
      {"ab\tlong\r\nab c\tx\r\nab\tl\r\n", "ab\tl\r\nab\tlong\r\nab c\tx\r\n"},  // TAB before any printable
      {"z\xff\tx\r\nz\ty", "z\ty\r\nz\xff\tx"},                                  // 0xFF is data
      {"", ""},
      {"\r\n\r\n", ""},                                  // no lines, no line end
      {"b\t2\r\nB\t2\r\na\t1", "a\t1\r\nb\t2\r\nB\t2"},  // equal keys keep their order
  };
  for (const Case& c : cases) {
    TempDir dir;
    const std::string path = dir.File("d.tab");
    builder_test::WriteFile(path, c.input);
    EXPECT_TRUE(SortTabFile(path).IsOk());
    EXPECT_EQ(builder_test::ReadFile(path), c.sorted) << c.input;
    EXPECT_EQ(builder_test::ReadFile(path + ".bak"), c.input);
  }
}

TEST(TabSortTest, UnixAndCrOnlyFilesKeepTheirOwnLineEnds) {
  struct Case {
    std::string input;
    std::string sorted;
  } cases[] = {
      {"b\tx\nA\ty\n\n\nc\tz\n", "A\ty\nb\tx\nc\tz\n"},
      {"b\tx\rA\ty\r\r\rc\tz\r", "A\ty\rb\tx\rc\tz\r"},          // first byte of each line kept
      {"ab\tlong\nab c\tx\nab\tl", "ab\tl\nab\tlong\nab c\tx"},  // same order as with CR LF
      {"b\tq\nr\ra\tx", "a\tx\rb\tq\nr"},                        // stray LF in CR-only text
      {"b\tq\nr\r\na\tx\r\n", "a\tx\r\nb\tq\nr\r\n"},            // stray LF before the first CR LF
  };
  for (const Case& c : cases) {
    TempDir dir;
    const std::string path = dir.File("d.tab");
    builder_test::WriteFile(path, c.input);
    EXPECT_TRUE(SortTabFile(path).IsOk());
    EXPECT_EQ(builder_test::ReadFile(path), c.sorted) << ::testing::PrintToString(c.input);
    EXPECT_EQ(builder_test::ReadFile(path + ".bak"), c.input);
  }
}

TEST(TabSortTest, SortedFileImportsInOrderWithEveryLineEnd) {
  for (const std::string lineEnd : {"\r\n", "\n", "\r"}) {
    TempDir dir;
    const std::string path = dir.File("d.tab");
    builder_test::WriteFile(path, "c\tthree" + lineEnd + "A\tone" + lineEnd + lineEnd + "b\ttwo" + lineEnd);
    ASSERT_TRUE(SortTabFile(path).IsOk());
    File source = OpenFile(path, "rb");
    TomeBuilder builder;
    builder.ImportTabText(source.get(), nullptr, false);
    source.reset();
    EXPECT_EQ(builder.EntryCount(), 3) << ::testing::PrintToString(lineEnd);
    EXPECT_EQ(builder.SortedFlag(), 1) << ::testing::PrintToString(lineEnd);
    EXPECT_EQ(builder.PreviousSubject(), "c") << ::testing::PrintToString(lineEnd);
  }
}

TEST(TabSortTest, ExistingBackupIsReplacedAndMissingFileChangesNothing) {
  TempDir dir;
  const std::string path = dir.File("d.tab");
  builder_test::WriteFile(path, "b\tx\r\na\ty");
  builder_test::WriteFile(path + ".bak", "older backup");
  EXPECT_TRUE(SortTabFile(path).IsOk());
  EXPECT_EQ(builder_test::ReadFile(path), "a\ty\r\nb\tx");
  EXPECT_EQ(builder_test::ReadFile(path + ".bak"), "b\tx\r\na\ty");

  const Status missing = SortTabFile(dir.File("missing.tab"));
  EXPECT_EQ(missing.Code(), StatusCode::kIoError);
  EXPECT_NE(missing.Message().find("missing.tab': No such file or directory"), std::string::npos) << missing.Message();
  EXPECT_FALSE(std::filesystem::exists(dir.File("missing.tab")));
  EXPECT_FALSE(std::filesystem::exists(dir.File("missing.tab.bak")));
}

TEST(TabSortTest, ALinkedFileIsSortedWhereItLivesAndTheLinkKept) {
  namespace fs = std::filesystem;
  TempDir dir;
  fs::create_directory(dir.File("real"));
  const std::string real = dir.File("real/d.tab");
  builder_test::WriteFile(real, "b\tx\na\ty\n");
  const std::string link = dir.File("d.tab");
  fs::create_symlink("real/d.tab", link);
  ASSERT_TRUE(SortTabFile(link).IsOk());
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(builder_test::ReadFile(real), "a\ty\nb\tx\n");
  EXPECT_EQ(builder_test::ReadFile(link + ".bak"), "b\tx\na\ty\n");
  EXPECT_FALSE(fs::is_symlink(link + ".bak"));
  // A backup that is a link to the file itself is replaced, not written through.
  builder_test::WriteFile(real, "d\tx\nc\ty\n");
  fs::remove(link + ".bak");
  fs::create_symlink("real/d.tab", link + ".bak");
  ASSERT_TRUE(SortTabFile(link).IsOk());
  EXPECT_EQ(builder_test::ReadFile(real), "c\ty\nd\tx\n");
  EXPECT_EQ(builder_test::ReadFile(link + ".bak"), "d\tx\nc\ty\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.File("real")), fs::directory_iterator()), 1)
      << "no temporary file is left beside the sorted file";
}

// A cancel at any of the sort's checks stops it with the file as it was, no backup and nothing else
// left beside it; with no cancel the same file sorts.
TEST(TabSortTest, CancelAtAnyStepLeavesTheFileAlone) {
  std::string input;
  for (int i = 10000; i > 0; --i) input += "subject " + std::to_string(i) + "\ttext\r\n";
  TempDir dir;
  const std::string path = dir.File("d.tab");
  builder_test::WriteFile(path, input);
  int checks = 0;
  ASSERT_TRUE(SortTabFile(path, [&checks] { return ++checks < 0; }).IsOk());
  ASSERT_GT(checks, 3);
  for (int cancelAt = 1; cancelAt <= checks; ++cancelAt) {
    builder_test::WriteFile(path, input);
    std::filesystem::remove(path + ".bak");
    int asked = 0;
    const Status status = SortTabFile(path, [&asked, cancelAt] { return ++asked == cancelAt; });
    EXPECT_TRUE(status.IsCancelled()) << cancelAt << ": " << status.ToString();
    EXPECT_EQ(builder_test::ReadFile(path), input) << cancelAt;
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) files += entry.is_regular_file();
    EXPECT_EQ(files, 1) << cancelAt;
  }
}

TEST(TabSortTest, CompareLinesIsTheCollation) {
  EXPECT_EQ(CompareLines("abc", "ABC"), 0);
  EXPECT_LT(CompareLines("ab", "abc"), 0);
  EXPECT_LT(CompareLines("a\tz", "a z"), 0);
  EXPECT_GT(CompareLines("b", "A"), 0);
  EXPECT_GT(CompareLines("\xe9", "z"), 0);
}

}  // namespace
}  // namespace lv
