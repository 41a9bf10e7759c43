// Build, then read back with TomeReader: random sources through ImportSource against a simple model
// of the parsers, a record that reaches the reader's look-ahead limit, and the version-1 upgrade.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "builder_test_support.h"
#include "tome/file_util.h"
#include "tome/tome_builder.h"
#include "tome/tome_import.h"
#include "tome/tome_reader.h"
#include "tome_bytes.h"

namespace lv {
namespace {

using test::Opened;
using test::OpenedAs;

using builder_test::ModelEntry;
using builder_test::TempDir;

// The tag spellings of the model (lower case), with their codes; the centre tags come in four spellings.
const std::vector<std::pair<std::string, int>> kModelTags = [] {
  std::vector<std::pair<std::string, int>> tags = {
      {"<b>", 1},        {"</b>", 2},   {"<i>", 3},     {"</i>", 4},   {"<u>", 5},    {"</u>", 6},
      {"<hr>", 7},       {"<br>", 8},   {"<p>", 9},     {"<li>", 10},  {"<ol>", 11},  {"</ol>", 12},
      {"<ul>", 13},      {"</ul>", 14}, {"<a:", 17},    {"<a>", 17},   {"</a>", 18},  {"<strike>", 19},
      {"</strike>", 20}, {"<sup>", 21}, {"</sup>", 22}, {"<sub>", 23}, {"</sub>", 24}};
  for (const char* ending : {"er", "re", "ee", "rr"}) {
    tags.push_back({std::string("<cent") + ending + ">", 15});
    tags.push_back({std::string("</cent") + ending + ">", 16});
  }
  return tags;
}();

std::string Lower(std::string s) {
  for (char& c : s) c = (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
  return s;
}

// What the parsers store for a source text (already without its surrounding blanks).
std::string ModelConvert(const std::string& text, bool lineBreaks) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '<') {
      bool matched = false;
      for (const auto& [form, code] : kModelTags) {
        if (Lower(text.substr(i, form.size())) == form) {
          out += '\t';
          out += char(code);
          i += form.size() - 1;
          matched = true;
          break;
        }
      }
      if (!matched) out += c;
    } else if (lineBreaks && (c == '\r' || c == '\n')) {
      out += "\t\x08";
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      out += c;
    }
  }
  return out;
}

std::string RandomCase(std::mt19937& random, std::string s) {
  for (char& c : s) {
    if (c >= 'a' && c <= 'z' && random() % 2) c = char(c - 'a' + 'A');
  }
  return s;
}

// A random entry text: words, blanks, line breaks, tags in any case, stray "<", and sometimes long
// stretches that carry entries across block boundaries.
std::string RandomText(std::mt19937& random, bool withLineBreaks) {
  static const std::vector<std::string> kStray = {"<", "< b", "<ne", "<new", "<cent>", "<a:target>", "<x>", "a<"};
  std::string text;
  const int pieces = int(random() % 40);
  for (int i = 0; i < pieces; ++i) {
    switch (random() % 8) {
      case 0: text += RandomCase(random, kModelTags[random() % kModelTags.size()].first); break;
      case 1: text += kStray[random() % kStray.size()]; break;
      case 2:
        text += withLineBreaks ? std::vector<std::string>{"\r\n", "\n", "\r", "\r\n\r\n"}[random() % 4] : "\n";
        break;
      case 3: text += std::string(1 + random() % 3, ' '); break;
      case 4:
        if (random() % 6 == 0) text += std::string(100 + random() % 6000, char('a' + random() % 26));
        break;
      default:
        for (int k = 1 + int(random() % 9); k > 0; --k)
          text += char(random() % 2 ? 'a' + random() % 26 : 33 + random() % 27);
    }
  }
  return text;
}

bool IsBlank(char c) { return c == '\r' || c == '\n' || c == ' '; }

