// Crafted and damaged tomes that try to make the reader do far more work than the file is worth:
// block tables that reuse compressed bytes, subject tables that send subjects back and forth, records
// that never end and entries that share one long extension piece. (Cut version-1 tomes and 0x00
// bytes in sources: cut_tome_test.cpp.)
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "builder_test_support.h"
#include "tome/tome_bytes.h"
#include "tome/tome_reader.h"
#include "tome_file_test.h"

namespace lv {
namespace {

using test::AssembleTome;
using test::Opened;
using test::OpenedAs;
using test::TestEntry;
using test::TomeShape;

using HostileTomeTest = test::TomeFileTest;

// The block table entry b of the section that starts at sectionOffset.
size_t BlockEntry(int64_t sectionOffset, int b) { return size_t(sectionOffset) + 12 + 8 * size_t(b); }

// A tome without chunks holding the streams as given, in blocks of blockSize bytes.
std::string BareTome(const std::vector<int32_t>& positions, const std::string& mainStream,
                     const std::string& extensionStream, int32_t blockSize) {
  std::string bytes;
  for (uint32_t word : kTomeIdentity) AppendLE32(bytes, word);
  bytes += test::Le32(kWrittenVersion) + test::Le32(0) + test::Le32(int32_t(positions.size())) + test::Le32(0) +
           test::Le32(0);
  for (int32_t position : positions) bytes += test::Le32(position);
  return bytes + test::AssembleSection(mainStream, blockSize) + test::AssembleSection(extensionStream, blockSize);
}

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
    const std::string bytes = BareTome(c.positions, stream, "", c.blockSize);
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

// Entries whose extension positions all point at one long piece: read one after the other (as an
// export or a search reads them) only the first gets the piece, so the run costs no more than the
// stream; any entry read on its own still shows the piece.
TEST_F(HostileTomeTest, EntriesInARunCannotShareAnExtensionPiece) {
  // Six pieces of 40 letters; entries 2 and 3 point at the piece of entry 1, entry 5 into the middle
  // of the piece of entry 4.
  const std::string head(150, 'h');
  const int32_t pieces[] = {0, 41, 41, 41, 4 * 41, 4 * 41 + 10};
  std::string mainStream;
  std::string extensionStream;
  std::vector<int32_t> positions;
  for (int i = 0; i < 6; ++i) {
    positions.push_back(int32_t(mainStream.size()));
    mainStream += "\xE0" + test::Le32(pieces[i]) + "e" + std::to_string(i) + '\0' + head + '\0';
    extensionStream += std::string(40, char('a' + i)) + '\0';
  }
  TomeReader reader;
  ASSERT_EQ(OpenedAs(reader.Open(Write(BareTome(positions, mainStream, extensionStream, 64)), OpenMode::kReadOnly)),
            Opened::kOk);
  auto whole = [&](char letter, size_t length) { return head + std::string(length, letter); };
  const std::string inOrder[] = {whole('a', 40), whole('b', 40), head, head, whole('e', 40), head};
  for (int pass = 0; pass < 2; ++pass) {
    for (int i = 0; i < 6; ++i) {
      ASSERT_TRUE(reader.LoadEntryText(i));
      EXPECT_EQ(reader.CurrentEntryText(), inOrder[i]) << i;
    }
  }
  for (int i : {3, 5, 2}) {
    ASSERT_TRUE(reader.LoadEntryText(i));
    EXPECT_EQ(reader.CurrentEntryText(), i == 5 ? whole('e', 30) : whole('b', 40)) << i;
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

}  // namespace
}  // namespace lv
