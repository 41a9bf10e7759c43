#include "tome/version1_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_files.h"
#include "tome/tome_bytes.h"
#include "tome/tome_reader.h"
#include "tome/version1_text.h"

namespace lv {
namespace {

using test::Opened;
using test::OpenedAs;

using test::TestEntry;

std::string Decode(const std::string& packed, Version1TextMode mode, size_t capacity = 1000) {
  std::string out(capacity, '\0');
  out.resize(DecodeVersion1TextForReader(reinterpret_cast<const uint8_t*>(packed.data()), packed.size(), out.data(),
                                         out.size(), mode));
  return out;
}

TEST(Version1Text, DecodesEveryCharacterClass) {
  const std::string text = "The quick brown fox, (Jumps) over; Zed's 42 dogs.\t\x08Next line";
  EXPECT_EQ(Decode(test::PackVersion1Text(text), Version1TextMode::kEntryText), text);
  EXPECT_EQ(Decode(test::PackVersion1Text(text), Version1TextMode::kPreview),
            "The quick brown fox, (Jumps) over; Zed's 42 dogs.@Next line");
}

TEST(Version1Text, EndsAtTheRawZeroOrAtTheEndOfTheBytes) {
  // "e", raw 0x00, "o": the raw zero ends the text.
  EXPECT_EQ(Decode(std::string("\x1C\x00\x02", 3), Version1TextMode::kEntryText), "e");
  // A character cut off by the end of the bytes is dropped: "t" then half of a raw byte.
  EXPECT_EQ(Decode("\x4C", Version1TextMode::kEntryText), "t");
  EXPECT_EQ(Decode("\xF0", Version1TextMode::kEntryText), "Q");
  EXPECT_EQ(Decode("\x0D", Version1TextMode::kEntryText), " ");
}

TEST(Version1Text, NeverWritesPastTheCapacity) {
  const std::string packed = test::PackVersion1Text("ab\t\x08");
  EXPECT_EQ(Decode(packed, Version1TextMode::kEntryText, 3), "ab");  // the mark goes whole or not at all
  EXPECT_EQ(Decode(packed, Version1TextMode::kEntryText, 1), "a");
  EXPECT_EQ(Decode(packed, Version1TextMode::kEntryText, 0), "");
}

TEST(Version1Text, PreviewStopsAt201CharactersOr201Nibbles) {
  // One nibble per character: 201 characters.
  EXPECT_EQ(Decode(test::PackVersion1Text(std::string(300, 'e')), Version1TextMode::kPreview).size(), 201u);
  // Three nibbles per character (raw bytes): characters may start at nibbles 0, 3, ..., 198.
  EXPECT_EQ(Decode(test::PackVersion1Text(std::string(300, '#')), Version1TextMode::kPreview), std::string(67, '#'));
}

class Version1TomeTest : public ::testing::Test {
 protected:
  std::string Write(const std::string& bytes) {
    const std::string path = m_dir.File("v1.lv");
    test::WriteFileBytes(path, bytes);
    return path;
  }
  test::TempDir m_dir;
};

const std::vector<TestEntry> kEntries = {
    {"Apple", "A round fruit.\t\x08It grows on trees."},
    {"apricot", "small, orange (and sweet)"},
    {"Banana", std::string(400, 'n')},
    {"", ""},
};

TEST_F(Version1TomeTest, ReadsPlainAndPackedTomes) {
  for (int32_t base : {0, 1, 2, 3}) {
    SCOPED_TRACE(base);
    TomeReader reader;
    ASSERT_EQ(OpenedAs(reader.Open(Write(test::AssembleVersion1Tome(kEntries, base)), OpenMode::kReadOnly)),
              Opened::kOk);
    EXPECT_FALSE(reader.IsCurrentLayout());
    EXPECT_EQ(reader.SortedFlag(), 0);
    ASSERT_EQ(reader.SubjectCount(), 4);
    for (int i = 0; i < 4; ++i) {
      EXPECT_EQ(reader.Subject(i), kEntries[size_t(i)].subject);
      EXPECT_EQ(reader.ExtensionPosition(i), -1);
      ASSERT_TRUE(reader.LoadEntryText(i));
      // Base version 1 stores the text as it is; the others pack it.
      EXPECT_EQ(reader.CurrentEntryText(), kEntries[size_t(i)].text) << i;
    }
    // A packed preview ends at the line break; a plain one at "@" only.
    EXPECT_EQ(reader.Preview(0, true), base == 1 ? kEntries[0].text : "A round fruit.");
    EXPECT_EQ(reader.Preview(1, false), "small, orange (and sweet)");
    EXPECT_EQ(reader.Preview(2, true).size(), base == 1 ? 250u : 201u);
    EXPECT_EQ(reader.FindSubject(SubjectMatch::kExact, "APPLE"), 0);
    EXPECT_EQ(reader.FindSubject(SubjectMatch::kPrefix, "ap"), 0);
    EXPECT_EQ(reader.FindSubject(SubjectMatch::kExact, "ban"), -1);
    EXPECT_EQ(reader.FindSubject(SubjectMatch::kPrefix, "ban"), 2);
  }
}

TEST_F(Version1TomeTest, WritableOpenAppendsTheTailAndTableOnce) {
  const std::string original = test::AssembleVersion1Tome(kEntries, 2);
  const std::string path = Write(original);
  {
    TomeReader reader;
    ASSERT_EQ(OpenedAs(reader.Open(path, OpenMode::kReadWrite)), Opened::kOk);
    EXPECT_EQ(reader.Version(), 1502);
    EXPECT_EQ(reader.Subject(2), "Banana");
    reader.SetBookmark(1, 6, 2, 0, "Banana");
  }
  std::string grown = test::ReadFile(path);
  ASSERT_EQ(grown.size(), original.size() + 88 + 4743);
  EXPECT_EQ(grown.substr(16, 4), test::Le32(1502));
  EXPECT_EQ(grown.substr(20, original.size() - 20), original.substr(20));
  EXPECT_EQ(grown.substr(original.size(), 88), std::string(88, '\0'));
  EXPECT_EQ(grown.substr(grown.size() - 4743, 93), test::BookmarkRecordBytes(0, 0, 0, ""));
  EXPECT_EQ(grown.substr(grown.size() - 4743 + 93, 93), test::BookmarkRecordBytes(6, 2, 0, "Banana"));

  TomeReader reader;
  ASSERT_EQ(OpenedAs(reader.Open(path, OpenMode::kReadWrite)), Opened::kOk);  // appends nothing more
  EXPECT_EQ(reader.Bookmark(1).name, "Banana");
  ASSERT_TRUE(reader.LoadEntryText(0));
  EXPECT_EQ(reader.CurrentEntryText(), kEntries[0].text);
  reader.Close();
  EXPECT_EQ(test::ReadFile(path), grown);
  // Read-only: every record free, nothing written.
  ASSERT_EQ(OpenedAs(reader.Open(path, OpenMode::kReadOnly)), Opened::kOk);
  EXPECT_TRUE(reader.Bookmark(1).IsFree());
  reader.SetBookmark(2, 1, 0, 0, "x");
  reader.Close();
  EXPECT_EQ(test::ReadFile(path), grown);
}

TEST_F(Version1TomeTest, VersionWordsAndWhatTheyAppend) {
  const struct {
    int32_t word;
    Opened expected;
    int32_t wordAfter;
    size_t appended;
  } cases[] = {
      {0, Opened::kOk, 1500, 88 + 4743},  // base 0 keeps its marks on the next open too (checked below)
      {3, Opened::kOk, 1503, 88 + 4743},     {1002, Opened::kOk, 1502, 4743},       {502, Opened::kOk, 1502, 88},
      {1502, Opened::kOk, 1502, 0},          {1501, Opened::kOk, 1501, 0},          {4, Opened::kUnsupported, 4, 0},
      {1504, Opened::kUnsupported, 1504, 0}, {1999, Opened::kUnsupported, 1999, 0}, {-1, Opened::kUnsupported, -1, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.word);
    const std::string original = test::AssembleVersion1Tome(kEntries, c.word);
    const std::string path = Write(original);
    TomeReader reader;
    // Read-only never writes, and a refused tome is left as it was.
    EXPECT_EQ(OpenedAs(reader.Open(path, OpenMode::kReadOnly)), c.expected);
    reader.Close();
    EXPECT_EQ(test::ReadFile(path), original);
    EXPECT_EQ(OpenedAs(reader.Open(path, OpenMode::kReadWrite)), c.expected);
    reader.Close();
    const std::string after = test::ReadFile(path);
    EXPECT_EQ(after.size(), original.size() + c.appended);
    EXPECT_EQ(after.substr(16, 4), test::Le32(c.wordAfter));
    EXPECT_EQ(OpenedAs(reader.Open(path, OpenMode::kReadWrite)), c.expected);
    reader.Close();
    EXPECT_EQ(test::ReadFile(path), after);
  }
}

TEST_F(Version1TomeTest, RefusesImpossibleHeadersAndCutsDamagedRecords) {
  const std::string good = test::AssembleVersion1Tome(kEntries, 1502);
  const int32_t headerLength = 28 + 4 * 4 + 8 * 4 + 5 + 7 + 6;
  struct Case {
    const char* name;
    size_t offset;
    int32_t value;
    Opened expected;
  } headerCases[] = {
      {"header length below the fixed part", 24, 27, Opened::kFailed},
      {"header length beyond the file", 24, 1 << 30, Opened::kFailed},
      {"negative subject count", 20, -1, Opened::kFailed},
      {"offset table beyond the header", 20, 1 << 28, Opened::kFailed},
  };
  for (const Case& c : headerCases) {
    SCOPED_TRACE(c.name);
    std::string bytes = good;
    test::PutLe32(bytes, c.offset, c.value);
    const std::string path = Write(bytes);
    TomeReader reader;
    EXPECT_EQ(OpenedAs(reader.Open(path, OpenMode::kReadWrite)), c.expected);
    EXPECT_FALSE(reader.IsOpen());
    EXPECT_EQ(test::ReadFile(path), bytes);
  }
  {
    TomeReader reader;
    EXPECT_EQ(OpenedAs(reader.Open(Write(good.substr(0, 27)), OpenMode::kReadOnly)), Opened::kFailed);
  }

  std::string bytes = good;
  test::PutLe32(bytes, 28, headerLength);  // record 0 at the end of the header
  test::PutLe32(bytes, 32, -4);            // record 1 before the file
  const size_t record2 = 28 + 16 + 8 + 5 + 8 + 7;
  test::PutLe32(bytes, record2 + 4 + 6, 1 << 30);  // record 2's text beyond the file
  const size_t record3 = record2 + 8 + 6;
  test::PutLe32(bytes, record3, 1000);  // record 3's subject runs past the header
  TomeReader reader;
  ASSERT_EQ(OpenedAs(reader.Open(Write(bytes), OpenMode::kReadOnly)), Opened::kOk);
  for (int i = 0; i < 4; ++i) {
    EXPECT_TRUE(reader.LoadEntryText(i));
    EXPECT_EQ(reader.CurrentEntryText(), "");
    EXPECT_EQ(reader.Preview(i, true), "");
  }
  EXPECT_EQ(reader.Subject(0), "");
  EXPECT_EQ(reader.Subject(2), "Banana");
  EXPECT_EQ(reader.Subject(3), bytes.substr(record3 + 4, 4));  // cut at the end of the header
}

// A text record must lie whole before the appended tail and bookmark table: one whose length runs
// past them or past the end of the file is not whole and reads as no text at all.
TEST_F(Version1TomeTest, TextRecordsMustLieWholeInTheTextData) {
  const std::string text = "plain words";
  const size_t lengthField = 28 + 4 + 8 + 4;
  const struct {
    const char* name;
    int32_t versionWord;
    int32_t length;
    bool whole;
  } cases[] = {
      {"exact", 1501, int32_t(text.size()), true},
      {"into the reserved tail", 1501, int32_t(text.size()) + 1, false},
      {"past the file", 1501, 0x7FFFFFF0, false},
      {"exact, nothing appended", 1, int32_t(text.size()), true},
      {"one byte past the file", 1, int32_t(text.size()) + 1, false},
      {"negative", 1, -1, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::string bytes = test::AssembleVersion1Tome({{"only", text}}, c.versionWord);
    test::PutLe32(bytes, lengthField, c.length);
    TomeReader reader;
    ASSERT_EQ(OpenedAs(reader.Open(Write(bytes), OpenMode::kReadOnly)), Opened::kOk);
    EXPECT_EQ(reader.IsVersion1EntryWhole(0), c.whole);
    ASSERT_TRUE(reader.LoadEntryText(0));
    EXPECT_EQ(reader.CurrentEntryText(), c.whole ? text : "");
    EXPECT_EQ(reader.Preview(0, false), c.whole ? text : "");
    std::vector<uint8_t> stored;
    EXPECT_EQ(reader.ReadVersion1StoredText(0, stored), c.whole);
    EXPECT_EQ(reader.Subject(0), "only");
  }
}

}  // namespace
}  // namespace lv
