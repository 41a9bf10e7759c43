// ImportDictionary: dictd and StarDict sets made here, in every packing, imported and read back
// through the tome reader; the results; damaged sets that fail naming the file or keep the entries
// that could be read and count the rest.
#include "dictionaries/dictionary_import.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dictionary_test_support.h"

namespace lv {
namespace {

using namespace dict_test;

DictionaryImportOutcome Import(const std::string& source, const std::string& tome) {
  return ImportDictionary(source, tome, DictionaryKindFromPath(source), nullptr);
}

TEST(DictionaryImportTest, KindFromPathAndFilters) {
  EXPECT_EQ(DictionaryKindFromPath("/usr/share/dictd/wn.index"), DictionaryKind::kDictd);
  EXPECT_EQ(DictionaryKindFromPath("WN.INDEX"), DictionaryKind::kDictd);
  EXPECT_EQ(DictionaryKindFromPath("dicts/foo.ifo"), DictionaryKind::kStarDict);
  EXPECT_EQ(DictionaryKindFromPath("foo.idx"), DictionaryKind::kNone);
  EXPECT_EQ(DictionaryKindFromPath("index"), DictionaryKind::kNone);
  EXPECT_EQ(DictionaryKindFromPath("words.tab"), DictionaryKind::kNone);
  EXPECT_EQ(kDictionaryFilters[0].pattern, "*.index");
  EXPECT_EQ(kDictionaryFilters[1].pattern, "*.ifo");
}

const std::vector<DictdEntry> kDictdEntries = {
    {"00-database-short", "00-database-short\n     Small Test Dictionary\n"},
    {"00-database-url", "00-database-url\n     http://example.org/\n"},
    {"apple", "Apple\n\n   The fruit of a tree; see {pear}.\n"},
    {"Caf\xC3\xA9",
     "Caf\xC3\xA9\n   A coffee house \xE2\x80\x94 in Polish kawiarnia \xC5\x82\xC3\xB3"
     "d\xC5\xBA.\n"},
    {"pear", "Pear\n   A fruit.\n"},
    {"pome", "Pear\n   A fruit.\n"},  // a second headword of the same text
};

TEST(DictionaryImportTest, DictdInEveryPacking) {
  for (Packing packing : {Packing::kPlain, Packing::kDictzip, Packing::kGzip}) {
    TempDir dir;
    const std::string index = WriteDictd(dir.File("small"), kDictdEntries, packing);
    const DictionaryImportOutcome outcome = Import(index, dir.File("small.lv"));
    ASSERT_TRUE(outcome.import.status.IsOk()) << outcome.import.status.ToString();
    EXPECT_EQ(outcome.title, "Small Test Dictionary");
    EXPECT_EQ(outcome.import.entryCount, 4);
    EXPECT_EQ(outcome.import.sortedFlag, 1);
    EXPECT_EQ(outcome.unreadableEntries, 0);
    EXPECT_EQ(outcome.replacedCharacters, 0);
    EXPECT_EQ(ReadTome(dir.File("small.lv")), (std::vector<TomeEntry>{
                                                  {"apple", "The fruit of a tree; see \t\x11pear\t\x12."},
                                                  {"Caf\xE9",
                                                   "A coffee house \x97 in Polish kawiarnia l\xF3"
                                                   "dz."},
                                                  {"pear", "A fruit."},
                                                  {"pome",
                                                   "Pear\t\x08\xA0\xA0\xA0"
                                                   "A fruit."},
                                              }))
        << int(packing);
  }
}

std::string Field(char type, std::string_view text) { return std::string(1, type) + std::string(text) + '\0'; }

TEST(DictionaryImportTest, StarDictInEveryLayout) {
  struct Layout {
    std::string version;
    int offsetBits;
    Packing dict;
    bool indexGzip;
  };
  const std::vector<Layout> layouts = {
      {"2.4.2", 32, Packing::kPlain, false},
      {"3.0.0", 64, Packing::kDictzip, false},
      {"3.0.0", 32, Packing::kGzip, true},
  };
  for (const Layout& layout : layouts) {
    TempDir dir;
    StarDictSet set;
    set.version = layout.version;
    set.offsetBits = layout.offsetBits;
    set.dictPacking = layout.dict;
    set.indexGzip = layout.indexGzip;
    set.entries = {{"apple", "a fruit\nof trees"}, {"Beta", "second letter"}, {"\xD0\xB4\xD0\xB0", "yes"}};
    set.synonyms = {{"alpha", 1}, {"ringo", 0}};
    const DictionaryImportOutcome outcome = Import(WriteStarDict(dir.File("words"), set), dir.File("words.lv"));
    ASSERT_TRUE(outcome.import.status.IsOk()) << outcome.import.status.ToString();
    EXPECT_EQ(outcome.title, "Small Words");
    EXPECT_EQ(outcome.synonyms, 2);
    EXPECT_TRUE(outcome.notes.empty()) << outcome.notes.front();
    // The index sorts by UTF-8 bytes; the transliterated subject "da" comes out of order.
    EXPECT_EQ(outcome.import.sortedFlag, 0);
    EXPECT_EQ(outcome.import.firstOutOfOrder, "da");
    EXPECT_EQ(ReadTome(dir.File("words.lv")), (std::vector<TomeEntry>{
                                                  {"alpha",
                                                   "See \t\x11"
                                                   "Beta\t\x12"},
                                                  {"apple", "a fruit\t\x08of trees"},
                                                  {"Beta", "second letter"},
                                                  {"ringo",
                                                   "See \t\x11"
                                                   "apple\t\x12"},
                                                  {"da", "yes"},
                                              }))
        << layout.version << " " << layout.offsetBits;
  }
}

TEST(DictionaryImportTest, StarDictFieldTypes) {
  TempDir dir;
  StarDictSet set;
  set.sameTypeSequence = "";
  set.entries = {
      {"cat", Field('t', "k\xC3\xA6t") + Field('m', "a small animal")},
      {"dog", Field('h', "<b>loyal</b> see <a href=\"bword://cat\">cat</a><img src=\"dog.png\">")},
      {"eel",
       Field('x', "<k>eel</k>\n<kref>fish</kref>") + "W" + std::string("\0\0\0\3abc", 7) + Field('r', "a.png\nb.wav")},
      {"fox", Field('g', "<span weight=\"bold\">red</span> fox")},
  };
  const DictionaryImportOutcome outcome = Import(WriteStarDict(dir.File("types"), set), dir.File("types.lv"));
  ASSERT_TRUE(outcome.import.status.IsOk()) << outcome.import.status.ToString();
  EXPECT_EQ(outcome.skippedResources, 4);  // the picture, the sound field and the two listed files
  EXPECT_EQ(ReadTome(dir.File("types.lv")), (std::vector<TomeEntry>{
                                                {"cat",
                                                 "[k\xE6t]\t\x08"
                                                 "a small animal"},
                                                {"dog",
                                                 "\t\x01loyal\t\x02 see \t\x11"
                                                 "cat\t\x12"},
                                                {"eel",
                                                 "\t\x01"
                                                 "eel\t\x02\t\x08\t\x11"
                                                 "fish\t\x12"},
                                                {"fox", "\t\x01red\t\x02 fox"},
                                            }));

  // A same-type sequence of two fields: the first ends with 0x00, the last runs to the entry's end.
  set.sameTypeSequence = "tm";
  set.entries = {{"owl", std::string("a\xC5\xABl\0a bird", 11)}};
  ASSERT_TRUE(Import(WriteStarDict(dir.File("seq"), set), dir.File("seq.lv")).import.status.IsOk());
  EXPECT_EQ(ReadTome(dir.File("seq.lv")), (std::vector<TomeEntry>{{"owl",
                                                                   "[aul]\t\x08"
                                                                   "a bird"}}));
}

TEST(DictionaryImportTest, ResultsText) {
  DictionaryImportOutcome outcome;
  outcome.title = "Small";
  outcome.import.entryCount = 7;
  outcome.synonyms = 2;
  outcome.unreadableEntries = 1;
  outcome.replacedCharacters = 3;
  outcome.skippedResources = 4;
  outcome.notes = {"'x.ifo' gives 8 words; the index has 7."};
  EXPECT_EQ(FormatDictionaryImportResults(outcome),
            "Dictionary:   \tSmall\nNumber of subjects:   \t7\nFile sorted status:       \tYes\nSynonyms:   \t2"
            "\n\nNote: 1 entries could not be read and were left out."
            "\n\nNote: 3 characters have no Windows-1252 form and were replaced with \"?\"."
            "\n\nNote: 4 pictures, sounds and other files were skipped."
            "\n\nNote: 'x.ifo' gives 8 words; the index has 7.");
}

TEST(DictionaryImportTest, ReplacedCharactersAreCounted) {
  TempDir dir;
  StarDictSet set;
  set.entries = {{"\xE6\xBC\xA2", "kan \xE6\xBC\xA2\xE5\xAD\x97"}};
  const DictionaryImportOutcome outcome = Import(WriteStarDict(dir.File("cjk"), set), dir.File("cjk.lv"));
  ASSERT_TRUE(outcome.import.status.IsOk());
  EXPECT_EQ(outcome.replacedCharacters, 3);
  EXPECT_EQ(ReadTome(dir.File("cjk.lv")), (std::vector<TomeEntry>{{"?", "kan ??"}}));
}

// A damaged set either fails with a message naming the file (and leaves the old tome alone), or
// keeps the entries that could be read and counts the rest.
TEST(DictionaryImportTest, DamagedSets) {
  struct Case {
    std::string name;
    std::string source;     // the file to import
    std::string namedFile;  // the file a failure must name; empty when the import succeeds
    int entries = 0;        // when it succeeds
    int64_t unreadable = 0;
    size_t notes = 0;
  };
  TempDir dir;
  auto base = [&](const std::string& name) { return dir.File(name); };
  std::vector<Case> cases;

  // dictd: an index pointing past the end of the text, a line that is not an index line, a cut
  // dictzip file, a missing definitions file, a missing index.
  WriteDictd(base("past"), kDictdEntries, Packing::kDictzip);
  WriteFile(base("past.index"), ReadFile(base("past.index")) + "zebra\tBAAA\tZ\n");
  cases.push_back({"index past the end", base("past.index"), "", 4, 1});
  WriteDictd(base("garbled"), kDictdEntries, Packing::kPlain);
  WriteFile(base("garbled.index"), ReadFile(base("garbled.index")) + "no tabs here\nbad\t!!\tA\n");
  cases.push_back({"garbled lines", base("garbled.index"), "", 4, 2});
  std::vector<DictdEntry> many;
  for (int i = 0; i < 40; ++i)
    many.push_back({"w" + std::to_string(100 + i), "text number " + std::to_string(i) + "\n"});
  WriteDictd(base("cut"), many, Packing::kDictzip);
  const std::string dz = ReadFile(base("cut.dict.dz"));
  WriteFile(base("cut.dict.dz"), dz.substr(0, dz.size() / 2));
  cases.push_back({"cut dictzip", base("cut.index"), "", -1, -1});
  WriteDictd(base("cutgz"), many, Packing::kGzip);
  const std::string gz = ReadFile(base("cutgz.dict.dz"));
  WriteFile(base("cutgz.dict.dz"), gz.substr(0, gz.size() / 2));
  cases.push_back({"cut gzip", base("cutgz.index"), "", -1, -1});
  WriteDictd(base("lost"), kDictdEntries, Packing::kPlain);
  std::filesystem::remove(base("lost.dict"));
  cases.push_back({"missing dict", base("lost.index"), "lost.dict.dz", 0, 0});
  cases.push_back({"missing index", base("none.index"), "none.index", 0, 0});
  WriteDictd(base("alltoofar"), {{"a", "x"}}, Packing::kPlain);
  WriteFile(base("alltoofar.index"), "a\tZZZ\tB\n");
  cases.push_back({"no entry readable", base("alltoofar.index"), "alltoofar.dict", 0, 0});

  // StarDict: a wrong word count (more, and fewer, than the index holds), a wrong index size, a cut
  // index, a synonym naming no word, missing files, a bad .ifo and an unknown version.
  StarDictSet set;
  set.entries = {{"a", "one"}, {"b", "two"}, {"c", "three"}};
  set.wordCountAdjust = 2;
  cases.push_back({"word count too high", WriteStarDict(base("more"), set), "", 3, 2, 1});
  set.wordCountAdjust = -1;
  cases.push_back({"word count too low", WriteStarDict(base("fewer"), set), "", 3, 0, 1});
  set.wordCountAdjust = 0;
  set.indexSizeAdjust = 7;
  cases.push_back({"index size wrong", WriteStarDict(base("size"), set), "", 3, 0, 1});
  set.indexSizeAdjust = 0;
  WriteStarDict(base("cutidx"), set);
  const std::string idx = ReadFile(base("cutidx.idx"));
  WriteFile(base("cutidx.idx"), idx.substr(0, idx.size() - 3));
  cases.push_back({"cut index", base("cutidx.ifo"), "", 2, 1, 3});
  set.synonyms = {{"zz", 9}};
  cases.push_back({"synonym of nothing", WriteStarDict(base("syn"), set), "", 3, 1, 0});
  set.synonyms.clear();
  set.entries.push_back({"d", ""});
  WriteStarDict(base("farout"), set);
  WriteFile(base("farout.dict"), "onetwo");
  cases.push_back({"entries past the text", base("farout.ifo"), "", 2, 2});
  set.entries.pop_back();
  WriteStarDict(base("noidx"), set);
  std::filesystem::remove(base("noidx.idx"));
  cases.push_back({"missing idx", base("noidx.ifo"), "noidx.idx.gz", 0, 0});
  WriteStarDict(base("nodict"), set);
  std::filesystem::remove(base("nodict.dict"));
  cases.push_back({"missing dict", base("nodict.ifo"), "nodict.dict", 0, 0});
  WriteStarDict(base("magic"), set);
  WriteFile(base("magic.ifo"), "Not a dictionary\nwordcount=3\n");
  cases.push_back({"bad ifo", base("magic.ifo"), "magic.ifo", 0, 0});
  set.version = "1.0";
  cases.push_back({"unknown version", WriteStarDict(base("old"), set), "old.ifo", 0, 0});
  set.version = "2.4.2";
  WriteStarDict(base("count"), set);
  WriteFile(base("count.ifo"), "StarDict's dict ifo file\nversion=2.4.2\nwordcount=three\nidxfilesize=1\n");
  cases.push_back({"wordcount not a number", base("count.ifo"), "count.ifo", 0, 0});

  for (const Case& c : cases) {
    const std::string tome = dir.File("out.lv");
    WriteFile(tome, "old tome");
    const DictionaryImportOutcome outcome = Import(c.source, tome);
    if (!c.namedFile.empty()) {
      EXPECT_FALSE(outcome.import.status.IsOk()) << c.name;
      EXPECT_NE(outcome.import.status.Message().find(c.namedFile), std::string::npos)
          << c.name << ": " << outcome.import.status.ToString();
      EXPECT_EQ(ReadFile(tome), "old tome") << c.name;
      continue;
    }
    ASSERT_TRUE(outcome.import.status.IsOk()) << c.name << ": " << outcome.import.status.ToString();
    const std::vector<TomeEntry> entries = ReadTome(tome);
    EXPECT_EQ(int(entries.size()), outcome.import.entryCount) << c.name;
    if (c.entries >= 0) {
      EXPECT_EQ(outcome.import.entryCount, c.entries) << c.name;
      EXPECT_EQ(outcome.unreadableEntries, c.unreadable) << c.name;
      EXPECT_EQ(outcome.notes.size(), c.notes) << c.name;
    } else {  // some entries were read, the others counted
      EXPECT_GT(outcome.import.entryCount, 0) << c.name;
      EXPECT_GT(outcome.unreadableEntries, 0) << c.name;
      EXPECT_EQ(outcome.import.entryCount + outcome.unreadableEntries, 40) << c.name;
      EXPECT_EQ(outcome.notes.size(), c.name == "cut gzip" ? 1u : 0u) << c.name;
    }
  }
}

// Asks to stop once the first entry has been reported, so the readers are in their loops.
class StopAfterFirstEntry : public Progress {
 public:
  void SetRange(int64_t, int64_t) override {}
  void SetPosition(int64_t position) override { m_stop = m_stop || position > 0; }
  void SetStep(int64_t) override {}
  void Step() override {}
  void WritingStarted() override { writingStarted = true; }
  bool CancelRequested() const override { return m_stop; }
  bool writingStarted = false;

