// UTF-8 tomes: the text-encoding chunk as written and read, the collation by Unicode case folding, the
// automatic choice of a source's encoding, and the cuts (subjects, previews) that must keep whole
// characters.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "builder_test_support.h"
#include "tome/collation.h"
#include "tome/tome_builder.h"
#include "tome/tome_bytes.h"
#include "tome/tome_import.h"
#include "tome/tome_reader.h"
#include "tome/tome_text.h"
#include "tome/unicode.h"
#include "tome_file_test.h"

namespace lv {
namespace {

using builder_test::ModelEntry;
using test::Opened;
using test::OpenedAs;

// Builds a tome of the entries (stored text) in the encoding and returns its bytes.
std::string BuildTome(const std::vector<ModelEntry>& entries, TextEncoding encoding) {
  TomeBuilder builder;
  builder.SetEncoding(encoding);
  for (const ModelEntry& entry : entries) builder.AddEntry(entry.subject, entry.text);
  const test::TempDir dir;
  const std::string path = dir.File("built.lv");
  File out(std::fopen(path.c_str(), "wb"));
  EXPECT_TRUE(builder.SaveTome(out.get()).IsOk());
  out.reset();
  return test::ReadFile(path);
}

using Utf8TomeTest = test::TomeFileTest;

TEST_F(Utf8TomeTest, TheChunkFollowsTheBookmarkChunk) {
  const std::vector<ModelEntry> entries = {{"ψυχή", "soul"}, {"東京", "Tokyo 🗼"}};
  const std::string utf8 = BuildTome(entries, TextEncoding::kUtf8);
  EXPECT_EQ(utf8.substr(kChunkCountOffset, 8), test::Le32(2) + test::Le32(4775));
  EXPECT_EQ(utf8.substr(36, 12), test::Le32(1) + test::Le32(1) + test::Le32(4743));
  EXPECT_EQ(utf8.substr(4791, 20), test::Le32(2) + test::Le32(0) + test::Le32(8) + std::string("UTF-8\0\0\0", 8));
  EXPECT_EQ(builder_test::UnpackTome(utf8).entries, entries);

  // Without the encoding the tome is byte for byte the Windows-1252 tome it always was.
  const std::string plain = BuildTome({{"a", "b"}}, TextEncoding::kWindows1252);
  EXPECT_EQ(plain.substr(kChunkCountOffset, 8), test::Le32(1) + test::Le32(4755));
  EXPECT_EQ(plain.size() + 20, BuildTome({{"a", "b"}}, TextEncoding::kUtf8).size());

  TomeReader reader;
  ASSERT_TRUE(reader.Open(Write(utf8), OpenMode::kReadOnly).IsOk());
  EXPECT_EQ(reader.Encoding(), TextEncoding::kUtf8);
  EXPECT_EQ(reader.Subject(1), "東京");
  ASSERT_TRUE(reader.Open(Write(plain, "plain.lv"), OpenMode::kReadOnly).IsOk());
  EXPECT_EQ(reader.Encoding(), TextEncoding::kWindows1252);
}

TEST_F(Utf8TomeTest, AChunkNamingAnotherEncodingIsRefused) {
  const std::vector<test::TestEntry> entries = {{"a", "b"}};
  struct Case {
    std::string data;
    Opened expected;
    const char* named;
  } cases[] = {
      {std::string("UTF-8\0\0\0", 8), Opened::kOk, ""},
      {std::string("UTF-8", 5), Opened::kOk, ""},  // the name may fill the data
      {std::string("UTF-16\0\0", 8), Opened::kUnsupported, "\"UTF-16\""},
      {std::string("utf-8\0\0\0", 8), Opened::kUnsupported, "\"utf-8\""},
      {std::string("\xFF\x01", 2), Opened::kUnsupported, "\\xFF\\x01"},
      {std::string(), Opened::kUnsupported, "(no name)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.named);
    test::TomeShape shape;
    shape.chunksAfter = {test::Chunk(kChunkTypeTextEncoding, 0, c.data)};
    TomeReader reader;
    const Status opened = reader.Open(Write(test::AssembleTome(entries, shape).bytes), OpenMode::kReadOnly);
    EXPECT_EQ(OpenedAs(opened), c.expected);
    if (c.expected == Opened::kOk) {
      EXPECT_EQ(reader.Encoding(), TextEncoding::kUtf8);
    } else {
      EXPECT_NE(opened.Message().find(c.named), std::string::npos) << opened.Message();
    }
  }
}

TEST(Utf8Collation, FoldsCaseAndOrdersByCodePoint) {
  struct Case {
    const char* a;
    const char* b;
    int sign;
  } cases[] = {
      {"apple", "APPLE", 0},    {"être", "ÊTRE", 0}, {"ΨΥΧΉ", "ψυχή", 0},
      {"ŻÓŁW", "żółw", 0},      {"ς", "Σ", 0},    // final sigma folds to sigma
      {"\u212A", "k", 0},                         // the Kelvin sign folds to k, a shorter form
      {"Straße", "STRASSE", 1},                   // simple folding keeps ß one letter
      {"zebra", "être", -1},                      // ê (U+00EA) comes after every ASCII letter
      {"a", "a\u0301", -1},                       // a prefix first, combining marks included
      {"é", "東", -1},          {"東", "😀", -1},  // four-byte characters after the rest of the BMP
      {"\uFFFD", "\xFF", -1},                     // a byte that is not UTF-8 after every character
      {"[", "a", -1},                             // as in Windows-1252 tomes for ASCII
  };
  for (const Case& c : cases) {
    const int result = Collate(c.a, c.b, TextEncoding::kUtf8);
    EXPECT_EQ((result > 0) - (result < 0), c.sign) << c.a << " vs " << c.b;
    const int reverse = Collate(c.b, c.a, TextEncoding::kUtf8);
    EXPECT_EQ((reverse > 0) - (reverse < 0), -c.sign) << c.b << " vs " << c.a;
  }
  EXPECT_TRUE(CollateBeginsWith("ΨΥΧΉ", "ψυ", TextEncoding::kUtf8));
  EXPECT_TRUE(CollateBeginsWith("\u212Aelvin", "ke", TextEncoding::kUtf8));
  EXPECT_FALSE(CollateBeginsWith("ab", "abc", TextEncoding::kUtf8));
  EXPECT_FALSE(CollateBeginsWith("é", "\xC3", TextEncoding::kUtf8));  // half a character begins nothing
  // Windows-1252 tomes keep their collation: é (0xE9) is not folded.
  EXPECT_NE(Collate("\xE9", "\xC9"), 0);
}

TEST_F(Utf8TomeTest, LookupFollowsTheTomesCollation) {
  // In code point order "ÊTRE" sorts after "Zebra"; typed in lower case it is still found.
  const std::vector<ModelEntry> entries = {{"apple", "1"}, {"Zebra", "2"}, {"ÊTRE", "3"},
                                           {"être", "4"},  {"ψυχή", "5"},  {"😀", "6"}};
  TomeReader reader;
  ASSERT_TRUE(reader.Open(Write(BuildTome(entries, TextEncoding::kUtf8)), OpenMode::kReadOnly).IsOk());
  ASSERT_EQ(reader.SortedFlag(), 1);
  struct Case {
    const char* text;
    SubjectMatch match;
    int expected;
  } cases[] = {
      {"être", SubjectMatch::kExact, 2}, {"Êt", SubjectMatch::kPrefix, 2}, {"ΨΥΧΉ", SubjectMatch::kExact, 4},
      {"ψ", SubjectMatch::kPrefix, 4},   {"σ", SubjectMatch::kPrefix, -1}, {"😀", SubjectMatch::kExact, 5},
      {"zeb", SubjectMatch::kPrefix, 1},
  };
  for (const Case& c : cases) EXPECT_EQ(reader.FindSubject(c.match, c.text), c.expected) << c.text;
  // The same subjects out of order: the builder's sorted check uses the same collation.
  TomeReader unsorted;
  ASSERT_TRUE(
      unsorted.Open(Write(BuildTome({{"être", "x"}, {"Zebra", "y"}}, TextEncoding::kUtf8), "u.lv"), OpenMode::kReadOnly)
          .IsOk());
  EXPECT_EQ(unsorted.SortedFlag(), 0);
  EXPECT_EQ(unsorted.FindSubject(SubjectMatch::kPrefix, "ZEB"), 1);
}

TEST_F(Utf8TomeTest, CutsKeepWholeCharacters) {
  // A subject beyond the longest stored length loses the character the cut would split.
  std::string longSubject = "a";
  for (int i = 0; i < 1000; ++i) longSubject += "é";
  // A text whose 150-byte head ends inside a character.
  std::string text = "a";
  for (int i = 0; i < 100; ++i) text += "é";
  TomeReader reader;
  ASSERT_TRUE(reader.Open(Write(BuildTome({{longSubject, text}}, TextEncoding::kUtf8)), OpenMode::kReadOnly).IsOk());
  EXPECT_EQ(reader.Subject(0), longSubject.substr(0, 1843));
  EXPECT_EQ(reader.Preview(0, false), text.substr(0, 150));  // the head as stored
  EXPECT_EQ(reader.Preview(0, true), text.substr(0, 149));
  ASSERT_TRUE(reader.LoadEntryText(0));
  EXPECT_EQ(reader.CurrentEntryText(), text);
}

TEST_F(Utf8TomeTest, ImportChoosesTheSourcesEncoding) {
  struct Case {
    const char* name;
    std::string source;
    SourceEncoding choice;
    TextEncoding expected;
    std::string subject;  // the first entry's, as stored
    int64_t replaced;
  } cases[] = {
      {"ASCII only", "apple\tfruit\n", SourceEncoding::kAuto, TextEncoding::kWindows1252, "apple", 0},
      {"UTF-8 with letters beyond ASCII", "café\tcoffee\n", SourceEncoding::kAuto, TextEncoding::kUtf8, "café", 0},
      {"Windows-1252 bytes", "caf\xE9\tcoffee\n", SourceEncoding::kAuto, TextEncoding::kWindows1252, "caf\xE9", 0},
      {"byte-order mark, ASCII",
       "\xEF\xBB\xBF"
       "apple\tfruit\n",
       SourceEncoding::kAuto, TextEncoding::kUtf8, "apple", 0},
      {"UTF-8 asked of Windows-1252 bytes", "caf\xE9\tcoffee\n", SourceEncoding::kUtf8, TextEncoding::kUtf8,
       "caf\uFFFD", 1},
      {"Windows-1252 asked of UTF-8", "café\tcoffee\n", SourceEncoding::kWindows1252, TextEncoding::kWindows1252,
       "café", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string source = Write(c.source, "s.tab");
    const std::string tome = m_dir.File("s.lv");
    const ImportOutcome outcome = ImportSource(source, tome, SourceFormat::kTab, nullptr, c.choice);
    ASSERT_TRUE(outcome.status.IsOk()) << outcome.status.ToString();
    EXPECT_EQ(outcome.encoding, c.expected);
    EXPECT_EQ(outcome.replacedBytes, c.replaced);
    TomeReader reader;
    ASSERT_TRUE(reader.Open(tome, OpenMode::kReadOnly).IsOk());
    EXPECT_EQ(reader.Encoding(), c.expected);
    EXPECT_EQ(reader.Subject(0), c.subject);
  }
  // A tagged source's byte-order mark goes too, and the results say the tome is UTF-8.
  const ImportOutcome tagged = ImportSource(Write("\xEF\xBB\xBF<new>東京\n<b>とうきょう</b>", "t.txt"),
                                            m_dir.File("t.lv"), SourceFormat::kTagged, nullptr);
  ASSERT_TRUE(tagged.status.IsOk());
  EXPECT_EQ(builder_test::UnpackTome(test::ReadFile(m_dir.File("t.lv"))).entries,
            (std::vector<ModelEntry>{{"東京", "\t\x01とうきょう\t\x02"}}));
  EXPECT_NE(FormatImportResults(tagged).find("Text encoding:            \tUTF-8"), std::string::npos);
}

TEST_F(Utf8TomeTest, TheFileSortUsesTheCollationOfTheTomeItBuilds) {
  const std::string path = Write(
      "\xEF\xBB\xBF"
      "être\t1\nZèbre\t2\nÊTRE\t3\nabc\t4\n",
      "s.tab");
  ASSERT_TRUE(SortTabFile(path).IsOk());
  EXPECT_EQ(test::ReadFile(path),
            "\xEF\xBB\xBF"
            "abc\t4\nZèbre\t2\nêtre\t1\nÊTRE\t3\n");
  // Windows-1252 text keeps the byte order: "\xCA" (Ê) is not folded to "\xEA".
  const std::string plain = Write("\xEAtre\t1\n\xCATRE\t2\n", "p.tab");
  ASSERT_TRUE(SortTabFile(plain).IsOk());
  EXPECT_EQ(test::ReadFile(plain), "\xCATRE\t2\n\xEAtre\t1\n");
}

TEST(TomeText, ConvertsBetweenTheTomesEncodingAndUtf8) {
  EXPECT_EQ(Utf8ToTomeText("café", TextEncoding::kWindows1252), "caf\xE9");
  EXPECT_EQ(Utf8ToTomeText("€ \u0081", TextEncoding::kWindows1252), "\x80 \x81");
  EXPECT_EQ(Utf8ToTomeText("ψυχή", TextEncoding::kWindows1252), std::nullopt);
  EXPECT_EQ(Utf8ToTomeText("?", TextEncoding::kWindows1252), "?");
  EXPECT_EQ(Utf8ToTomeText("ψυχή", TextEncoding::kUtf8), "ψυχή");
  EXPECT_EQ(TomeTextToUtf8("\x80\x81\x8D\x8F\x90\x9D\xFF", TextEncoding::kWindows1252),
            "€\u0081\u008D\u008F\u0090\u009Dÿ");
  EXPECT_EQ(TomeTextToUtf8("ok\xC3", TextEncoding::kUtf8), "ok\uFFFD");
  EXPECT_EQ(CutAtCharacter("aé", 2, TextEncoding::kUtf8), "a");
  EXPECT_EQ(CutAtCharacter("a😀b", 4, TextEncoding::kUtf8), "a");
  EXPECT_EQ(CutAtCharacter("a😀b", 5, TextEncoding::kUtf8), "a😀");
  EXPECT_EQ(CutAtCharacter("a\xE9\xE9", 2, TextEncoding::kWindows1252), "a\xE9");
}

TEST(Utf8Check, WellFormedUtf8AcrossPieces) {
  struct Case {
    std::string text;
    bool valid;
  } cases[] = {
      {"plain", true},
      {"ψ東😀", true},
      {"\xC0\xAF", false},          // overlong
      {"\xED\xA0\x80", false},      // a surrogate
      {"\xF4\x90\x80\x80", false},  // beyond U+10FFFF
      {"ok\xE6\x9D", false},        // cut at the end
      {"\x80", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsValidUtf8(c.text), c.valid) << c.text;
    // Fed one byte at a time the stream check agrees.
    Utf8StreamCheck check;
    for (char b : c.text) check.Feed(std::string_view(&b, 1));
    EXPECT_EQ(check.Valid(), c.valid) << c.text;
  }
  int64_t replaced = 0;
  EXPECT_EQ(ReplaceInvalidUtf8("a\xFF"
                               "b\xE6\x9D",
                               replaced),
            "a\uFFFDb\uFFFD\uFFFD");
  EXPECT_EQ(replaced, 3);
}

}  // namespace
}  // namespace lv
