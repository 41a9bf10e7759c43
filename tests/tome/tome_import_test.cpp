// ImportSource, FormatImportResults and SourceFormatFromPath: the results text, the atomic
// replacement of the tome and the errors that name the file and the cause.
#include "tome/tome_import.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "builder_test_support.h"

namespace lv {
namespace {

using builder_test::ModelEntry;
using builder_test::TempDir;

TEST(TomeImportTest, FormatFromPath) {
  EXPECT_EQ(SourceFormatFromPath("dict.tab"), SourceFormat::kTab);
  EXPECT_EQ(SourceFormatFromPath("DICT.TaB"), SourceFormat::kTab);
  EXPECT_EQ(SourceFormatFromPath("words/.tab"), SourceFormat::kTab);
  EXPECT_EQ(SourceFormatFromPath("dict.txt"), SourceFormat::kTagged);
  EXPECT_EQ(SourceFormatFromPath("dict"), SourceFormat::kTagged);
  EXPECT_EQ(SourceFormatFromPath("tab"), SourceFormat::kTagged);
}

TEST(TomeImportTest, ResultsText) {
  ImportOutcome outcome;
  outcome.entryCount = 3;
  EXPECT_EQ(FormatImportResults(outcome), "Number of subjects:   \t3\nFile sorted status:       \tYes");
  outcome.sortedFlag = 0;
  outcome.firstOutOfOrder = "A";
  outcome.longSubjectFlag = 1;
  EXPECT_EQ(FormatImportResults(outcome),
            "Number of subjects:   \t3\nFile sorted status:       \tNo\nSorted check failed at subject: A"
            "\n\nNote: The subjects in this text were very long \nand may cause problems in some versions of "
            "Librovance.");
  outcome.cutSubjectCount = 2;
  EXPECT_NE(FormatImportResults(outcome).find("\n\nNote: 2 subjects longer than 1844 bytes were shortened"),
            std::string::npos);
}

TEST(TomeImportTest, ImportsBothFormatsWithProgressRange) {
  struct RangeProgress : Progress {
    void SetRange(int64_t l, int64_t h) override { low = l, high = h; }
    void SetPosition(int64_t p) override { last = p; }
    void SetStep(int64_t) override {}
    void Step() override {}
    int64_t low = -1, high = -1, last = -1;
  };
  TempDir dir;
  builder_test::WriteFile(dir.File("d.tab"), "b\tone\r\nA\ttwo");
  RangeProgress progress;
  ImportOutcome outcome = ImportSource(dir.File("d.tab"), dir.File("d.lv"), SourceFormat::kTab, &progress);
  ASSERT_TRUE(outcome.status.IsOk()) << outcome.status.ToString();
  EXPECT_EQ(outcome.entryCount, 2);
  EXPECT_EQ(outcome.sortedFlag, 0);
  EXPECT_EQ(outcome.firstOutOfOrder, "A");
  EXPECT_EQ(progress.low, 0);
  EXPECT_EQ(progress.high, 12 + 1);
  EXPECT_EQ(progress.last, 12);
  EXPECT_EQ(builder_test::UnpackTome(builder_test::ReadFile(dir.File("d.lv"))).entries,
            (std::vector<ModelEntry>{{"b", "one"}, {"A", "two"}}));

  builder_test::WriteFile(dir.File("d.txt"), "<new>a\n<b>x</b>");
  outcome = ImportSource(dir.File("d.txt"), dir.File("d.lv"), SourceFormat::kTagged, nullptr);
  ASSERT_TRUE(outcome.status.IsOk()) << outcome.status.ToString();
  EXPECT_EQ(outcome.sortedFlag, 1);
  EXPECT_EQ(builder_test::UnpackTome(builder_test::ReadFile(dir.File("d.lv"))).entries,
            (std::vector<ModelEntry>{{"a", "\t\x01x\t\x02"}}));
}

TEST(TomeImportTest, FailuresLeaveTheExistingTomeAlone) {
  TempDir dir;
  const std::string tome = dir.File("keep.lv");
  builder_test::WriteFile(tome, "old tome bytes");
  ::mkdir(dir.File("folder.txt").c_str(), 0755);
  struct Case {
    std::string source;
    std::string tomePath;
    std::string error;
  } cases[] = {
      {dir.File("missing.txt"), tome, "cannot open '" + dir.File("missing.txt") + "': No such file or directory"},
      {dir.File("folder.txt"), tome,
       "cannot open '" + dir.File("folder.txt") + "': it is a folder, not a regular file"},
      {dir.File("pipe.txt"), tome,
       "cannot open '" + dir.File("pipe.txt") + "': it is a named pipe, not a regular file"},
      {tome, dir.File("link.lv"),
       "the tome '" + dir.File("link.lv") + "' is the source '" + tome +
           "' itself; writing it would destroy the source"},
  };
  ::mkfifo(dir.File("pipe.txt").c_str(), 0644);
  std::filesystem::create_symlink(tome, dir.File("link.lv"));
  for (const Case& c : cases) {
    const ImportOutcome outcome = ImportSource(c.source, c.tomePath, SourceFormat::kTagged, nullptr);
    EXPECT_FALSE(outcome.status.IsOk());
    EXPECT_EQ(outcome.status.Message(), c.error);
    EXPECT_EQ(builder_test::ReadFile(tome), "old tome bytes");
  }
  // Nothing but the old tome, the folder, the pipe and the link is left behind.
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
    files += entry.is_regular_file() && !entry.is_symlink();
  }
  EXPECT_EQ(files, 1);

