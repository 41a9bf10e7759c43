// The texts of the dictionaries as stored entry text: Windows-1252 with transliteration, the reflow
// of dictd's hard-wrapped lines and its "{word}" links, and the HTML, XDXF and Pango markup of
// StarDict entries, each as a table of source and stored text.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dictionaries/dictd_text.h"
#include "dictionaries/markup_text.h"
#include "dictionaries/stored_text_writer.h"
#include "tome/windows1252_encoder.h"

namespace lv::dict {
namespace {

struct Case {
  std::string source;
  std::string stored;
  int64_t replaced = 0;
};

TEST(TextEncodingTest, Windows1252WithTransliteration) {
  const std::vector<Case> cases = {
      {"plain ASCII", "plain ASCII"},
      {"caf\xC3\xA9 \xE2\x82\xAC"
       "5 \xE2\x80\x9Cq\xE2\x80\x9D",
       "caf\xE9 \x80"
       "5 \x93q\x94"},                           // in Windows-1252
      {"caf\xE9 na\xEFve", "caf\xE9 na\xEFve"},  // Latin-1 bytes (not UTF-8)
      {"\xC5\x81\xC3\xB3"
       "d\xC5\xBA",
       "L\xF3"
       "dz"},                                                      // Polish: L with stroke, z acute
      {"\xCE\xB1\xCE\xB2\xCE\xB3", "abg"},                         // Greek
      {"\xD0\x96\xD1\x83\xD0\xBA", "Zhuk"},                        // Cyrillic
      {"e\xCC\x81t\xC3\xA9", "\xE9t\xE9"},                         // combining acute composed
      {"q\xCC\x81", "q"},                                          // a mark with no composed form
      {"\xEF\xAC\x81ne \xE2\x89\xA4 \xE2\x86\x92", "fine <= ->"},  // ligature, signs
      {"\xE4\xB8\xAD\xE6\x96\x87 x", "?? x", 2},                   // no sensible form
      {"\xF0\x9F\x98\x80", "?", 1},                                // outside the BMP
      {"a\x01"
       "b\x7F"
       "c",
       "a b c"},  // control characters
      {"\xC2\x85"
       "d",
       " d"},                    // a C1 control
      {"z\xE2\x80\x8Bz", "zz"},  // zero-width space
      {std::string("nul\0x", 5), "nulx"},
      {"\xE2\x82", "\xE2\x82"},  // a cut sequence: 8-bit bytes
      {"\x81", "?", 1},          // a byte Windows-1252 lacks
  };
  for (const Case& c : cases) {
    Windows1252Encoder encoder;
    std::string out;
    encoder.Append(c.source, out);
    EXPECT_EQ(out, c.stored) << c.source;
    EXPECT_EQ(encoder.ReplacedCount(), c.replaced) << c.source;
  }
}

std::string Dictd(std::string_view text, std::string_view headword = "word") {
  Windows1252Encoder encoder;
  return ConvertDictdText(text, headword, encoder);
}

TEST(DictdTextTest, Conversions) {
  const std::string kNbsp3 = "\xA0\xA0\xA0";
  const std::vector<Case> cases = {
      // The first line repeating the headword goes (in any case), and the blank lines after it.
      {"Word\n\n  A short text.\n", "A short text."},
      // A first line that says more than the headword stays.
      {"Word \\W\\, n.\n  text", "Word \\W\\, n.\t\x08" + kNbsp3.substr(1) + "text"},
      // Lines wrapped near the right edge join; the hanging indent of a sense joins too.
      {"word\n"
       "    n 1: a unit of language that native speakers can identify as\n"
       "         a thing [syn: {term}]\n"
       "    2: a brief statement; \"he didn't say a word about it\"\n",
       "n 1: a unit of language that native speakers can identify as a thing [syn: \t\x11term\t\x12]\t\x08"
       "2: a brief statement; \"he didn't say a word about it\""},
      // Short lines stay lines: nothing in the entry looks wrapped.
      {"Apfel <n>\n  apple\n  pome\n",
       "Apfel <n>\t\x08\xA0\xA0"
       "apple\t\x08\xA0\xA0pome"},
      // A blank line is a paragraph; several are one.
      {"one\n\n\n\ntwo", "one\t\x08\t\x08two"},
      // A list item starts its own line even after a long line.
      {"A long line of text that goes on and on until it nearly fills a terminal\n"
       "1. first item\n"
       "(b) second\n"
       "- third",
       "A long line of text that goes on and on until it nearly fills a terminal\t\x08"
       "1. first item\t\x08"
       "(b) second\t\x08- third"},
      // A line ending early (the next word would have fitted) is kept as a break.
      {"A long line of text that goes on and on until it nearly fills a terminal\n"
       "Short.\n"
       "Next line",
       "A long line of text that goes on and on until it nearly fills a terminal Short.\t\x08Next line"},
      // An indented block inside a wrapped paragraph stays apart.
      {"A long line of text that goes on and on until it nearly fills a terminal\n"
       "and continues here at the same indentation up to the edge of the page\n"
       "        code();\n",
       "A long line of text that goes on and on until it nearly fills a terminal and continues here at the same "
       "indentation up to the edge of the page\t\x08\xA0\xA0\xA0\xA0\xA0\xA0\xA0\xA0"
       "code();"},
      // Links: a word, one broken over a line, and braces that are no link.
      {"see {apple tree} or {pear\n   tree}",
       "see \t\x11"
       "apple tree\t\x12 or \t\x11pear tree\t\x12"},
      {"set {} and {open and x}y} and {a>b}", "set {} and \t\x11open and x\t\x12y} and a>b"},
      // Windows-1252 and transliteration in the text.
      {"na\xC3\xAFve \xCE\xB1", "na\xEFve a"},
      // Tabs never reach the stored text as text.
      {"a\tb", "a b"},
  };
  for (const Case& c : cases) EXPECT_EQ(Dictd(c.source), c.stored) << c.source;
}

std::string Markup(std::string_view text, MarkupKind kind, int64_t* skipped = nullptr) {
  Windows1252Encoder encoder;
  StoredTextWriter writer(encoder);
  int64_t resources = 0;
  ConvertMarkup(text, kind, writer, resources);
  if (skipped) *skipped = resources;
  return writer.Finish();
}

TEST(MarkupTextTest, HtmlConversions) {
  const std::vector<Case> cases = {
      {"<b>bold</b> <I>it</I> <u>u</u> <strong>s</strong><em>e</em>",
       "\t\x01"
       "bold\t\x02 \t\x03it\t\x04 \t\x05u\t\x06 \t\x01s\t\x02\t\x03"
       "e\t\x04"},
      {"x<sup>2</sup>H<sub>2</sub>O <s>no</s><del>d</del>",
       "x\t\x15"
       "2\t\x16H\t\x17"
       "2\t\x18O \t\x13no\t\x14\t\x13"
       "d\t\x14"},
      {"one<br>two<br/><br />three", "one\t\x08two\t\x08\t\x08three"},
      {"<p>first</p><p>second</p>", "first\t\x08\t\x08second"},
      {"<div>a</div><div>b</div>",
       "a\t\x08"
       "b"},
      {"a<hr>b <center>c</center>",
       "a\t\x07"
       "b \t\x0F"
       "c\t\x10"},
      {"<ul><li>x<li>y</ul><ol><li>z</ol>", "\t\x0D\t\x0Ax\t\x0Ay\t\x0E\t\x0B\t\x0Az\t\x0C"},
      // Links to headwords; other links keep their text only.
      {"see <a href=\"bword://apple tree\">apple tree</a>",
       "see \t\x11"
       "apple tree\t\x12"},
      {"<a href='bword://pear'>the pear</a>", "\t\x11pear>the pear\t\x12"},
      {"<a href=\"http://example.org\">site</a>", "site"},
      {"<a href=\"bword://a>b\">odd</a>", "odd"},
      // White space flows; entities; a lone "<" and unknown tags.
      {"  many   spaces\nand\tlines  ", "many spaces and lines"},
      {"&lt;tag&gt; &amp; &eacute;&#233;&#xE9; &euro; &bogus; & x", "<tag> & \xE9\xE9\xE9 \x80 &bogus; & x"},
      {"a < b <c>d</c> <font color=red>e</font>", "a < b d e"},
      // Unclosed and stray marks are balanced.
      {"<b>open <i>both",
       "\t\x01open \t\x03"
       "both\t\x04\t\x02"},
      {"</b>stray <b>x</i>y</b>", "stray \t\x01xy\t\x02"},
      // Scripts, styles and comments go.
      {"a<script>var x = '<b>';</script>b<style>p{}</style>c<!-- note -->d", "abcd"},
      // HTML table rows are lines.
      {"<table><tr><td>a</td></tr><tr><td>b</td></tr></table>",
       "a\t\x08"
       "b"},
  };
  for (const Case& c : cases) EXPECT_EQ(Markup(c.source, MarkupKind::kHtml), c.stored) << c.source;
}

TEST(MarkupTextTest, XdxfAndPangoConversions) {
  const std::vector<Case> xdxf = {
      {"<k>apple</k>\n<tr>\xCB\x88\xC3\xA6pl</tr>\nfruit, see <kref>pear</kref>",
       "\t\x01"
       "apple\t\x02\t\x08['\xE6pl]\t\x08"
       "fruit, see \t\x11pear\t\x12"},
      {"<abr>n.</abr> <ex>an apple a day</ex> <co>comment</co> <dtrn>Apfel</dtrn>",
       "\t\x03n.\t\x04 \t\x03"
       "an apple a day\t\x04 comment Apfel"},
      {"<kref k=\"apple\">apples</kref> <kref></kref>",
       "\t\x11"
       "apple>apples\t\x12"},
      {"one\n\ntwo <rref>sound.wav</rref>three", "one\t\x08\t\x08two three"},
  };
  for (const Case& c : xdxf) EXPECT_EQ(Markup(c.source, MarkupKind::kXdxf), c.stored) << c.source;
  const std::vector<Case> pango = {
      {"<span weight=\"bold\">b</span> <span style=\"italic\" weight='heavy'>bi</span>",
       "\t\x01"
       "b\t\x02 \t\x01\t\x03"
       "bi\t\x04\t\x02"},
      {"<span underline=\"single\">u</span><span foreground=\"red\">plain</span>\nline",
       "\t\x05u\t\x06plain\t\x08line"},
      {"<big>big</big> <tt>mono</tt> <s>gone</s>", "big mono \t\x13gone\t\x14"},
  };
  for (const Case& c : pango) EXPECT_EQ(Markup(c.source, MarkupKind::kPango), c.stored) << c.source;
}

TEST(MarkupTextTest, ResourcesAreCounted) {
  int64_t skipped = 0;
  EXPECT_EQ(Markup("a<img src=\"x.png\">b<img src='y.png'/><audio src=z.ogg>alt</audio>c", MarkupKind::kHtml, &skipped),
            "abc");
  EXPECT_EQ(skipped, 3);
}

TEST(MarkupTextTest, HostileMarkupEnds) {
  // Deep nesting, unterminated tags and quotes: the conversion ends and its marks stay balanced.
  std::string deep;
  for (int i = 0; i < 10000; ++i) deep += "<b><i>";
  const std::string stored = Markup(deep + "x", MarkupKind::kHtml);
  EXPECT_EQ(stored.size(), size_t(10000 * 8 + 1));
  EXPECT_EQ(Markup("<a href=\"never closed>text", MarkupKind::kHtml), "<a href=\"never closed>text");
  EXPECT_EQ(Markup("<kref>never closed", MarkupKind::kXdxf), "\t\x11never closed\t\x12");
  EXPECT_EQ(Markup("<script>never closed", MarkupKind::kHtml), "");
}

TEST(StoredTextWriterTest, LinksAndBreaks) {
  Windows1252Encoder encoder;
  StoredTextWriter writer(encoder);
  writer.LineBreak();  // nothing at the start
  writer.Text("a ");
  writer.LineBreak();
  writer.LineBreak();
  writer.Text("b");
  writer.Paragraph();
  writer.Paragraph();
  writer.BeginLink("  two\n words ");
  writer.EndLink();  // shows its target
  writer.BeginLink("");
  writer.Text("no link");
  writer.EndLink();
  writer.HardLineBreak();
  writer.HardLineBreak();
  writer.HardLineBreak();
  EXPECT_EQ(writer.Finish(),
            "a\t\x08"
            "b\t\x08\t\x08\t\x11two words\t\x12no link");
}

}  // namespace
}  // namespace lv::dict
