// Runs the built lvtool on small sources and tomes and checks exit statuses and key outputs.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "lvtool_runner.h"
#include "test_files.h"
#include "tome/coding.h"
#include "tome/tome_bytes.h"

namespace {

namespace fs = std::filesystem;
using lv::AppendLE32;
using lv::test::ReadFile;
using lv::test::WriteFile;

using Result = lv::test::LvtoolResult;

class LvtoolTest : public lv::test::LvtoolFixture {
 protected:
  // A tagged source of three sorted entries with marks and both link forms; returns its path.
  std::string SmallSource() const {
    const std::string path = Path("small.txt").string();
    WriteFile(path,
              "Preamble is ignored.\r\n"
              "<new>Apple\r\nA <b>red</b> fruit; see <a:Cherry>the cherry</a>.\r\n"
              "<new>Banana\r\nA <i>long</i> one.<br>Also <a>Apple</a>.\r\n"
              "<new>Cherry\r\nSmall<hr>and sweet.\r\n");
    return path;
  }

  std::string ImportSmall() const {
    const std::string tome = Path("small.lv").string();
    const Result r = Run({"import", SmallSource()});
    EXPECT_EQ(r.status, 0) << r.err;
    return tome;
  }
};

TEST_F(LvtoolTest, UsageErrorsAndHelp) {
  EXPECT_EQ(Run({}).status, 1);
  const Result help = Run({"--help"});
  EXPECT_EQ(help.status, 0);
  for (const char* command : {"import", "info", "list", "show", "find", "export-tagged", "sort", "upgrade"}) {
    EXPECT_NE(help.out.find(command), std::string::npos) << command;
    const Result commandHelp = Run({command, "--help"});
    EXPECT_EQ(commandHelp.status, 0) << command;
    EXPECT_NE(commandHelp.out.find(std::string("Usage: lvtool ") + command), std::string::npos);
  }
  const Result unknown = Run({"frobnicate"});
  EXPECT_EQ(unknown.status, 1);
  EXPECT_NE(unknown.err.find("unknown command 'frobnicate'"), std::string::npos);
  const Result badOption = Run({"list", "x.lv", "--bogus"});
  EXPECT_EQ(badOption.status, 1);
  EXPECT_NE(badOption.err.find("unknown option '--bogus'"), std::string::npos);
  EXPECT_EQ(Run({"list", "x.lv", "--from", "minus"}).status, 1);
  EXPECT_EQ(Run({"show", "x.lv", "--index", "1", "--find", "3"}).status, 1);
  EXPECT_EQ(Run({"import", "a.txt", "--sort"}).status, 1);  // --sort needs a .tab source
}

TEST_F(LvtoolTest, VersionIsPrintedAndMentionedInTheHelp) {
  const Result version = Run({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_TRUE(std::regex_match(version.out, std::regex("lvtool [0-9]+\\.[0-9]+\\.[0-9]+\n"))) << version.out;
  EXPECT_EQ(version.err, "");
  EXPECT_NE(Run({"--help"}).out.find("lvtool --version"), std::string::npos);
}

TEST_F(LvtoolTest, ImportReportsResultsAndWritesTheTomeBesideTheSource) {
  const Result r = Run({"import", SmallSource()});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("Number of subjects:   \t3\nFile sorted status:       \tYes"), std::string::npos) << r.out;
  EXPECT_TRUE(fs::exists(Path("small.lv")));
  EXPECT_TRUE(r.err.empty()) << "no progress bar when standard error is not a terminal: " << r.err;

  const Result explicitOutput = Run({"import", SmallSource(), "-o", Path("other").string()});
  EXPECT_EQ(explicitOutput.status, 0);
  EXPECT_TRUE(fs::exists(Path("other")));

  // A source without extension gets ".lv" appended, even in a folder whose name has a dot.
  fs::create_directory(Path("v1.2"));
  fs::copy_file(SmallSource(), Path("v1.2/glossary"));
  ASSERT_EQ(Run({"import", Path("v1.2/glossary").string()}).status, 0);
  EXPECT_TRUE(fs::exists(Path("v1.2/glossary.lv")));
}

TEST_F(LvtoolTest, ImportErrorsNameTheFile) {
  const std::string missing = Path("missing.txt").string();
  const Result r = Run({"import", missing});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("cannot open '" + missing + "': No such file or directory"), std::string::npos) << r.err;

  // A tome must never replace its own source.
  const std::string source = Path("dict.lv").string();
  WriteFile(source, "<new>a\r\nb\r\n");
  EXPECT_EQ(Run({"import", source}).status, 1);
  EXPECT_EQ(ReadFile(source), "<new>a\r\nb\r\n");

  // An existing tome survives a failed import.
  const std::string tome = ImportSmall();
  const std::string before = ReadFile(tome);
  const Result bad = Run({"import", SmallSource(), "-o", Path("no-such-dir/x.lv").string()});
  EXPECT_NE(bad.status, 0);
  EXPECT_NE(bad.err.find("no-such-dir/x.lv"), std::string::npos) << bad.err;
  EXPECT_EQ(ReadFile(tome), before);
}

TEST_F(LvtoolTest, TabSourceSortedInPlaceWithItsBackup) {
  const std::string source = Path("words.TAB").string();
  const std::string unsorted = "pear\tgreen\r\napple\tred\r\nOrange\torange\r\n";
  WriteFile(source, unsorted);
  const Result plain = Run({"import", source, "-o", Path("plain.lv").string()});
  ASSERT_EQ(plain.status, 0) << plain.err;
  EXPECT_NE(plain.out.find("No\nSorted check failed at subject: apple"), std::string::npos) << plain.out;

  const Result sorted = Run({"import", source, "--sort"});
  ASSERT_EQ(sorted.status, 0) << sorted.err;
  EXPECT_NE(sorted.out.find("Number of subjects:   \t3\nFile sorted status:       \tYes"), std::string::npos);
  EXPECT_EQ(ReadFile(source + ".bak"), unsorted);
  EXPECT_TRUE(fs::exists(Path("words.lv")));
  EXPECT_EQ(Run({"list", Path("words.lv").string()}).out, "0\tapple\tred\n1\tOrange\torange\n2\tpear\tgreen\n");

  fs::remove(source + ".bak");
  WriteFile(source, unsorted);
  EXPECT_EQ(Run({"sort", source}).status, 0);
  EXPECT_EQ(ReadFile(source + ".bak"), unsorted);
  EXPECT_EQ(Run({"sort", Path("none.tab").string()}).status, 2);
}

TEST_F(LvtoolTest, InfoListAndFind) {
  const std::string tome = ImportSmall();
  const Result info = Run({"info", tome});
  ASSERT_EQ(info.status, 0) << info.err;
  EXPECT_NE(info.out.find("current (version 2001)"), std::string::npos) << info.out;
  EXPECT_NE(info.out.find("Sorted:             yes"), std::string::npos) << info.out;
  EXPECT_NE(info.out.find("Subjects:           3"), std::string::npos) << info.out;
  EXPECT_NE(info.out.find("Main section:"), std::string::npos);
  EXPECT_NE(info.out.find("0 of 50 used"), std::string::npos);

  const Result list = Run({"list", tome, "--from", "1", "--count", "1"});
  EXPECT_EQ(list.status, 0);
  EXPECT_EQ(list.out, "1\tBanana\tA long one.\n");
  EXPECT_EQ(Run({"list", tome, "--from", "7"}).out, "");

  EXPECT_EQ(Run({"find", tome, "banana"}).out, "1\tBanana\n");
  EXPECT_EQ(Run({"find", tome, "ch", "--prefix"}).out, "2\tCherry\n");
  const Result none = Run({"find", tome, "durian"});
  EXPECT_EQ(none.status, 4);
  EXPECT_NE(none.err.find("no subject"), std::string::npos);
}

TEST_F(LvtoolTest, ShowPlainTextAndHtmlPage) {
  const std::string tome = ImportSmall();
  const Result plain = Run({"show", tome, "APPLE"});
  ASSERT_EQ(plain.status, 0) << plain.err;
  EXPECT_EQ(plain.out, "Apple\n=====\n\nA *red* fruit; see [the cherry -> Cherry].\n");
  EXPECT_EQ(Run({"show", tome, "--index", "1"}).out, "Banana\n======\n\nA _long_ one.\nAlso [Apple].\n");
  EXPECT_EQ(Run({"show", tome, "--index", "2", "--find", "0:5"}).out,
            "Cherry\n======\n\n>>Small<<\n"
            "----------------------------------------\nand sweet.\n");
  EXPECT_EQ(Run({"show", tome, "--index", "3"}).status, 4);
  EXPECT_EQ(Run({"show", tome, "Durian"}).status, 4);

  const std::string page = Path("page.htm").string();
  ASSERT_EQ(Run({"show", tome, "Apple", "--html", page, "--find", "4:3"}).status, 0);
  const std::string html = ReadFile(page);
  EXPECT_EQ(html.rfind("<html>\r\n<head>\r\n", 0), 0u);
  EXPECT_NE(html.find("<h2>Apple</h2>A <b><a name=\"findloc\"><font color=\"red\">red</a></font></b> fruit; see "
                      "<a href=\"tome::Cherry\">the cherry</a>."),
            std::string::npos)
      << html;
  const Result unwritable = Run({"show", tome, "Apple", "--html", Path("no-dir/page.htm").string()});
  EXPECT_EQ(unwritable.status, 2);
  EXPECT_NE(unwritable.err.find("no-dir/page.htm"), std::string::npos);
}

TEST_F(LvtoolTest, ExportTaggedRoundTripsThroughImport) {
  const std::string tome = ImportSmall();
  const std::string expected =
      "Apple\tA <b>red</b> fruit; see <a:Cherry>the cherry</a>.\r\n"
      "Banana\tA <i>long</i> one.<br>Also <a:Apple>Apple</a>.\r\n"
      "Cherry\tSmall<hr>and sweet.\r\n";
  EXPECT_EQ(Run({"export-tagged", tome}).out, expected);
  const std::string tab = Path("again.tab").string();
  ASSERT_EQ(Run({"export-tagged", tome, "-o", tab}).status, 0);
  EXPECT_EQ(ReadFile(tab), expected);
  ASSERT_EQ(Run({"import", tab}).status, 0);
  EXPECT_EQ(Run({"export-tagged", Path("again.lv").string()}).out, expected);

  // A tome without subjects exports nothing.
  WriteFile(Path("empty.txt"), "no entries here\r\n");
  ASSERT_EQ(Run({"import", Path("empty.txt").string()}).status, 0);
  const Result empty = Run({"export-tagged", Path("empty.lv").string()});
  EXPECT_EQ(empty.status, 0);
  EXPECT_EQ(empty.out, "");
}

TEST_F(LvtoolTest, TomeTextIsShownAsUtf8AndTypedTextFound) {
  const std::string source = Path("accents.txt").string();
  WriteFile(source, "<new>Caf\xE9\r\nA \x93quoted\x94 word \x96 here.\r\n");
  ASSERT_EQ(Run({"import", source}).status, 0);
  const std::string tome = Path("accents.lv").string();
  EXPECT_EQ(Run({"list", tome}).out, "0\tCaf\xC3\xA9\tA \xE2\x80\x9Cquoted\xE2\x80\x9D word \xE2\x80\x93 here.\n");
  EXPECT_EQ(Run({"find", tome, "CAF\xC3\xA9"}).out, "0\tCaf\xC3\xA9\n");
  EXPECT_EQ(Run({"export-tagged", tome}).out, "Caf\xE9\tA \x93quoted\x94 word \x96 here.\r\n");
}

TEST_F(LvtoolTest, FilesThatAreNotTomesAreRefusedClearly) {
  const std::string missing = Path("x.lv").string();
  const Result r = Run({"info", missing});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("cannot open '" + missing + "': No such file or directory"), std::string::npos) << r.err;

