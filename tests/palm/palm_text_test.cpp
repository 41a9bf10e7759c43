#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "palm/palm_text.h"
#include "palm/subject_index.h"

namespace lv {
namespace {

std::string M(int code) { return std::string("\t") + char(code); }

class PalmTextTest : public ::testing::Test {
 protected:
  PalmTextTest() : subjects{"Apple", "banana", "Cherry", "apple", "date"} { index.Build(subjects); }
  std::string Prepare(const std::string& text, size_t limit = 1000) {
    std::string out;
    PrepareTextForPalm(text, index, limit, out);
    return out;
  }
  std::vector<std::string> subjects;
  SortedSubjectIndex index;
};

TEST_F(PalmTextTest, RewritesEachMarkupCode) {
  struct Case {
    std::string in;
    std::string out;
  } cases[] = {
      {M(1) + "b" + M(2) + M(7) + M(10) + M(13) + M(16), M(1) + "b" + M(2) + M(7) + M(10) + M(13) + M(16)},
      {"a" + M(8) + " b" + M(8) + "  c", "a\nb\n c"},  // one space after a line break is dropped
      {"a" + M(9) + " b", "a\n\nb"},
      {M(11) + "x" + M(12), "x"},
      {M(0) + "a" + M(19) + M(24) + M(200) + "b", "ab"},
      {"end" + std::string("\t"), "end"},  // a TAB without its code
  };
  for (const Case& c : cases) EXPECT_EQ(Prepare(c.in), c.out) << c.in;
}

TEST_F(PalmTextTest, ResolvesLinksToSubjectNumbers) {
  struct Case {
    std::string in;
    std::string out;
  } cases[] = {
      // Explicit target: the visible text follows the ">".
      {M(17) + "banana>a fruit" + M(18), M(17) + "1>a fruit" + M(18)},
      // Another letter case resolves; equal subjects resolve to the lowest number.
      {M(17) + "APPLE>x" + M(18), M(17) + "0>x" + M(18)},
      {M(17) + "cherry>y" + M(18), M(17) + "2>y" + M(18)},
      // Implicit target: ">" and the name are added.
      {M(17) + "date" + M(18), M(17) + "4>date" + M(18)},
      // A missing target stays as plain text and its link end goes.
      {M(17) + "fig>a fig" + M(18) + "!", "fig>a fig!"},
      {M(17) + "fig" + M(18), "fig"},
      // A link end that closes nothing is removed.
      {"x" + M(18), "x"},
  };
  for (const Case& c : cases) EXPECT_EQ(Prepare(c.in), c.out) << c.in;
}

TEST_F(PalmTextTest, OutputStopsAtTheLimitWithoutSplittingAMark) {
  EXPECT_EQ(Prepare("abcdefgh", 5), "abcde");
  EXPECT_EQ(Prepare("abcd" + M(1) + "e", 5), "abcd");
}

TEST(SortedSubjectIndex, OrdersCaseInsensitivelyAndKeepsTomeOrderForEquals) {
  const std::vector<std::string> subjects{"b", "B", "a", "ab", "A", "b"};
  SortedSubjectIndex index;
  index.Build(subjects);
  EXPECT_EQ(index.Order(), (std::vector<int32_t>{2, 4, 3, 0, 1, 5}));
  EXPECT_EQ(index.Find("B"), 0);
  EXPECT_EQ(index.Find("a"), 2);
  EXPECT_EQ(index.Find("aB"), 3);
  EXPECT_EQ(index.Find("c"), -1);
  EXPECT_EQ(index.Find(""), -1);
}

}  // namespace
}  // namespace lv
