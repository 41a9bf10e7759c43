// Damaged inputs that must not pass for whole ones: version-1 tomes cut short (the upgrade refuses
// them and leaves them as they were) and sources whose 0x00 bytes the import leaves out.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "builder_test_support.h"
#include "tome/tome_builder.h"
#include "tome/tome_bytes.h"
#include "tome/tome_import.h"
#include "tome/tome_reader.h"
#include "tome_file_test.h"

namespace lv {
namespace {

using test::Opened;
using test::OpenedAs;
using test::TestEntry;

using CutTomeTest = test::TomeFileTest;

// Cut anywhere, a version-1 tome is refused by the upgrade, which names the file and leaves it as it
// was; the reader shows the entries that are still whole.
TEST_F(CutTomeTest, UpgradeRefusesVersion1TomesCutShort) {
  const std::vector<TestEntry> entries = {
      {"alpha", "first\t\x08line"}, {"beta", ""}, {"gamma", std::string(400, 'g')}, {"delta", "d"}};
  for (int32_t versionWord : {1, 2, 1502}) {
    const std::string whole = test::AssembleVersion1Tome(entries, versionWord);
    // With the tail and table appended, one byte lost from the table moves the text data's end into
    // the last text.
    const size_t shortest = versionWord == 1502 ? whole.size() - 1 : 28;
    for (size_t length = shortest; length < whole.size(); ++length) {
      SCOPED_TRACE(testing::Message() << "version word " << versionWord << " cut to " << length);
      const std::string cut = whole.substr(0, length);
      const std::string path = Write(cut, "old.lv");
      const UpgradeOutcome outcome = UpgradeVersion1Tome(path);
      ASSERT_FALSE(outcome.status.IsOk());
      EXPECT_NE(outcome.status.Message().find(path), std::string::npos) << outcome.status.Message();
      EXPECT_EQ(builder_test::ReadFile(path), cut);
    }
  }
}

TEST_F(CutTomeTest, Version1ReaderShowsOnlyWholeEntriesOfACutTome) {
  const std::vector<TestEntry> entries = {{"alpha", "first"}, {"beta", std::string(100, 'b')}};
  const std::string whole = test::AssembleVersion1Tome(entries, 1);
  TomeReader reader;
  ASSERT_EQ(OpenedAs(reader.Open(Write(whole.substr(0, whole.size() - 1)), OpenMode::kReadOnly)), Opened::kOk);
  EXPECT_TRUE(reader.IsVersion1EntryWhole(0));
  EXPECT_FALSE(reader.IsVersion1EntryWhole(1));
  ASSERT_TRUE(reader.LoadEntryText(0));
  EXPECT_EQ(reader.CurrentEntryText(), "first");
  ASSERT_TRUE(reader.LoadEntryText(1));
  EXPECT_EQ(reader.CurrentEntryText(), "");
  EXPECT_EQ(reader.Subject(1), "beta");
  const std::string upgradeMessage = UpgradeVersion1Tome(Write(whole.substr(0, whole.size() - 1))).status.Message();
  EXPECT_NE(upgradeMessage.find("entry 1"), std::string::npos) << upgradeMessage;
}

// The 0x00 bytes that the import leaves out of a subject count neither as length nor as a cut.
TEST_F(CutTomeTest, ZeroBytesInSubjectsAreNotCountedAsLength) {
  const std::string nul(1, '\0');
  const struct {
    const char* name;
    std::string source;
    int longSubjectFlag;
    int cutSubjectCount;
  } cases[] = {
      {"a, 0x00, b", "a" + nul + "b\tc\r\n", 0, 0},
      {"100 bytes and 0x00 bytes", std::string(50, 'x') + nul + nul + std::string(50, 'y') + "\tc\r\n", 0, 0},
      {"101 bytes", std::string(101, 'x') + "\tc\r\n", 1, 0},
      {"1844 bytes and a 0x00", std::string(1844, 'x') + nul + "\tc\r\n", 1, 0},
      {"1845 bytes", std::string(1845, 'x') + "\tc\r\n", 1, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string source = m_dir.File("s.tab");
    builder_test::WriteFile(source, c.source);
    const ImportOutcome outcome = ImportSource(source, m_dir.File("s.lv"), SourceFormat::kTab, nullptr);
    ASSERT_TRUE(outcome.status.IsOk()) << outcome.status.ToString();
    EXPECT_EQ(outcome.entryCount, 1);
    EXPECT_EQ(outcome.longSubjectFlag, c.longSubjectFlag);
    EXPECT_EQ(outcome.cutSubjectCount, c.cutSubjectCount);
    EXPECT_EQ(FormatImportResults(outcome).find("Note") != std::string::npos, c.longSubjectFlag == 1)
        << FormatImportResults(outcome);
  }
  // The tagged parser and the upgrade's AddEntry count the same way.
  const std::string tagged = m_dir.File("s.txt");
  builder_test::WriteFile(tagged, "<new>a" + nul + "b\r\ntext\r\n");
  const ImportOutcome outcome = ImportSource(tagged, m_dir.File("t.lv"), SourceFormat::kTagged, nullptr);
  EXPECT_EQ(outcome.cutSubjectCount, 0);
  TomeBuilder builder;
  builder.AddEntry(std::string(1844, 's') + nul + nul, "text");
  EXPECT_EQ(builder.CutSubjectCount(), 0);
}

}  // namespace
}  // namespace lv
