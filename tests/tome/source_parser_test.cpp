// Both source parsers: what each source becomes as stored entries, their statistics and progress.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "builder_test_support.h"
#include "tome/file_util.h"
#include "tome/progress.h"
#include "tome/source_reader.h"
#include "tome/tome_builder.h"

namespace lv {
namespace {

using builder_test::ModelEntry;
using builder_test::TempDir;

enum class Format { kTagged, kTab };

struct RecordingProgress : Progress {
  void SetRange(int64_t, int64_t) override {}
  void SetPosition(int64_t position) override { positions.push_back(position); }
  void SetStep(int64_t) override {}
  void Step() override { ++steps; }
  std::vector<int64_t> positions;
  int steps = 0;
};

struct Built {
  std::vector<ModelEntry> entries;
  int sortedFlag;
  std::string previousSubject;
  int longSubjectFlag;
  int cutSubjectCount;
};

Built Build(Format format, const std::string& source, Progress* progress = nullptr, bool stepFlag = false) {
  TempDir dir;
  builder_test::WriteFile(dir.File("source"), source);
  File in = OpenFile(dir.File("source"), "rb");
  File out = OpenFile(dir.File("tome"), "wb");
  TomeBuilder builder;
  EXPECT_TRUE(builder.BuildStatus().IsOk());
  if (format == Format::kTagged) {
    builder.ImportTaggedText(in.get(), progress);
  } else {
    builder.ImportTabText(in.get(), progress, stepFlag);
  }
  EXPECT_TRUE(builder.BuildStatus().IsOk()) << builder.BuildStatus().ToString();
  EXPECT_TRUE(builder.SaveTome(out.get()).IsOk());
  out.reset();
  in.reset();
  const builder_test::ModelTome tome = builder_test::UnpackTome(builder_test::ReadFile(dir.File("tome")));
  EXPECT_EQ(tome.count, builder.EntryCount());
  EXPECT_EQ(tome.sortedFlag, builder.SortedFlag());
  return {tome.entries, builder.SortedFlag(), builder.PreviousSubject(), builder.LongSubjectFlag(),
          builder.CutSubjectCount()};
}

struct ParseCase {
  const char* name;
  Format format;
  std::string source;
  std::vector<ModelEntry> expected;
};

const ParseCase kParseCases[] = {
    {"preamble dropped, empty line gives two breaks",
     Format::kTagged,
     "some preamble\r\n<NEW>\r\nSubject\r\nline one\r\n\r\nline two\r\n",
     {{"Subject", "line one\t\x08\t\x08line two"}}},
    {"tags converted in text, not in subject",
     Format::kTagged,
     "<new>S <b>x</b>\r\n<b>bold</B> end",
     {{"S <b>x</b>",
       "\t\x01"
       "bold\t\x02 end"}}},
    {"centre spellings",
     Format::kTagged,
     "<new>c\n<Centre>x</CENTRE><cent>y<CentRR>",
     {{"c", "\t\x0fx\t\x10<cent>y\t\x0f"}}},
    {"both link forms",
     Format::kTagged,
     "<new>l\n<a:Paris>the capital</a> <A>Paris</A>",
     {{"l", "\t\x11Paris>the capital\t\x12 \t\x11Paris\t\x12"}}},
    {"every tag in mixed case",
     Format::kTagged,
     "<new>all\n<B></b><I></i><U></u><HR><Br><P><LI><ol></OL><ul></UL><center></centre><a:t></a>"
     "<Strike></STRIKE><sup></SUP><Sub></sub>",
     {{"all", std::string("\t\x01\t\x02\t\x03\t\x04\t\x05\t\x06\t\x07\t\x08\t\x09\t\x0a\t\x0b\t\x0c\t\x0d\t"
                          "\x0e\t\x0f\t\x10\t\x11t>\t\x12\t\x13\t\x14\t\x15\t\x16\t\x17\t\x18")}}},
    {"unrecognised < and incomplete <new stay text",
     Format::kTagged,
     "<new>s\na < b <new no <ne\n<new>t\nz",
     {{"s", "a < b <new no <ne"}, {"t", "z"}}},
    {"empty text stored, last subject line not",
     Format::kTagged,
     "<new>a\r\n<new>b\r\ntext\r\n<new>last\r\n",
     {{"a", ""}, {"b", "text"}}},
    {"blanks around text trimmed, subject keeps its own",
     Format::kTagged,
     "<new>  s  \r\n  \r\n  hi  there  \r\n \r\n",
     {{"s  ", "hi  there"}}},
    {"lone CR, lone LF and CR LF are line breaks",
     Format::kTagged,
     "<new>s\rA\rB\nC\r\nD",
     {{"s",
       "A\t\x08"
       "B\t\x08"
       "C\t\x08"
       "D"}}},
    {"< before <new> is skipped", Format::kTagged, "<<new>s\nx", {{"s", "x"}}},
    {"0x00 bytes are never stored", Format::kTagged, std::string("<new>s\0t\nx\0y", 12), {{"st", "xy"}}},
    {"no <new> at all", Format::kTagged, "just text < and more", {}},
    {"subject at the very end", Format::kTagged, "<new>s\r\n   ", {}},
    {"tab lines", Format::kTab, "b\tone\r\nA\ttwo\r\nc\tthree", {{"b", "one"}, {"A", "two"}, {"c", "three"}}},
    {"empty text ends the import", Format::kTab, "a\tx\r\nb\t\r\nc\ty", {{"a", "x"}}},
    {"empty subject ends the import", Format::kTab, "\tx\r\nb\ty", {}},
    {"line without TAB runs into the next subject", Format::kTab, "abc\r\nd\te\r\n", {{"abc\r\nd", "e"}}},
    {"empty line starts the next subject", Format::kTab, "a\tx\r\n\r\nb\ty", {{"a", "x"}, {"\r\nb", "y"}}},
    {"stray LF stays, tags converted, subject kept",
     Format::kTab,
     "<b>s\tx\ny<b>z</B>\r\n",
     {{"<b>s", "x\ny\t\x01z\t\x02"}}},
    {"last line ends with CR only", Format::kTab, "a\tx\r", {{"a", "x"}}},
    {"byte after a lone CR kept", Format::kTab, "a\tx\rQb\ty", {{"a", "x"}, {"Qb", "y"}}},
    {"no TAB at all", Format::kTab, "abc", {}},
    {"stray LF in a later CR LF line stays",
     Format::kTab,
     "a\tx\r\nb\tq\nr\r\nc\tz",
     {{"a", "x"}, {"b", "q\nr"}, {"c", "z"}}},
    {"stray LF in a CR-only line stays", Format::kTab, "a\tx\rb\tq\nr\rc\tz", {{"a", "x"}, {"b", "q\nr"}, {"c", "z"}}},
};

TEST(SourceParserTest, SourcesBecomeStoredEntries) {
  for (const ParseCase& c : kParseCases) {
    EXPECT_EQ(Build(c.format, c.source).entries, c.expected) << c.name;
  }
}

constexpr const char* kLineEnds[] = {"\r\n", "\n", "\r"};

std::string WithLineEnd(std::string text, const std::string& lineEnd) {
  for (size_t at = text.find('%'); at != std::string::npos; at = text.find('%', at + lineEnd.size())) {
    text.replace(at, 1, lineEnd);
  }
  return text;
}

TEST(SourceParserTest, TabLinesEndAtCrLfLfOrCr) {
  // '%' stands for the line end; each source is read with CR LF, LF and CR line ends.
  const struct Case {
    const char* name;
    std::string source;
    std::vector<ModelEntry> expected;
  } cases[] = {
      {"lines and tags, last line without line end",
       "b\tone%A\t<b>two</B>%c\tthree",
       {{"b", "one"}, {"A", "\t\x01two\t\x02"}, {"c", "three"}}},
      {"last line with its line end", "b\tone%c\tthree%", {{"b", "one"}, {"c", "three"}}},
      {"empty text ends the import", "a\tx%b\t%c\ty%", {{"a", "x"}}},
      {"empty text on the last line", "a\tx%b\t", {{"a", "x"}}},
      {"line without TAB runs into the next subject", "abc%d\te%", {{"abc%d", "e"}}},
      {"empty line starts the next subject", "a\tx%%b\ty", {{"a", "x"}, {"%b", "y"}}},
      {"first byte of every line kept", "a\tx%Qb\ty%Rc\tz", {{"a", "x"}, {"Qb", "y"}, {"Rc", "z"}}},
  };
  for (const std::string lineEnd : kLineEnds) {
    for (const Case& c : cases) {
      std::vector<ModelEntry> expected = c.expected;
      for (ModelEntry& e : expected) e.subject = WithLineEnd(e.subject, lineEnd);
      EXPECT_EQ(Build(Format::kTab, WithLineEnd(c.source, lineEnd)).entries, expected)
          << c.name << " with " << ::testing::PrintToString(lineEnd);
    }
  }
}

TEST(SourceParserTest, TabProgressAndLongLinesWithEveryLineEnd) {
  for (const std::string lineEnd : kLineEnds) {
    RecordingProgress progress;
    Build(Format::kTab, WithLineEnd("a\tx%b\tyy%", lineEnd), &progress);
    const int64_t n = int64_t(lineEnd.size());
    EXPECT_EQ(progress.positions, (std::vector<int64_t>{3 + n, 3 + n + 4 + n})) << lineEnd.size();

    // Lines longer than the parser's buffer, so line ends fall anywhere in a refill.
    std::string source;
    std::vector<ModelEntry> expected;
    for (int i = 0; i < 3; ++i) {
      expected.push_back({std::string(1, char('a' + i)), std::string(size_t(1'400'000 + i), char('p' + i))});
      source += expected.back().subject + "\t" + expected.back().text + lineEnd;
    }
    const Built built = Build(Format::kTab, source);
    EXPECT_TRUE(built.entries == expected) << ::testing::PrintToString(lineEnd);
  }
}

TEST(SourceParserTest, LineEndJudgedFromTheStartOfTheSource) {
  const std::string beyondWindow(kLineEndWindow, 'x');
  const struct Case {
    std::string source;
    LineEnd expected;
  } cases[] = {
      {"", LineEnd::kCarriageReturn},
      {"a\tx", LineEnd::kCarriageReturn},
      {"a\tx\nb\ty", LineEnd::kLineFeed},
      {"a\tq\nr\r\nb\ty", LineEnd::kCarriageReturn},  // Windows text with a stray LF first
      {"a\tx\rb\ty", LineEnd::kCarriageReturn},
      {"a\tx\n" + beyondWindow + "\r", LineEnd::kLineFeed},  // a CR past the window is not looked at
      {"a\tx\n" + beyondWindow.substr(5) + "\r", LineEnd::kCarriageReturn},
  };
  for (const Case& c : cases) {
    const std::string shown = c.source.substr(0, 12);
    EXPECT_EQ(LineEndOf(c.source), c.expected) << ::testing::PrintToString(shown);
    TempDir dir;
    builder_test::WriteFile(dir.File("source"), c.source);
    File file = OpenFile(dir.File("source"), "rb");
    SourceReader in(file.get());
    EXPECT_EQ(ReadLineEnd(in), c.expected) << ::testing::PrintToString(shown);
    // The reader is back at the start.
    EXPECT_EQ(in.Offset(), 0);
    const size_t n = std::min<size_t>(in.Fill(4), 4);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(in.Cursor()), n), c.source.substr(0, 4));
    file.reset();
  }
}