std::string Trim(const std::string& s) {
  size_t b = 0, e = s.size();
  while (b < e && IsBlank(s[b])) ++b;
  while (e > b && IsBlank(s[e - 1])) --e;
  return s.substr(b, e - b);
}

std::string RandomSubject(std::mt19937& random, int index) {
  std::string subject = char('A' + random() % 26) + std::to_string(index);
  if (random() % 20 == 0) subject += std::string(random() % 2500, 's');  // some beyond the record limit
  if (random() % 10 == 0) subject += "<b>x ";
  return subject;
}

void ExpectTomeHolds(const std::string& path, const std::vector<ModelEntry>& expected) {
  TomeReader reader;
  ASSERT_EQ(OpenedAs(reader.Open(path, OpenMode::kReadOnly)), Opened::kOk);
  ASSERT_EQ(reader.SubjectCount(), int(expected.size()));
  for (int i = 0; i < int(expected.size()); ++i) {
    ASSERT_EQ(reader.Subject(i), expected[i].subject) << "entry " << i;
    ASSERT_TRUE(reader.LoadEntryText(i));
    ASSERT_TRUE(reader.CurrentEntryText() == expected[i].text) << "entry " << i;
    ASSERT_EQ(reader.Preview(i, false), expected[i].text.substr(0, 150)) << "entry " << i;
  }
}

std::string Cut(const std::string& subject) { return subject.substr(0, TomeBuilder::kMaxStoredSubjectLength); }

TEST(TomeRoundTripTest, RandomTaggedSources) {
  std::mt19937 random(2024);
  for (int round = 0; round < 4; ++round) {
    TempDir dir;
    std::string source = "preamble <b> text\r\n";
    std::vector<ModelEntry> expected;
    const int count = 50 + int(random() % 250);
    for (int i = 0; i < count; ++i) {
      const std::string subject = RandomSubject(random, i);
      const std::string text = RandomText(random, true);
      source += RandomCase(random, "<new>") + (random() % 2 ? "\r\n" : " ") + subject + "\r\n" + text + "\r\n";
      expected.push_back({Cut(subject), ModelConvert(Trim(text), true)});
    }
    if (expected.back().text.empty()) expected.pop_back();  // a subject line at the very end is not stored
    builder_test::WriteFile(dir.File("s.txt"), source);
    const ImportOutcome outcome = ImportSource(dir.File("s.txt"), dir.File("s.lv"), SourceFormat::kTagged, nullptr);
    ASSERT_TRUE(outcome.status.IsOk()) << outcome.status.ToString();
    ExpectTomeHolds(dir.File("s.lv"), expected);
  }
}

TEST(TomeRoundTripTest, RandomTabSources) {
  std::mt19937 random(77);
  for (int round = 0; round < 4; ++round) {
    TempDir dir;
    std::string source;
    std::vector<ModelEntry> expected;
    const int count = 50 + int(random() % 250);
    for (int i = 0; i < count; ++i) {
      const std::string subject = RandomSubject(random, i);
      const std::string text = "t" + RandomText(random, false);
      source += subject + "\t" + text + (i + 1 < count || random() % 2 ? "\r\n" : "");
      expected.push_back({Cut(subject), ModelConvert(text, false)});
    }
    builder_test::WriteFile(dir.File("s.tab"), source);
    const ImportOutcome outcome = ImportSource(dir.File("s.tab"), dir.File("s.lv"), SourceFormat::kTab, nullptr);
    ASSERT_TRUE(outcome.status.IsOk()) << outcome.status.ToString();
    ExpectTomeHolds(dir.File("s.lv"), expected);
  }
}

