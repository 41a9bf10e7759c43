#include "tome/tome_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "test_files.h"
#include "tome/collation.h"
#include "tome/tome_builder.h"
#include "tome/tome_bytes.h"
#include "tome_file_test.h"

namespace lv {
namespace {

using test::Opened;
using test::OpenedAs;

using test::AssembleTome;
using test::TestEntry;
using test::TomeShape;

TomeShape WithBlockSizes(int32_t mainBlockSize, int32_t extensionBlockSize) {
  TomeShape shape;
  shape.mainBlockSize = mainBlockSize;
  shape.extensionBlockSize = extensionBlockSize;
  return shape;
}

// A mix of short entries, entries of exactly 150 and 151 bytes, and long ones whose continuation
// spans several extension blocks.
std::vector<TestEntry> MixedEntries() {
  std::vector<TestEntry> entries;
  std::mt19937 random(7);
  for (int i = 0; i < 60; ++i) {
    const size_t lengths[] = {0, 5, 149, 150, 151, 400, 3000};
    std::string text;
    const size_t length = lengths[size_t(i) % std::size(lengths)] + size_t(random() % 3);
    for (size_t k = 0; k < length; ++k) text.push_back(char('a' + random() % 26));
    if (text.size() > 20) text.replace(10, 2, "\t\x01");
    entries.push_back({"subject " + std::to_string(1000 + i), text});
  }
  return entries;
}

using TomeReaderTest = test::TomeFileTest;

void ExpectReadsBack(TomeReader& reader, const std::vector<TestEntry>& entries) {
  ASSERT_EQ(reader.SubjectCount(), int(entries.size()));
  // Forwards, then backwards, so that windows and blocks are refilled in both directions.
  for (int pass = 0; pass < 2; ++pass) {
    for (int k = 0; k < int(entries.size()); ++k) {
      const int i = pass == 0 ? k : int(entries.size()) - 1 - k;
      const TestEntry& entry = entries[size_t(i)];
      EXPECT_EQ(reader.Subject(i), entry.subject) << i;
      EXPECT_EQ(reader.Preview(i, false), entry.text.substr(0, 150)) << i;
      ASSERT_TRUE(reader.LoadEntryText(i));
      EXPECT_EQ(reader.CurrentEntryText(), entry.text) << i;
      EXPECT_EQ(reader.CurrentEntryIndex(), i);
      EXPECT_EQ(reader.ExtensionPosition(i) >= 0, entry.text.size() > 150) << i;
    }
  }
}

TEST_F(TomeReaderTest, ReadsEveryEntryWithAnyBlockSize) {
  const std::vector<TestEntry> entries = MixedEntries();
  // 16-byte blocks make records span many blocks; 64 and 25000 the usual one-boundary case.
  for (int32_t blockSize : {16, 64, 1000, 25000}) {
    SCOPED_TRACE(blockSize);
    TomeShape shape;
    shape.mainBlockSize = blockSize;
    shape.extensionBlockSize = std::max(blockSize / 2, 1);
    const auto tome = AssembleTome(entries, shape);
    TomeReader reader;
    ASSERT_EQ(OpenedAs(reader.Open(Write(tome.bytes), OpenMode::kReadOnly)), Opened::kOk);
    EXPECT_TRUE(reader.IsCurrentLayout());
    ExpectReadsBack(reader, entries);
  }
}

// Random tomes with random block sizes, read in a random order against the entries they were made of.
TEST_F(TomeReaderTest, RandomTomesReadBackInRandomOrder) {
  std::mt19937 random(2026);
  auto randomText = [&](size_t maxLength) {
    std::string text(random() % (maxLength + 1), ' ');
    for (char& c : text) c = char(1 + random() % 255);
    return text;
  };
  for (int round = 0; round < 30; ++round) {
    std::vector<TestEntry> entries(random() % 80);
    for (TestEntry& entry : entries) {
      // Up to the longest subject the builder writes, which any block size reads whole.
      entry.subject = randomText(random() % 40 == 0 ? size_t(TomeBuilder::kMaxStoredSubjectLength) : 40);
      entry.text = randomText(random() % 4 == 0 ? 2000 : 200);
    }
    const int32_t sizes[] = {1, 64, 301, 2500, 25000, 25000};
    const TomeShape shape = WithBlockSizes(sizes[random() % 6], sizes[random() % 6]);
    SCOPED_TRACE(testing::Message() << "round " << round << " blocks " << shape.mainBlockSize << "/"
                                    << shape.extensionBlockSize);
    TomeReader reader;
    ASSERT_EQ(OpenedAs(reader.Open(Write(AssembleTome(entries, shape).bytes), OpenMode::kReadOnly)), Opened::kOk);
    ASSERT_EQ(reader.SubjectCount(), int(entries.size()));
    for (size_t step = 0; step < 3 * entries.size(); ++step) {
      const int i = int(random() % entries.size());
      const TestEntry& entry = entries[size_t(i)];
      switch (random() % 3) {
        case 0: ASSERT_EQ(reader.Subject(i), entry.subject) << i; break;
        case 1: ASSERT_EQ(reader.Preview(i, false), entry.text.substr(0, 150)) << i; break;
        default: ASSERT_TRUE(reader.LoadEntryText(i)); ASSERT_EQ(reader.CurrentEntryText(), entry.text) << i;
      }
    }
  }
}

TEST_F(TomeReaderTest, ExtensionPositionsAreStreamPositions) {
  const std::vector<TestEntry> entries = {
      {"a", std::string(150, 'x')}, {"b", std::string(151, 'y')}, {"c", "short"}, {"d", std::string(200, 'z')}};
  TomeReader reader;
  ASSERT_EQ(OpenedAs(reader.Open(Write(AssembleTome(entries).bytes), OpenMode::kReadOnly)), Opened::kOk);
  EXPECT_EQ(reader.ExtensionPosition(0), -1);
  EXPECT_EQ(reader.ExtensionPosition(1), 0);
  EXPECT_EQ(reader.ExtensionPosition(2), -1);
  EXPECT_EQ(reader.ExtensionPosition(3), 2);  // after the one-byte piece and its 0x00
}

TEST_F(TomeReaderTest, ReadsRecordsCrossingIntoTheNextBlock) {
  // Entry 1 starts near the end of block 0 and ends in block 1; entry 3 starts in the last byte of
  // block 1 and, as long as the builder writes records, ends 2000 bytes into block 2.
  std::vector<TestEntry> entries = {{std::string(24930, 's'), "first"},
                                    {"crossing", std::string(300, 'c')},
                                    {std::string(24893, 'm'), ""},
                                    {std::string(1844, 'L'), std::string(151, 'h')},
                                    {"after", "tail"}};
  const auto tome = AssembleTome(entries);
  ASSERT_LT(tome.recordPositions[1], 25000);
  ASSERT_GT(tome.recordPositions[2], 25000);
  ASSERT_EQ(tome.recordPositions[3], 50000 - 1);
  ASSERT_EQ(tome.recordPositions[4], 50000 + 2000);
  TomeReader reader;
  ASSERT_EQ(OpenedAs(reader.Open(Write(tome.bytes), OpenMode::kReadOnly)), Opened::kOk);
  ExpectReadsBack(reader, entries);
}

TEST_F(TomeReaderTest, LoadsAPieceSpanningThreeExtensionBlocks) {
  std::string text(150, 'h');
  for (int i = 0; i < 200; ++i) text.push_back(char('A' + i % 26));
  TomeShape shape;
  shape.extensionBlockSize = 100;
  const std::vector<TestEntry> entries = {{"one", std::string(200, 'p')}, {"two", text}};
  TomeReader reader;
  ASSERT_EQ(OpenedAs(reader.Open(Write(AssembleTome(entries, shape).bytes), OpenMode::kReadOnly)), Opened::kOk);
  EXPECT_EQ(reader.ExtensionPosition(1), 51);  // starts in block 0, ends at 251 in block 2
  ASSERT_TRUE(reader.LoadEntryText(1));
  EXPECT_EQ(reader.CurrentEntryText(), text);
}

TEST_F(TomeReaderTest, VersionsAndChunks) {
  const std::vector<TestEntry> entries = {{"alpha", "one"}, {"beta", "two"}};
  const std::string unknown = test::Chunk(7, 1, "ignored data");
  const std::string required = test::Chunk(7, 0, "ignored data");
  struct Case {
    const char* name;
    int32_t version;
    std::vector<std::string> before, after;
    Opened expected;
  } cases[] = {
      {"2001", 2001, {}, {}, Opened::kOk},
      {"2000 reads alike", 2000, {}, {}, Opened::kOk},
      {"2002 refused", 2002, {}, {}, Opened::kUnsupported},
      {"skippable chunk before", 2001, {unknown}, {}, Opened::kOk},
      {"skippable chunk after", 2001, {}, {unknown}, Opened::kOk},
      {"non-skippable chunk", 2001, {}, {required}, Opened::kUnsupported},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TomeShape shape;
    shape.version = c.version;
    shape.chunksBefore = c.before;
    shape.chunksAfter = c.after;
    shape.bookmarkTable = test::BookmarkRecordBytes(0, 0, 0, "") + test::BookmarkRecordBytes(4, 1, 0, "beta") +
                          std::string(49 * kBookmarkRecordSize, '\0');
    TomeReader reader;
    EXPECT_EQ(OpenedAs(reader.Open(Write(AssembleTome(entries, shape).bytes), OpenMode::kReadWrite)), c.expected);
    EXPECT_EQ(reader.IsOpen(), c.expected == Opened::kOk);
    if (c.expected != Opened::kOk) continue;
    EXPECT_EQ(reader.Version(), c.version);
    EXPECT_EQ(reader.Subject(1), "beta");
    EXPECT_EQ(reader.Bookmark(1).name, "beta");
    EXPECT_EQ(reader.Bookmark(1).subjectNumber, 1);
  }
}

TEST_F(TomeReaderTest, MissingOrUnreadableFilesFail) {
  TomeReader reader;
  EXPECT_EQ(OpenedAs(reader.Open(m_dir.File("absent.lv"), OpenMode::kReadOnly)), Opened::kFailed);
  EXPECT_EQ(OpenedAs(reader.Open(m_dir.File(""), OpenMode::kReadOnly)), Opened::kFailed);  // the directory itself
  EXPECT_EQ(OpenedAs(reader.Open(Write(""), OpenMode::kReadOnly)), Opened::kFailed);
  EXPECT_FALSE(reader.IsOpen());
}

// A refused open says why in words the user can act on.
TEST_F(TomeReaderTest, FailedOpensSayWhy) {
  const auto good = AssembleTome(MixedEntries(), WithBlockSizes(1000, 500));
  std::string truncated = good.bytes.substr(0, size_t(good.extensionSectionOffset) + 6);
  std::string newer = good.bytes;
  test::PutLe32(newer, kVersionOffset, 2005);
  std::string badChunk = good.bytes;
  test::PutLe32(badChunk, 44, -12);
  std::string text(2000, 'x');
  text.replace(0, 30, "Notes on bookbinding, page one");
  struct Case {
    const char* name;
    std::string path;
    std::string message;
  };
  const Case cases[] = {
      {"missing", m_dir.File("absent.lv"), "cannot open '" + m_dir.File("absent.lv") + "': No such file or directory"},
      {"folder", m_dir.File(""), "cannot open '" + m_dir.File("") + "': it is a folder, not a regular file"},
      {"empty", Write("", "empty.lv"), "the file is empty"},
      {"short", Write("not a tome at all", "short.lv"), "it is not a tome"},
      {"text", Write(text, "text.lv"), "it is not a tome"},
      {"damaged section", Write(truncated, "cut.lv"),
       "the tome is damaged at byte " + std::to_string(good.extensionSectionOffset)},
      {"damaged chunk", Write(badChunk, "chunk.lv"), "the tome is damaged at byte 36"},
      {"newer version", Write(newer, "newer.lv"),
       "unsupported version: the tome is of version 2005, newer than this program reads"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TomeReader reader;
    EXPECT_EQ(reader.Open(c.path, OpenMode::kReadOnly).Message(), c.message);
  }
}

// Each case damages one field of a good tome; the reader must refuse it without crashing or
// allocating what the field claims.
TEST_F(TomeReaderTest, RefusesImpossibleHeaders) {
  const auto good = AssembleTome(MixedEntries(), WithBlockSizes(1000, 500));
  const size_t main = size_t(good.mainSectionOffset);
  const size_t extension = size_t(good.extensionSectionOffset);
  struct Case {
    const char* name;
    size_t offset;  // field to overwrite, or the new file length when value is kTruncate
    int32_t value;
    Opened expected;
  };
  constexpr int32_t kTruncate = INT32_MIN;
  const Case cases[] = {
      {"shorter than the version", 18, kTruncate, Opened::kFailed},
      {"shorter than the header", 30, kTruncate, Opened::kFailed},
      {"negative subject count", 24, -1, Opened::kFailed},
      {"subject table beyond the file", 24, 0x7FFFFFFF, Opened::kFailed},
      {"negative chunk count", 28, -5, Opened::kFailed},
      {"more chunks than the area holds", 28, 0x7FFFFFFF, Opened::kFailed},
      {"negative chunk area", 32, -1, Opened::kFailed},
      {"chunk area beyond the file", 32, 0x7FFFFFF0, Opened::kFailed},
      {"chunk longer than the area", 44, 4744, Opened::kFailed},
      {"negative chunk length", 44, -12, Opened::kFailed},
      {"negative section length", main, -1, Opened::kFailed},
      {"section beyond the file", main, 0x7FFFFFFF, Opened::kFailed},
      {"negative block count", main + 4, -1, Opened::kFailed},
      {"block table beyond the section", main + 4, 0x10000000, Opened::kFailed},
      {"zero block size", main + 8, 0, Opened::kFailed},
      {"negative block size", main + 8, -25000, Opened::kFailed},
      {"absurd block size", main + 8, 0x40000000, Opened::kFailed},
      {"block offset beyond the section", main + 12, 0x7FFFFFFF, Opened::kFailed},
      {"block length beyond the section", main + 16, 0x7FFFFFFF, Opened::kFailed},
      {"extension block size absurd", extension + 8, 0x7FFFFFFF, Opened::kFailed},
      {"extension section missing", extension + 6, kTruncate, Opened::kFailed},
      {"version 2002", 16, 2002, Opened::kUnsupported},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string bytes = good.bytes;
    if (c.value == kTruncate) {
      bytes.resize(c.offset);
    } else {
      test::PutLe32(bytes, c.offset, c.value);
    }
    TomeReader reader;
    EXPECT_EQ(OpenedAs(reader.Open(Write(bytes), OpenMode::kReadWrite)), c.expected);
    EXPECT_FALSE(reader.IsOpen());
    EXPECT_EQ(reader.SubjectCount(), 0);
  }
}

TEST_F(TomeReaderTest, DamagedRecordsAreCutNotOverrun) {
  std::vector<TestEntry> entries = {{"one", std::string(300, 'x')}, {"two", "b"}, {"three", "c"}};
  auto tome = AssembleTome(entries);
  const size_t table = size_t(tome.subjectTableOffset);
  test::PutLe32(tome.bytes, table + 4, 0x7FFFFFF0);  // beyond the stream
  test::PutLe32(tome.bytes, table + 8, 0x7FFFFFFF);
  // The extension position of entry 0 points beyond the extension stream.
  tome.bytes.replace(size_t(tome.mainSectionOffset) + 12 + 8 + 1 + 1, 4, test::Le32(1 << 30));
  TomeReader reader;
  ASSERT_EQ(OpenedAs(reader.Open(Write(tome.bytes), OpenMode::kReadOnly)), Opened::kOk);
  EXPECT_EQ(reader.Subject(0), "one");
  ASSERT_TRUE(reader.LoadEntryText(0));
  EXPECT_EQ(reader.CurrentEntryText(), std::string(150, 'x'));
  for (int i : {1, 2}) {
    EXPECT_EQ(reader.Subject(i), "");
    EXPECT_EQ(reader.Preview(i, true), "");
    EXPECT_EQ(reader.ExtensionPosition(i), -1);
    EXPECT_TRUE(reader.LoadEntryText(i));
    EXPECT_EQ(reader.CurrentEntryText(), "");
  }
}

TEST_F(TomeReaderTest, RecordRunningOffTheStreamIsCut) {
  // The last record has lost its terminators: the subject is what the stream holds.
  std::string stream = std::string("\x60", 1) + "whole" + '\0' + "text" + '\0' + "\x60" + "cut subj";
  std::string bytes;
  for (uint32_t word : kTomeIdentity) AppendLE32(bytes, word);
  bytes += test::Le32(2001) + test::Le32(0) + test::Le32(2) + test::Le32(0) + test::Le32(0);
  bytes += test::Le32(0) + test::Le32(12) + test::AssembleSection(stream, 8) + test::AssembleSection("", 8);
  TomeReader reader;
  ASSERT_EQ(OpenedAs(reader.Open(Write(bytes), OpenMode::kReadOnly)), Opened::kOk);
  EXPECT_EQ(reader.Subject(0), "whole");
  EXPECT_EQ(reader.Preview(0, false), "text");
  EXPECT_EQ(reader.Subject(1), "cut subj");
  EXPECT_EQ(reader.Preview(1, false), "");
}

TEST_F(TomeReaderTest, PreviewStripRules) {
  const struct {
    std::string head, stripped;
  } cases[] = {
      {"\t\x01Word\t\x02 rest\t\x08second line", "Word rest"},
      {"split inside a mark\t", "split inside a mark"},
      {"\t\x11Target>shown\t\x12", "shown"},
      {"\t\x11shown\t\x12", "shown"},
      {"see \t\x11unterminated link", "see unterminated link"},
      {"plain", "plain"},
      {"\t\x08", ""},
      {"a\t\t\x05"
       "b",
       "a\x05"
       "b"},
  };
  std::vector<TestEntry> entries;
  for (const auto& c : cases) entries.push_back({"s", c.head});
  TomeReader reader;
  ASSERT_EQ(OpenedAs(reader.Open(Write(AssembleTome(entries).bytes), OpenMode::kReadOnly)), Opened::kOk);
  for (int i = 0; i < int(std::size(cases)); ++i) {
    EXPECT_EQ(reader.Preview(i, true), cases[i].stripped) << i;
    EXPECT_EQ(reader.Preview(i, false), cases[i].head) << i;
  }
}

TEST_F(TomeReaderTest, FindSubjectInASortedTome) {
  const std::vector<TestEntry> entries = {{"apple", ""}, {"Banana", ""}, {"banana", ""}, {"cherry", ""}};
  TomeReader reader;
  ASSERT_EQ(OpenedAs(reader.Open(Write(AssembleTome(entries).bytes), OpenMode::kReadOnly)), Opened::kOk);
  const struct {
    const char* text;
    int expected;
  } cases[] = {{"BANANA", 1}, {"ban", 1}, {"b", 1},      {"zebra", -1}, {"apple pie", -1},
               {"apple", 0},  {"a", 0},   {"cherry", 3}, {"", 0}};
  for (const auto& c : cases) {
    for (SubjectMatch match : {SubjectMatch::kExact, SubjectMatch::kPrefix}) {
      EXPECT_EQ(reader.FindSubject(match, c.text), c.expected) << c.text << " " << static_cast<int>(match);
    }
  }
}

TEST_F(TomeReaderTest, FindSubjectAgreesWithTheModelOnALargeSortedTome) {
  std::mt19937 random(11);
  std::vector<std::string> subjects;
  for (int i = 0; i < 700; ++i) {
    std::string s;
    for (size_t k = 0, n = 1 + random() % 6; k < n; ++k) s.push_back("abcABC"[random() % 6]);
    subjects.push_back(s);
  }
  std::stable_sort(subjects.begin(), subjects.end(),
                   [](const std::string& a, const std::string& b) { return Collate(a, b) < 0; });
  std::vector<TestEntry> entries;
  for (const std::string& s : subjects) entries.push_back({s, "t"});
  TomeReader reader;
  ASSERT_EQ(OpenedAs(reader.Open(Write(AssembleTome(entries, WithBlockSizes(64, 64)).bytes), OpenMode::kReadOnly)),
            Opened::kOk);
  for (const std::string& s : subjects) {
    int first = 0;
    while (Collate(subjects[size_t(first)], s) != 0) ++first;
    EXPECT_EQ(reader.FindSubject(SubjectMatch::kExact, s), first) << s;
  }
}

TEST_F(TomeReaderTest, FindSubjectInUnsortedAndEmptyTomes) {
  const std::vector<TestEntry> entries = {{"pear", ""}, {"Apple pie", ""}, {"apple", ""}};
  TomeShape unsorted;
  unsorted.sortedFlag = 0;
  TomeReader reader;
  ASSERT_EQ(OpenedAs(reader.Open(Write(AssembleTome(entries, unsorted).bytes), OpenMode::kReadOnly)), Opened::kOk);
  EXPECT_EQ(reader.FindSubject(SubjectMatch::kExact, "APPLE"), 2);
  EXPECT_EQ(reader.FindSubject(SubjectMatch::kPrefix, "apple"), 1);
  EXPECT_EQ(reader.FindSubject(SubjectMatch::kExact, "app"), -1);
  EXPECT_EQ(reader.FindSubject(SubjectMatch::kPrefix, "pea"), 0);
  ASSERT_EQ(OpenedAs(reader.Open(Write(AssembleTome({}).bytes, "empty.lv"), OpenMode::kReadOnly)), Opened::kOk);
  EXPECT_EQ(reader.SubjectCount(), 0);
  EXPECT_EQ(reader.FindSubject(SubjectMatch::kExact, ""), -1);
  EXPECT_EQ(reader.FindSubject(SubjectMatch::kPrefix, "a"), -1);
  reader.Close();
  EXPECT_EQ(reader.FindSubject(SubjectMatch::kPrefix, "a"), -1);
}

TEST_F(TomeReaderTest, BookmarksAreSavedOnlyWhenWritable) {
  const std::vector<TestEntry> entries = {{"alpha", "one"}, {"beta", "two"}};
  TomeShape shape;
  // Record 0 keeps its value; record 2's name bytes do not count while it is free.
  shape.bookmarkTable = test::BookmarkRecordBytes(3, 9, 4, "zer") + test::BookmarkRecordBytes(0, 0, 0, "") +
                        test::BookmarkRecordBytes(0, 1, 0, "junk") + std::string(48 * kBookmarkRecordSize, '\0');
  const std::string original = AssembleTome(entries, shape).bytes;
  const std::string path = Write(original);
  {
    TomeReader reader;
    ASSERT_EQ(OpenedAs(reader.Open(path, OpenMode::kReadOnly)), Opened::kOk);
    EXPECT_TRUE(reader.Bookmark(2).IsFree());
    EXPECT_EQ(reader.Bookmark(2).name, "");
    reader.SetBookmark(1, 4, 1, 0, "beta");
  }  // destruction of a read-only reader writes nothing
  EXPECT_EQ(test::ReadFile(path), original);

  TomeReader reader;
  ASSERT_EQ(OpenedAs(reader.Open(path, OpenMode::kReadWrite)), Opened::kOk);
  reader.SetBookmark(1, 4, 1, 0, "beta");
  reader.SetBookmark(50, 200, 0, 0, std::string(200, 'n'));  // cut to the 81-byte field
  // Opening another file saves the bookmarks and lets the tome go.
  ASSERT_EQ(OpenedAs(reader.Open(m_dir.File("absent.lv"), OpenMode::kReadOnly)), Opened::kFailed);
  ASSERT_EQ(OpenedAs(reader.Open(path, OpenMode::kReadOnly)), Opened::kOk);
  EXPECT_EQ(reader.Bookmark(0).name, "zer");
  EXPECT_EQ(reader.Bookmark(0).subjectNumber, 9);
  EXPECT_EQ(reader.Bookmark(0).reserved, 4);
  EXPECT_EQ(reader.Bookmark(1).name, "beta");
  EXPECT_EQ(reader.Bookmark(1).subjectNumber, 1);
  EXPECT_EQ(reader.Bookmark(50).nameLength, 81);
  EXPECT_EQ(reader.Bookmark(50).name, std::string(81, 'n'));
  // Only the table changed, and it lies where the builder puts it.
  const std::string saved = test::ReadFile(path);
  ASSERT_EQ(saved.size(), original.size());
  EXPECT_EQ(saved.substr(0, 48), original.substr(0, 48));
  EXPECT_EQ(saved.substr(48 + 4743), original.substr(48 + 4743));
  EXPECT_EQ(saved.substr(48 + 2 * 93 + 12, 81), std::string(81, '\0'));  // free record 2 saved clean
}

// A writable tome whose bookmarks were read but not changed (or set to what they were) is not
// written when it closes: its modification time stays. A real change is written.
TEST_F(TomeReaderTest, UnchangedBookmarksLeaveTheFileUntouched) {
  TomeShape shape;
  shape.bookmarkTable = test::BookmarkRecordBytes(0, 0, 0, "") + test::BookmarkRecordBytes(4, 1, 0, "beta") +
                        std::string(49 * kBookmarkRecordSize, '\0');
  const std::string path = Write(AssembleTome({{"alpha", "one"}, {"beta", "two"}}, shape).bytes);
  const auto longAgo = std::filesystem::file_time_type::clock::now() - std::chrono::hours(24 * 400);
  std::filesystem::last_write_time(path, longAgo);
  {
    TomeReader reader;
    ASSERT_EQ(OpenedAs(reader.Open(path, OpenMode::kReadWrite)), Opened::kOk);
    reader.SetBookmark(1, 4, 1, 0, "beta");  // the same record again
    reader.SetBookmark(2, 0, 0, 0, "");      // a free record stays free
  }
  EXPECT_EQ(std::filesystem::last_write_time(path), longAgo);

  {
    TomeReader reader;
    ASSERT_EQ(OpenedAs(reader.Open(path, OpenMode::kReadWrite)), Opened::kOk);
    reader.SetBookmark(2, 5, 0, 0, "alpha");
  }
  EXPECT_NE(std::filesystem::last_write_time(path), longAgo);
  TomeReader reader;
  ASSERT_EQ(OpenedAs(reader.Open(path, OpenMode::kReadOnly)), Opened::kOk);
  EXPECT_EQ(reader.Bookmark(2).name, "alpha");
}

TEST_F(TomeReaderTest, BookmarkNameLengthsAreClampedWhenRead) {
  TomeShape shape;
  shape.bookmarkTable = test::BookmarkRecordBytes(0, 0, 0, "") +
                        test::BookmarkRecordBytes(500, 1, 0, std::string(81, 'x')) +
                        test::BookmarkRecordBytes(-3, 1, 0, "neg") + std::string(48 * kBookmarkRecordSize, '\0');
  TomeReader reader;
  ASSERT_EQ(OpenedAs(reader.Open(Write(AssembleTome({{"a", ""}}, shape).bytes), OpenMode::kReadOnly)), Opened::kOk);
  EXPECT_EQ(reader.Bookmark(1).nameLength, 81);
  EXPECT_EQ(reader.Bookmark(1).name, std::string(81, 'x'));
  EXPECT_TRUE(reader.Bookmark(2).IsFree());
  EXPECT_TRUE(reader.Bookmark(51).IsFree());
  EXPECT_TRUE(reader.Bookmark(-1).IsFree());
}

TEST_F(TomeReaderTest, TomesWithoutABookmarkTableAreNeverWritten) {
  for (const std::string& chunk : {std::string(), test::Chunk(kChunkTypeBookmarks, 1, std::string(100, '\0'))}) {
    TomeShape shape;
    shape.bookmarkChunk = false;
    if (!chunk.empty()) shape.chunksAfter = {chunk};  // too short to hold the table
    const std::string original = AssembleTome({{"a", "b"}}, shape).bytes;
    const std::string path = Write(original);
    TomeReader reader;
    ASSERT_EQ(OpenedAs(reader.Open(path, OpenMode::kReadWrite)), Opened::kOk);
    EXPECT_TRUE(reader.Bookmark(1).IsFree());
    reader.SetBookmark(1, 1, 0, 0, "a");
    reader.Close();
    EXPECT_EQ(test::ReadFile(path), original);
  }
}

}  // namespace
}  // namespace lv
