#include "docview/renderer.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace lv {
namespace {

// A mark: TAB and the code byte.
std::string M(int code) { return std::string{'\t', static_cast<char>(code)}; }

const std::string kHeadLines =
    "<html>\r\n<head>\r\n"
    "<meta http-equiv=\"Content-Language\" content=\"en-gb\">\r\n"
    "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">\r\n"
    "<meta name=\"ProgId\" content=\"Librovance\">\r\n"
    "<title>Librovance</title>\r\n</head>\r\n";
const std::string kDefaultHeader =
    kHeadLines + "<body background=\"res://librovance.exe/#2/#192\"><font size=3 face=\"Arial\">\r\n";
const std::string kFooter = "\r\n</font></body>\r\n</html>";

// The page body between </h2> and the footer, with default settings.
std::string Body(const std::string& text, std::optional<FindMark> find = std::nullopt) {
  const std::string page = RenderEntryPage("S", text, PageSettings{}, find);
  const std::string prefix = kDefaultHeader + "<h2>S</h2>";
  EXPECT_EQ(page.compare(0, prefix.size(), prefix), 0) << page;
  EXPECT_GE(page.size(), prefix.size() + kFooter.size());
  EXPECT_EQ(page.substr(page.size() - kFooter.size()), kFooter);
  return page.substr(prefix.size(), page.size() - prefix.size() - kFooter.size());
}

TEST(RenderEntryPage, WholePageWithDefaultsIsByteExact) {
  EXPECT_EQ(RenderEntryPage("Folio", "A " + M(1) + "leaf" + M(2) + ".", PageSettings{}),
            kDefaultHeader + "<h2>Folio</h2>A <b>leaf</b>." + kFooter);
}

TEST(RenderEntryPage, HeaderFollowsStyleColourFaceAndSize) {
  struct Case {
    int style;
    std::string body;
  };
  const Case cases[] = {
      {0, "<body bgcolor = \"00800f\">"},
      {1, "<body background=\"res://librovance.exe/#2/#192\">"},
      {2, "<body background=\"res://librovance.exe/#2/#234\">"},
      {3, "<body background=\"res://librovance.exe/#2/#235\">"},
      {4, "<body background=\"res://librovance.exe/#2/#233\">"},
      {5, "<body background=\"res://librovance.exe/#2/#218\">"},
      {6, "<body background=\"res://librovance.exe/#2/#192\">"},
      {-1, "<body background=\"res://librovance.exe/#2/#192\">"},
  };
  for (const Case& c : cases) {
    PageSettings settings;
    settings.backgroundStyle = c.style;
    settings.backRed = 0;
    settings.backGreen = 128;
    settings.backBlue = 15;
    settings.fontFace = "Liberation Serif";
    settings.entryFontSize = 5;
    EXPECT_EQ(RenderEntryPage("x", "", settings),
              kHeadLines + c.body + "<font size=5 face=\"Liberation Serif\">\r\n<h2>x</h2>" + kFooter)
        << "style " << c.style;
  }
  PageSettings defaults;
  defaults.backgroundStyle = 0;
  EXPECT_NE(RenderEntryPage("x", "", defaults).find("<body bgcolor = \"eeeeff\">"), std::string::npos);
}

TEST(RenderEntryPage, EveryCodeHasItsPageForm) {
  const char* forms[25] = {
      nullptr,     "<b>",   "</b>", "<i>",      "</i>",      "<u>",   "</u>",   "<HR ALIGN=\"center\" WIDTH=\"100%\">",
      "<br>",      "<p>",   "<li>", "<ol>",     "</ol>",     "<ul>",  "</ul>",  "<center>",
      "</center>", nullptr, "</a>", "<strike>", "</strike>", "<sup>", "</sup>", "<sub>",
      "</sub>"};
  for (int code = 1; code <= 24; ++code) {
    if (!forms[code]) continue;
    EXPECT_EQ(Body("a" + M(code) + "b"), std::string("a") + forms[code] + "b") << "code " << code;
  }
}

TEST(RenderEntryPage, MarksAtStartEndAndBackToBackHaveNothingBetween) {
  EXPECT_EQ(Body(M(1) + M(3) + "x" + M(4) + M(2)), "<b><i>x</i></b>");
  EXPECT_EQ(Body(M(9) + M(8) + M(8)), "<p><br><br>");
}

TEST(RenderEntryPage, LinksInBothFormsAndWithAnEmptyTarget) {
  EXPECT_EQ(Body("see " + M(17) + "Paris>the capital" + M(18) + "."), "see <a href=\"tome::Paris\">the capital</a>.");
  EXPECT_EQ(Body(M(17) + "word" + M(18)), "<a href=\"tome::word\">word</a>");
  EXPECT_EQ(Body(M(17) + ">text" + M(18)), "<a href=\"tome::\">text</a>");
  EXPECT_EQ(Body(M(17) + "two words" + M(18)), "<a href=\"tome::two words\">two words</a>");
  // A mark inside the visible text of an explicit link.
  EXPECT_EQ(Body(M(17) + "t>" + M(1) + "b" + M(2) + M(18)), "<a href=\"tome::t\"><b>b</b></a>");
}

TEST(RenderEntryPage, HighlightMarksItsStretchWithinOneRun) {
  const std::string anchor = "<a name=\"findloc\"><font color=\"red\">";
  const std::string close = "</a></font>";
  const std::string text = "abcdef" + M(1) + "ghij";  // runs [0,6) and [8,12)
  struct Case {
    int offset;
    int length;
    std::string body;
  };
  const Case cases[] = {
      {-1, 3, "abcdef<b>ghij"},
      {0, 2, anchor + "ab" + close + "cdef<b>ghij"},       // at the run's start: empty piece before
      {4, 2, "abcd" + anchor + "ef" + close + "<b>ghij"},  // at the run's end: empty piece after
      {2, 2, "ab" + anchor + "cd" + close + "ef<b>ghij"},
      {4, 50, "abcd" + anchor + "ef" + close + "<b>ghij"},  // clipped to its run
      {9, 2, "abcdef<b>g" + anchor + "hi" + close + "j"},   // in the second run
      {6, 2, "abcdef<b>ghij"},                              // on a mark: no run holds it
      {12, 1, "abcdef<b>ghij"},                             // past the end
      {1, 0, "a" + anchor + close + "bcdef<b>ghij"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Body(text, FindMark{c.offset, c.length}), c.body) << c.offset << ":" << c.length;
  }
  EXPECT_EQ(Body(text), "abcdef<b>ghij");
}

TEST(RenderEntryPage, CodesOutsideTheRangeAreDropped) {
  EXPECT_EQ(Body("a" + M(25) + "b" + M(255) + "c" + M(200)), "abc");
}

TEST(RenderEntryPage, MalformedTextStopsAtItsEnd) {
  // A TAB as the last byte (the split at byte 150 fell inside a mark, or damaged data).
  EXPECT_EQ(Body("end" + std::string("\t")), "end");
  // A link with neither ">" nor TAB behind it: the rest is target and text.
  EXPECT_EQ(Body("x" + M(17) + "open"), "x<a href=\"tome::open\">open");
  EXPECT_EQ(Body("x" + M(17)), "x<a href=\"tome::\">");
  // The text ends at an embedded terminator.
  EXPECT_EQ(Body(std::string("ab\0cd", 5)), "ab");
  EXPECT_EQ(Body(std::string("ab\t\0cd", 6)), "ab");
}

TEST(RenderEntryPage, BytesAreCopiedUnescaped) {
  EXPECT_EQ(Body("a<b & \xE9"), "a<b & \xE9");
  EXPECT_NE(RenderEntryPage("<&\xFC>", "", PageSettings{}).find("<h2><&\xFC></h2>"), std::string::npos);
}

TEST(MakePlainPageHeader, IsByteExact) {
  PageSettings settings;
  EXPECT_EQ(MakePlainPageHeader(settings, 12),
            "<html>\r\n<head>\r\n<title>Librovance</title>\r\n</head>\r\n"
            "<body background=\"res://librovance.exe/#2/#192\"><font size=\"12\" face=\"Arial\">");
  settings.backgroundStyle = 0;
  settings.backRed = 0;
  settings.backGreen = 128;
  settings.backBlue = 15;
  settings.fontFace = "Courier";
  EXPECT_EQ(MakePlainPageHeader(settings, 9),
            "<html>\r\n<head>\r\n<title>Librovance</title>\r\n</head>\r\n"
            "<body bgcolor = \"00800f\"><font size=\"9\" face=\"Courier\">");
  settings.backgroundStyle = 4;
  EXPECT_NE(MakePlainPageHeader(settings, 9).find("#2/#233\"><font"), std::string::npos);
}

TEST(AppendTaggedLine, SpellsEveryMarkAsItsTag) {
  std::string out;
  AppendTaggedLine(out, "Subj",
                   M(1) + "b" + M(2) + M(7) + M(8) + M(17) + "word" + M(18) + " " + M(17) + "Target>shown" + M(18) +
                       M(15) + "c" + M(16) + M(30) + "\t");
  EXPECT_EQ(out, "Subj\t<b>b</b><hr><br><a:word>word</a> <a:Target>shown</a><center>c</center>\r\n");
  out.clear();
  const char* tags[25] = {nullptr, "<b>",      "</b>",      "<i>",   "</i>", "<u>",      "</u>",
                          "<hr>",  "<br>",     "<p>",       "<li>",  "<ol>", "</ol>",    "<ul>",
                          "</ul>", "<center>", "</center>", nullptr, "</a>", "<strike>", "</strike>",
                          "<sup>", "</sup>",   "<sub>",     "</sub>"};
  for (int code = 1; code <= 24; ++code) {
    if (!tags[code]) continue;
    out.clear();
    AppendTaggedLine(out, "s", M(code));
    EXPECT_EQ(out, std::string("s\t") + tags[code] + "\r\n") << "code " << code;
  }
  out.clear();
  AppendTaggedLine(out, "s", M(17) + ">t" + M(18));
  EXPECT_EQ(out, "s\t<a:>t</a>\r\n");
}

}  // namespace
}  // namespace lv
