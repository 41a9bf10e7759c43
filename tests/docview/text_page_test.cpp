#include "docview/text_page.h"

#include <gtest/gtest.h>

#include <string>

namespace lv {
namespace {

// The part of a page between the opening of the text block and its end.
std::string Body(const std::string& page) {
  const std::string open = "<div style=\"white-space: pre-wrap\">";
  const size_t begin = page.find(open);
  const size_t end = page.rfind("</div>");
  if (begin == std::string::npos || end == std::string::npos) return "<no text block>";
  return page.substr(begin + open.size(), end - begin - open.size());
}

std::string Render(std::string_view text, std::optional<FindMark> find = std::nullopt) {
  return RenderTextPage(text, PageSettings{}, 3, find);
}

TEST(DetectTextEncoding, WellFormedUtf8OnlyIsUtf8) {
  struct Case {
    const char* name;
    std::string text;
    TextEncoding expected;
  };
  const Case cases[] = {
      {"ascii", "plain text, long enough to pass the eight-byte steps", TextEncoding::kUtf8},
      {"empty", "", TextEncoding::kUtf8},
      {"two-byte", "Caf\xC3\xA9", TextEncoding::kUtf8},
      {"three-byte", "\xE2\x82\xAC 5", TextEncoding::kUtf8},
      {"four-byte", "\xF0\x9F\x93\x96", TextEncoding::kUtf8},
      {"latin-1 e acute", "Caf\xE9", TextEncoding::kWindows1252},
      {"windows-1252 quotes", "\x93quoted\x94", TextEncoding::kWindows1252},
      {"overlong slash", "\xC0\xAF", TextEncoding::kWindows1252},
      {"overlong three-byte", "\xE0\x80\xAF", TextEncoding::kWindows1252},
      {"surrogate", "\xED\xA0\x80", TextEncoding::kWindows1252},
      {"above U+10FFFF", "\xF4\x90\x80\x80", TextEncoding::kWindows1252},
      {"cut short at the end", "abc\xE2\x82", TextEncoding::kWindows1252},
      {"lone continuation", "abcdefgh\x80", TextEncoding::kWindows1252},
  };
  for (const Case& c : cases) EXPECT_EQ(DetectTextEncoding(c.text), c.expected) << c.name;
}

TEST(RenderTextPage, MarkupCharactersAreShownNotObeyed) {
  EXPECT_EQ(Body(Render("if a < b and c > d & e")), "if a &lt; b and c &gt; d &amp; e");
  EXPECT_EQ(Body(Render("<b>bold?</b> <img src=\"file:///etc/hostname\"> <a href=\"tome::X\">x</a>")),
            "&lt;b&gt;bold?&lt;/b&gt; &lt;img src=&quot;file:///etc/hostname&quot;&gt; "
            "&lt;a href=&quot;tome::X&quot;&gt;x&lt;/a&gt;");
}

TEST(RenderTextPage, SpacingAndLineEndsAreKept) {
  EXPECT_EQ(Body(Render("a\tb    c\r\nd\re\n\nf")), "a\tb    c\nd\ne\n\nf");
  EXPECT_EQ(Body(Render(std::string("nul\0byte", 8))), "nulbyte");
}

TEST(RenderTextPage, NulBytesCanBeShown) {
  const auto shown = [](std::string_view text, std::optional<FindMark> find = std::nullopt) {
    return Body(RenderTextPage(text, PageSettings{}, 3, find, NulBytes::kShown));
  };
  EXPECT_EQ(shown(std::string("\0lead, mid\0\0dle", 15)), "&#9216;lead, mid&#9216;&#9216;dle");
  // In a UTF-8 and a Windows-1252 page alike, and inside a find mark.
  EXPECT_EQ(shown(std::string("caf\xE9\0", 5)), "caf\xE9&#9216;");
  EXPECT_EQ(shown(std::string("a\0b", 3), FindMark{1, 1}),
            "a<a name=\"findloc\"></a><font color=\"red\">&#9216;</font>b");
}

TEST(RenderTextPage, PageDeclaresItsCharacterSet) {
  const std::string utf8 = Render(
      "\xEF\xBB\xBF"
      "Caf\xC3\xA9");
  EXPECT_NE(utf8.find("charset=utf-8"), std::string::npos);
  EXPECT_EQ(Body(utf8), "Caf\xC3\xA9");  // the byte-order mark is left out
  const std::string latin = Render("Caf\xE9");
  EXPECT_NE(latin.find("charset=windows-1252"), std::string::npos);
  EXPECT_EQ(Body(latin), "Caf\xE9");
}

TEST(RenderTextPage, PageCarriesTheSettings) {
  PageSettings settings;
  settings.fontFace = "Gentium";
  settings.backgroundStyle = 0;
  settings.backRed = 1;
  settings.backGreen = 2;
  settings.backBlue = 3;
  const std::string page = RenderTextPage("x", settings, 6);
  EXPECT_NE(page.find("<body bgcolor = \"010203\"><font size=\"6\" face=\"Gentium\">"), std::string::npos);
  EXPECT_TRUE(page.ends_with("</div></font></body></html>"));
}

TEST(RenderTextPage, FindMarkSurroundsItsStretch) {
  struct Case {
    const char* name;
    std::string text;
    FindMark find;
    std::string expected;
  };
  const std::string open = "<a name=\"findloc\"></a><font color=\"red\">";
  const Case cases[] = {
      {"inside", "one two three", {4, 3}, "one " + open + "two</font> three"},
      {"at the start", "one", {0, 1}, open + "o</font>ne"},
      {"past the end is clipped", "one two", {4, 50}, "one " + open + "two</font>"},
      {"empty stretch keeps the anchor", "one", {1, 0}, "o" + open + "</font>ne"},
      {"escaped characters stay whole", "a<b", {1, 1}, "a" + open + "&lt;</font>b"},
      {"utf-8 characters are not split", "\xC3\xA9t\xC3\xA9", {1, 3}, "\xC3\xA9" + open + "t\xC3\xA9</font>"},
      {"beyond the text", "one", {10, 2}, "one"},
  };
  for (const Case& c : cases) EXPECT_EQ(Body(Render(c.text, c.find)), c.expected) << c.name;
  EXPECT_EQ(Body(Render("one", FindMark{-1, 2})), "one");
}

}  // namespace
}  // namespace lv