TEST(SourceParserTest, TagsAcrossBufferRefills) {
  // Texts far longer than the parser's buffer, with tags and line breaks at every offset.
  std::string text, expected;
  for (int i = 0; text.size() < 3'000'000; ++i) {
    text += std::string(size_t(i % 13), 'w') + "<b>" + std::string(size_t(i % 7), 'v') + "\r\n</CENTRE>";
    expected += std::string(size_t(i % 13), 'w') + "\t\x01" + std::string(size_t(i % 7), 'v') + "\t\x08\t\x10";
  }
  const Built tagged = Build(Format::kTagged, "<new>big\n" + text + "\r\n<new>next\nx");
  ASSERT_EQ(tagged.entries.size(), 2u);
  EXPECT_TRUE(tagged.entries[0].text == expected);
  EXPECT_EQ(tagged.entries[1], (ModelEntry{"next", "x"}));

  std::string line, lineExpected;
  for (int i = 0; line.size() < 3'000'000; ++i) {
    line += std::string(size_t(i % 11), 'w') + "<Sup>\n";
    lineExpected += std::string(size_t(i % 11), 'w') + "\t\x15\n";
  }
  const Built tab = Build(Format::kTab, "long\t" + line + "\r\nnext\tx");
  ASSERT_EQ(tab.entries.size(), 2u);
  EXPECT_TRUE(tab.entries[0].text == lineExpected);
  EXPECT_EQ(tab.entries[1], (ModelEntry{"next", "x"}));
}