  builder_test::WriteFile(dir.File("s.txt"), "<new>a\nb");
  const ImportOutcome outcome =
      ImportSource(dir.File("s.txt"), dir.File("no-such-folder/t.lv"), SourceFormat::kTagged, nullptr);
  EXPECT_FALSE(outcome.status.IsOk());
  EXPECT_NE(outcome.status.Message().find("no-such-folder/t.lv"), std::string::npos) << outcome.status.Message();
}

// A cancel asked while the source is read, or once the tome is being written, stops the import with
// a Cancelled status; the tome that was there stays as it was and nothing else is left behind.
TEST(TomeImportTest, CancelLeavesTheExistingTomeAlone) {
  struct CancellingProgress : Progress {
    void SetRange(int64_t, int64_t) override {}
    void SetPosition(int64_t) override { ++positions; }
    void SetStep(int64_t) override {}
    void Step() override {}
    void WritingStarted() override { writing = true; }
    bool CancelRequested() const override { return cancelAfterEntries ? positions >= 3 : writing; }
    bool cancelAfterEntries = true;
    int positions = 0;
    bool writing = false;
  };
  TempDir dir;
  std::string source;
  for (int i = 0; i < 2000; ++i) source += "<new>subject " + std::to_string(i) + "\nsome text to compress\n";
  builder_test::WriteFile(dir.File("s.txt"), source);
  const std::string tome = dir.File("keep.lv");
  for (const bool whileReading : {true, false}) {
    builder_test::WriteFile(tome, "old tome bytes");
    CancellingProgress progress;
    progress.cancelAfterEntries = whileReading;
    const ImportOutcome outcome = ImportSource(dir.File("s.txt"), tome, SourceFormat::kTagged, &progress);
    EXPECT_TRUE(outcome.status.IsCancelled()) << outcome.status.ToString();
    // The position is set once at the start and once per entry stored.
    EXPECT_EQ(progress.positions, whileReading ? 3 : 2001);
    EXPECT_EQ(builder_test::ReadFile(tome), "old tome bytes");
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) files += entry.is_regular_file();
    EXPECT_EQ(files, 2);  // the source and the old tome
  }
}

}  // namespace
}  // namespace lv