 private:
  bool m_stop = false;
};

// A cancelled import fails as Cancelled before anything is written and leaves the old tome alone.
TEST(DictionaryImportTest, CancelStopsTheReaders) {
  std::vector<DictdEntry> dictd;
  StarDictSet stardict;
  for (int i = 0; i < 50; ++i) {
    const std::string word = "w" + std::to_string(100 + i);
    dictd.push_back({word, "text " + word + "\n"});
    stardict.entries.push_back({word, "text " + word});
  }
  TempDir dir;
  for (const std::string& source :
       {WriteDictd(dir.File("d"), dictd, Packing::kDictzip), WriteStarDict(dir.File("s"), stardict)}) {
    const std::string tome = dir.File("out.lv");
    WriteFile(tome, "old tome");
    StopAfterFirstEntry progress;
    const DictionaryImportOutcome outcome = ImportDictionary(source, tome, DictionaryKindFromPath(source), &progress);
    EXPECT_TRUE(outcome.import.status.IsCancelled()) << source << ": " << outcome.import.status.ToString();
    EXPECT_FALSE(progress.writingStarted) << source;
    EXPECT_EQ(ReadFile(tome), "old tome") << source;
  }
  for (const auto& file : std::filesystem::directory_iterator(dir.Path()))
    EXPECT_NE(file.path().filename().string().rfind(".out.lv", 0), 0u) << file.path();
}

}  // namespace
}  // namespace lv
