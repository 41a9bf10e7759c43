#include "docview/plain_text.h"

#include <gtest/gtest.h>

#include <string>

namespace lv {
namespace {

std::string M(int code) { return std::string{'\t', static_cast<char>(code)}; }

TEST(RenderPlainText, MarksBecomeReadableText) {
  EXPECT_EQ(RenderPlainText("A " + M(1) + "bold" + M(2) + " and " + M(3) + "italic" + M(4) + " word." + M(8) +
                            "Next line." + M(8) + M(8) + "New paragraph."),
            "A *bold* and _italic_ word.\nNext line.\n\nNew paragraph.\n");
  EXPECT_EQ(RenderPlainText("x" + M(7) + "y"), "x\n----------------------------------------\ny\n");
}

TEST(RenderPlainText, ListsGetBulletsAndNumbers) {
  EXPECT_EQ(RenderPlainText("Kinds:" + M(13) + M(10) + "one" + M(10) + "two" + M(14) + M(11) + M(10) + "first" + M(10) +
                            "second" + M(12) + "after"),
            "Kinds:\n  * one\n  * two\n  1. first\n  2. second\nafter\n");
}

TEST(RenderPlainText, LinksShowTextAndTarget) {
  EXPECT_EQ(RenderPlainText("see " + M(17) + "Quire>a gathering" + M(18) + " and " + M(17) + "folio" + M(18) + " or " +
                            M(17) + "Recto>recto" + M(18)),
            "see [a gathering -> Quire] and [folio] or [recto]\n");
  // An unterminated link and a trailing TAB end cleanly.
  EXPECT_EQ(RenderPlainText("x " + M(17) + "open"), "x [open\n");
  EXPECT_EQ(RenderPlainText("end\t"), "end\n");
}

TEST(RenderPlainText, HighlightIsMarkedAndClippedToItsRun) {
  EXPECT_EQ(RenderPlainText("abcdef" + M(1) + "gh", FindMark{4, 10}), "abcd>>ef<<*gh\n");
  EXPECT_EQ(RenderPlainText("abcdef", FindMark{-1, 2}), "abcdef\n");
}

}  // namespace
}  // namespace lv