TEST(SourceParserTest, SortedCheckAndFlags) {
  struct Case {
    Format format;
    std::string source;
    int sorted;
    std::string previous;
    int longFlag;
  } cases[] = {
      {Format::kTagged, "<new>b\nx<new>A\nx<new>c\nx", 0, "A", 0},
      {Format::kTagged, "<new>a\nx<new>A\nx<new>b\nx", 1, "b", 0},
      {Format::kTab, "b\tx\r\nA\tx\r\nc\tx\r\na\tx", 0, "A", 0},
      {Format::kTab, std::string(100, 's') + "\tx", 1, std::string(100, 's'), 0},
      {Format::kTab, std::string(101, 's') + "\tx", 1, std::string(101, 's'), 1},
      {Format::kTagged, "<new>" + std::string(101, 's') + "\nx", 1, std::string(101, 's'), 1},
      {Format::kTagged, "<new>" + std::string(100, 's') + "\nx", 1, std::string(100, 's'), 0},
  };
  for (const Case& c : cases) {
    const Built built = Build(c.format, c.source);
    EXPECT_EQ(built.sortedFlag, c.sorted) << c.source;
    EXPECT_EQ(built.previousSubject, c.previous) << c.source;
    EXPECT_EQ(built.longSubjectFlag, c.longFlag) << c.source;
  }
}

