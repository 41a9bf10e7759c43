// Crafted and damaged tomes that try to make the readers do far more work than the file is worth, or
// pass a damaged tome for a whole one: block tables that reuse compressed bytes, records that never
// end, version-1 tomes cut short before an upgrade, and sources whose 0x00 bytes are left out.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "builder_test_support.h"
#include "tome/tome_builder.h"
#include "tome/tome_bytes.h"
#include "tome/tome_import.h"
#include "tome/tome_reader.h"

namespace lv {
namespace {

using test::AssembleTome;
using test::Opened;
using test::OpenedAs;
using test::TestEntry;
using test::TomeShape;

class HostileTomeTest : public ::testing::Test {
 protected:
  std::string Write(const std::string& bytes, const std::string& name = "t.lv") {
    const std::string path = m_dir.File(name);
    test::WriteFileBytes(path, bytes);
    return path;
  }
  builder_test::TempDir m_dir;
};

// The block table entry b of the section that starts at sectionOffset.
size_t BlockEntry(int64_t sectionOffset, int b) { return size_t(sectionOffset) + 12 + 8 * size_t(b); }

int32_t FieldAt(const std::string& bytes, size_t offset) {
  return DecodeLE32Signed(reinterpret_cast<const uint8_t*>(bytes.data()) + offset);
}

// Every block of a tome is checked against the one before it: a table whose blocks share compressed
// bytes (which would let a small file decode to any size) or run backwards is refused.
TEST_F(HostileTomeTest, BlockTablesMustRunForwardsWithoutOverlap) {
  std::vector<TestEntry> entries;
  for (int i = 0; i < 40; ++i) entries.push_back({"subject " + std::to_string(100 + i), std::string(300, 'x')});
  TomeShape shape;
  shape.mainBlockSize = 500;
  shape.extensionBlockSize = 700;
  const auto good = AssembleTome(entries, shape);
  const int64_t main = good.mainSectionOffset;
  const int64_t extension = good.extensionSectionOffset;
  using Edit = std::function<void(std::string&)>;
  // Block b of the section at section takes the place (offset and length) of block from.
  auto pointAt = [](int64_t section, int b, int from) -> Edit {
    return [=](std::string& bytes) {
      bytes.replace(BlockEntry(section, b), 8, bytes.substr(BlockEntry(section, from), 8));
    };
  };
  auto swap = [](int64_t section, int a, int b) -> Edit {
    return [=](std::string& bytes) {
      const std::string first = bytes.substr(BlockEntry(section, a), 8);
      bytes.replace(BlockEntry(section, a), 8, bytes.substr(BlockEntry(section, b), 8));
      bytes.replace(BlockEntry(section, b), 8, first);
    };
  };
  const struct {
    const char* name;
    Edit edit;
    Opened expected;
  } cases[] = {
      {"as written", [](std::string&) {}, Opened::kOk},
      {"every main block is block 0",
       [&](std::string& bytes) {
         for (int b = 1; b < FieldAt(bytes, size_t(main) + 4); ++b) pointAt(main, b, 0)(bytes);
       },
       Opened::kFailed},
      {"main block 2 repeats block 1", pointAt(main, 2, 1), Opened::kFailed},
      {"main blocks 1 and 2 swapped", swap(main, 1, 2), Opened::kFailed},
      {"extension block 1 repeats block 0", pointAt(extension, 1, 0), Opened::kFailed},
      {"main block 1 one byte into block 0",
       [&](std::string& bytes) { test::PutLe32(bytes, BlockEntry(main, 1), FieldAt(bytes, BlockEntry(main, 1)) - 1); },
       Opened::kFailed},
      {"a byte of gap before main block 1",
       [&](std::string& bytes) {
         const int32_t blocks = FieldAt(bytes, size_t(main) + 4);
         const size_t data = BlockEntry(main, blocks);
         bytes.insert(data + size_t(FieldAt(bytes, BlockEntry(main, 1))), 1, '?');
         for (int b = 1; b < blocks; ++b)
           test::PutLe32(bytes, BlockEntry(main, b), FieldAt(bytes, BlockEntry(main, b)) + 1);
         test::PutLe32(bytes, size_t(main), FieldAt(bytes, size_t(main)) + 1);
       },
       Opened::kOk},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::string bytes = good.bytes;
    c.edit(bytes);
    TomeReader reader;
    EXPECT_EQ(OpenedAs(reader.Open(Write(bytes), OpenMode::kReadOnly)), c.expected);
    if (c.expected == Opened::kOk) {
      EXPECT_EQ(reader.Subject(39), "subject 139");
      ASSERT_TRUE(reader.LoadEntryText(39));
      EXPECT_EQ(reader.CurrentEntryText(), std::string(300, 'x'));
    }
  }
}

// The positions must ascend as the builder writes them: a table that sends subjects back to one
// place, or back and forth between blocks, would make each subject cost a block of its own.
TEST_F(HostileTomeTest, SubjectPositionsMustAscend) {
  std::vector<TestEntry> entries;
  for (int i = 0; i < 120; ++i) entries.push_back({"subject " + std::to_string(100 + i), std::string(200, 'x')});
  const auto good = AssembleTome(entries);
  const size_t table = size_t(good.subjectTableOffset);
  const struct {
    const char* name;
    size_t entry;
    int32_t position;
    Opened expected;
  } cases[] = {
      {"as written", 0, 0, Opened::kOk},
      {"first position negative", 0, -1, Opened::kFailed},
      {"a position equal to the one before", 60, good.recordPositions[59], Opened::kFailed},
      {"a position back in the stream", 119, 5, Opened::kFailed},
      {"the last position beyond the stream", 119, 0x7FFFFFFF, Opened::kOk},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::string bytes = good.bytes;
    test::PutLe32(bytes, table + 4 * c.entry, c.position);
    TomeReader reader;
    EXPECT_EQ(OpenedAs(reader.Open(Write(bytes), OpenMode::kReadOnly)), c.expected);
    if (c.expected == Opened::kOk) {
      EXPECT_EQ(reader.Subject(118), "subject 218");
    }
  }
}

// A main stream holding no 0x00 at all: every subject would run on to the end of the stream. Each
// comes back cut where the next record begins or, at the latest, 2001 bytes into the next block, and
// never longer than a record in 25000-byte blocks can be.
TEST_F(HostileTomeTest, RecordsWithoutTerminatorsAreCut) {
  const std::string stream(60000, 'z');
  const struct {
    int32_t blockSize;
    std::vector<int32_t> positions;
    std::vector<size_t> subjectLengths;  // each record less its flags byte
  } cases[] = {
      {25000, {0}, {25000 + 2001 - 1}},
      {25000, {24990}, {10 + 2001 - 1}},
      {25000, {59990}, {10 - 1}},
      {25000, {0, 100, 24990, 25100}, {100 - 1, 24890 - 1, 110 - 1, 24900 + 2001 - 1}},
      {8, {3, 3000}, {5 + 2001 - 1, 8 + 2001 - 1}},
      {1, {0, 1, 3000}, {0, 1 + 2001 - 1, 1 + 2001 - 1}},
      {40000, {0}, {25000 + 2001 - 1}},
      {40000, {39000}, {1000 + 2001 - 1}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.blockSize << " at " << c.positions[0]);
    std::string bytes;
    for (uint32_t word : kTomeIdentity) AppendLE32(bytes, word);
    bytes += test::Le32(kWrittenVersion) + test::Le32(0) + test::Le32(int32_t(c.positions.size())) + test::Le32(0) +
             test::Le32(0);
    for (int32_t position : c.positions) bytes += test::Le32(position);
    bytes += test::AssembleSection(stream, c.blockSize) + test::AssembleSection("", 8);
    TomeReader reader;
    ASSERT_EQ(OpenedAs(reader.Open(Write(bytes), OpenMode::kReadOnly)), Opened::kOk);
    for (int i = 0; i < int(c.positions.size()); ++i) {
      EXPECT_EQ(reader.Subject(i), std::string(c.subjectLengths[size_t(i)], 'z')) << i;
      EXPECT_EQ(reader.Preview(i, false), "");
      ASSERT_TRUE(reader.LoadEntryText(i));
      EXPECT_EQ(reader.CurrentEntryText(), "");
    }
  }
}

// A record whose subject is longer than the builder writes but that ends within the window is read
// whole; one that runs on past the window is cut there, whatever follows.
TEST_F(HostileTomeTest, LongSubjectsAreReadUpToTheWindow) {
  std::vector<TestEntry> entries = {{std::string(24980, 'a'), ""},
                                    {std::string(1960, 'w'), "fits"},  // 17 bytes before block 1 to 1950 into it
                                    {std::string(23040, 'm'), ""},
                                    {std::string(5000, 'c'), "cut"},  // 7 bytes before block 2 to 5000 into it
                                    {"after", "tail"}};
  const auto tome = AssembleTome(entries);
  ASSERT_EQ(tome.recordPositions[1], 25000 - 17);
  ASSERT_EQ(tome.recordPositions[3], 50000 - 7);
  TomeReader reader;
  ASSERT_EQ(OpenedAs(reader.Open(Write(tome.bytes), OpenMode::kReadOnly)), Opened::kOk);
  EXPECT_EQ(reader.Subject(0), entries[0].subject);
  EXPECT_EQ(reader.Subject(1), entries[1].subject);
  EXPECT_EQ(reader.Preview(1, false), "fits");
  EXPECT_EQ(reader.Subject(2), entries[2].subject);
  EXPECT_EQ(reader.Subject(3), std::string(7 + 2001 - 1, 'c'));
  EXPECT_EQ(reader.Preview(3, false), "");
  EXPECT_EQ(reader.Subject(4), "after");
}

// Cut anywhere, a version-1 tome is refused by the upgrade, which names the file and leaves it as it
// was; the reader shows the entries that are still whole.
TEST_F(HostileTomeTest, UpgradeRefusesVersion1TomesCutShort) {
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

TEST_F(HostileTomeTest, Version1ReaderShowsOnlyWholeEntriesOfACutTome) {
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
TEST_F(HostileTomeTest, ZeroBytesInSubjectsAreNotCountedAsLength) {
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