  std::string future(16, '\0');
  AppendLE32(future, 2002);
  future += std::string(64, '\0');
  WriteFile(Path("future.lv"), future);
  const Result unsupported = Run({"list", Path("future.lv").string()});
  EXPECT_EQ(unsupported.status, 2);
  EXPECT_NE(unsupported.err.find("'" + Path("future.lv").string() + "' is not a tome this version can read"),
            std::string::npos)
      << unsupported.err;
}

TEST_F(LvtoolTest, UpgradeRewritesAVersion1TomeKeepingEveryEntry) {
  const std::string old = Path("old.lv").string();
  // Plain text (base version 1); the second entry is empty.
  WriteFile(old, lv::test::AssembleVersion1Tome({{"alpha", "first entry"}, {"beta", ""}}, 1));
  const Result before = Run({"info", old});
  ASSERT_EQ(before.status, 0) << before.err;
  EXPECT_NE(before.out.find("version 1"), std::string::npos);

  const Result upgrade = Run({"upgrade", old});
  ASSERT_EQ(upgrade.status, 0) << upgrade.err;
  const Result after = Run({"list", old});
  EXPECT_EQ(after.out, "0\talpha\tfirst entry\n1\tbeta\t\n") << after.err;
  EXPECT_NE(Run({"info", old}).out.find("current (version 2001)"), std::string::npos);

  const Result again = Run({"upgrade", old});
  EXPECT_EQ(again.status, 0);
  EXPECT_NE(again.out.find("already"), std::string::npos);
}