TEST(SourceParserTest, OverlongSubjectsAreCutToStayReadable) {
  const std::string subject(3000, 'k');
  const Built built = Build(Format::kTab, subject + "\tx\r\nshort\ty");
  ASSERT_EQ(built.entries.size(), 2u);
  EXPECT_EQ(built.entries[0].subject, subject.substr(0, TomeBuilder::kMaxStoredSubjectLength));
  EXPECT_EQ(built.cutSubjectCount, 1);
  EXPECT_EQ(built.longSubjectFlag, 1);
}

TEST(SourceParserTest, ProgressFollowsTheSourceOffset) {
  const std::string tagged = "<new>a\nx\n<new>b\nyy\n";
  RecordingProgress progress;
  Build(Format::kTagged, tagged, &progress);
  EXPECT_EQ(progress.positions, (std::vector<int64_t>{9, int64_t(tagged.size())}));

  const std::string tab = "a\tx\r\nb\tyy\r\n";
  RecordingProgress tabProgress;
  Build(Format::kTab, tab, &tabProgress);
  EXPECT_EQ(tabProgress.positions, (std::vector<int64_t>{5, 11}));
  RecordingProgress stepped;
  Build(Format::kTab, tab, &stepped, true);
  EXPECT_TRUE(stepped.positions.empty());
  EXPECT_EQ(stepped.steps, 2);
}

}  // namespace
}  // namespace lv