TEST(TomeRoundTripTest, LongestRecordFromTheLastByteOfABlock) {
  // 124 records of 200 bytes and one of 199 end at stream position 24999, the last byte of block 0;
  // the next record is the longest allowed (2001 bytes) and runs 2000 bytes into block 1.
  std::vector<ModelEntry> expected;
  for (int i = 0; i < 125; ++i) {
    std::string subject =
        std::string(i == 124 ? 43 : 44, 'p') + char('0' + i / 100) + char('0' + i / 10 % 10) + char('0' + i % 10);
    expected.push_back({subject, std::string(150, char('a' + i % 26))});
  }
  expected.push_back({std::string(3000, 'L'), std::string(400, 'T')});
  expected.push_back({"after", "end"});
  TomeBuilder builder;
  for (const ModelEntry& e : expected) builder.AddEntry(e.subject, e.text);
  expected[125].subject = Cut(expected[125].subject);
  EXPECT_EQ(builder.CutSubjectCount(), 1);
  TempDir dir;
  File out = OpenFile(dir.File("t.lv"), "wb");
  ASSERT_TRUE(builder.SaveTome(out.get()).IsOk());
  out.reset();
  const builder_test::ModelTome model = builder_test::UnpackTome(builder_test::ReadFile(dir.File("t.lv")));
  EXPECT_EQ(model.offsets[125], 24999u);
  EXPECT_EQ(model.offsets[126], 24999u + 2001u);
  ExpectTomeHolds(dir.File("t.lv"), expected);
}

TEST(TomeRoundTripTest, Version1UpgradeKeepsEveryEntryAndTheBookmarks) {
  const std::vector<test::TestEntry> entries = {
      {"alpha", "first\t\x08line"}, {"beta", ""}, {"gamma", std::string(400, 'g') + "\t\x08" + "end"}, {"delta", "d"}};
  for (int32_t versionWord : {1501, 1502, 2}) {
    TempDir dir;
    std::string bytes =
        test::AssembleVersion1Tome(std::vector<test::TestEntry>(entries.begin(), entries.end()), versionWord);
    const bool hasBookmarks = versionWord >= 1500;
    if (hasBookmarks)
      bytes.replace(bytes.size() - kBookmarkTableSize + 3 * kBookmarkRecordSize, kBookmarkRecordSize,
                    test::BookmarkRecordBytes(5, 2, 0, "gamma"));
    const std::string path = dir.File("old.lv");
    builder_test::WriteFile(path, bytes);

    const UpgradeOutcome outcome = UpgradeVersion1Tome(path);
    ASSERT_TRUE(outcome.status.IsOk()) << outcome.status.ToString();
    EXPECT_EQ(outcome.entryCount, 4);
    std::vector<ModelEntry> expected;
    for (const auto& e : entries) expected.push_back({e.subject, e.text});
    ExpectTomeHolds(path, expected);
    TomeReader reader;
    ASSERT_EQ(OpenedAs(reader.Open(path, OpenMode::kReadOnly)), Opened::kOk);
    EXPECT_TRUE(reader.IsCurrentLayout());
    EXPECT_EQ(reader.Version(), kWrittenVersion);
    EXPECT_EQ(reader.SortedFlag(), 0);  // delta follows gamma
    const BookmarkRecord mark = reader.Bookmark(3);
    EXPECT_EQ(mark.nameLength, hasBookmarks ? 5 : 0) << versionWord;
    if (hasBookmarks) {
      EXPECT_EQ(mark.subjectNumber, 2);
      EXPECT_EQ(mark.name, "gamma");
    }
    // A tome in the current layout is refused, and left as it is.
    const std::string upgraded = builder_test::ReadFile(path);
    const UpgradeOutcome again = UpgradeVersion1Tome(path);
    EXPECT_FALSE(again.status.IsOk());
    EXPECT_NE(again.status.Message().find("not a version-1 tome"), std::string::npos) << again.status.Message();
    EXPECT_EQ(builder_test::ReadFile(path), upgraded);
  }
  const UpgradeOutcome missing = UpgradeVersion1Tome("no-such-dir/none.lv");
  EXPECT_FALSE(missing.status.IsOk());
  EXPECT_NE(missing.status.Message().find("no-such-dir/none.lv"), std::string::npos);
}

}  // namespace
}  // namespace lv