TEST_F(LvtoolTest, ImportsDictdAndStarDictDictionariesByTheirFiles) {
  // dictd: "headword TAB offset TAB length" in base-64 digits, the texts in NAME.dict.
  WriteFile(Path("tiny.dict"), "00-database-short\n Tiny\nbeta\n  the second letter\nalpha\n  the first letter\n");
  WriteFile(Path("tiny.index"), "00-database-short\tA\tY\nalpha\tx\tZ\nbeta\tY\tZ\n");
  const Result dictd = Run({"import", Path("tiny.index").string()});
  ASSERT_EQ(dictd.status, 0) << dictd.err;
  EXPECT_NE(dictd.out.find("Dictionary:   \tTiny\nNumber of subjects:   \t2\nFile sorted status:       \tYes"),
            std::string::npos)
      << dictd.out;
  const Result shown = Run({"show", Path("tiny.lv").string(), "alpha"});
  EXPECT_NE(shown.out.find("the first letter"), std::string::npos) << shown.out;

  // StarDict: NAME.ifo, NAME.idx (word, 0x00, 32-bit offset and size), NAME.dict.
  std::string idx = std::string("gamma", 6);
  lv::AppendBE32(idx, 0);
  lv::AppendBE32(idx, 5);
  WriteFile(Path("g.idx"), idx);
  WriteFile(Path("g.dict"), "third");
  WriteFile(Path("g.ifo"), "StarDict's dict ifo file\nversion=2.4.2\nbookname=G\nwordcount=1\nidxfilesize=" +
                               std::to_string(idx.size()) + "\nsametypesequence=m\n");
  const Result stardict = Run({"import", Path("g.ifo").string(), "-o", Path("g-tome.lv").string()});
  ASSERT_EQ(stardict.status, 0) << stardict.err;
  EXPECT_NE(stardict.out.find("Number of subjects:   \t1"), std::string::npos) << stardict.out;

  // A missing file of the set is named; --sort does not apply.
  fs::remove(Path("g.dict"));
  const Result missing = Run({"import", Path("g.ifo").string()});
  EXPECT_EQ(missing.status, 2);
  EXPECT_NE(missing.err.find(Path("g.dict").string()), std::string::npos) << missing.err;
  EXPECT_EQ(Run({"import", Path("tiny.index").string(), "--sort"}).status, 1);
}

}  // namespace
