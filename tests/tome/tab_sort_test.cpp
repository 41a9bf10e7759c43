// SortTabFile and CompareLines.
#include <gtest/gtest.h>

#include <filesystem>
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
      {"b\tx\r\nA\ty\r\nc\tz\r\n", "A\ty\r\nb\tx\r\nc\tz"},
      {"b\tx\r\n\r\n\r\nA\ty", "A\ty\r\nb\tx"},  // empty lines dropped, last line without CR LF
      {"ab\tlong\r\nab c\tx\r\nab\tl\r\n", "ab\tl\r\nab\tlong\r\nab c\tx"},  // TAB before any printable
      {"z\xff\tx\r\nz\ty", "z\ty\r\nz\xff\tx"},                              // 0xFF is data
      {"", ""},
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
      {"b\tx\nA\ty\n\n\nc\tz\n", "A\ty\nb\tx\nc\tz"},
      {"b\tx\rA\ty\r\r\rc\tz\r", "A\ty\rb\tx\rc\tz"},            // first byte of each line kept
      {"ab\tlong\nab c\tx\nab\tl", "ab\tl\nab\tlong\nab c\tx"},  // same order as with CR LF
      {"b\tq\nr\ra\tx", "a\tx\rb\tq\nr"},                        // stray LF in CR-only text
      {"b\tq\nr\r\na\tx\r\n", "a\tx\r\nb\tq\nr"},                // stray LF before the first CR LF
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

TEST(TabSortTest, ExistingBackupIsKeptAndMissingFileChangesNothing) {
  TempDir dir;
  const std::string path = dir.File("d.tab");
  builder_test::WriteFile(path, "b\tx\r\na\ty");
  builder_test::WriteFile(path + ".bak", "older backup");
  EXPECT_TRUE(SortTabFile(path).IsOk());
  EXPECT_EQ(builder_test::ReadFile(path), "a\ty\r\nb\tx");
  EXPECT_EQ(builder_test::ReadFile(path + ".bak"), "older backup");

  EXPECT_EQ(SortTabFile(dir.File("missing.tab")).Code(), StatusCode::kIoError);
  EXPECT_FALSE(std::filesystem::exists(dir.File("missing.tab")));
  EXPECT_FALSE(std::filesystem::exists(dir.File("missing.tab.bak")));
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
