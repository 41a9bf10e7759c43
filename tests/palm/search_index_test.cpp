#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "palm/palm_codecs.h"
#include "palm/search_index.h"
#include "palm/subject_cache.h"
#include "pdb_test_file.h"

namespace lv {
namespace {

using palmtest::Be16;
using palmtest::Bytes;

struct WordRecord {
  int count = 0;
  std::vector<std::pair<std::string, Bytes>> entries;  // word, bitmap
};

// Decodes a word record by its layout: count, compressed length, 0, the zlib bytes, one 0 byte.
WordRecord DecodeWordRecord(const Bytes& record, int bitmapBits) {
  WordRecord w;
  w.count = static_cast<int>(Be16(record, 0));
  const size_t c = Be16(record, 2);
  EXPECT_EQ(Be16(record, 4), 0u);
  EXPECT_EQ(record.size(), c + 7);
  EXPECT_EQ(record.back(), 0);
  Bytes raw;
  EXPECT_TRUE(ZlibDecompress(record.data() + 6, c, 1 << 16, raw));
  const size_t entrySize = 3 + bitmapBits / 8;
  EXPECT_EQ(raw.size(), entrySize * w.count);
  for (size_t at = 0; at + entrySize <= raw.size(); at += entrySize) {
    std::string word(raw.begin() + at, raw.begin() + at + 3);
    word.resize(word.find('\0') == std::string::npos ? 3 : word.find('\0'));
    w.entries.emplace_back(word, Bytes(raw.begin() + at + 3, raw.begin() + at + entrySize));
  }
  return w;
}

bool BitSet(const Bytes& bitmap, int k) { return bitmap[k / 8] & (0x80 >> (k % 8)); }

TEST(SearchWordIndex, WidensTheBitmapWhenSubjectsAreFew) {
  // Default (25 bytes, M = 200) with 150 subjects: M becomes 152 and every subject has its own bit.
  SearchWordIndex index(150, 200);
  EXPECT_EQ(index.BitmapBits(), 152);
  EXPECT_EQ(index.SubjectsPerBit(), 1);
  SearchWordIndex large(1000, 80);
  EXPECT_EQ(large.BitmapBits(), 80);
  EXPECT_EQ(large.SubjectsPerBit(), 13);
}

TEST(SearchWordIndex, WordsAreTrigramsOfTokensWithOredBitmaps) {
  SearchWordIndex index(20, 200);  // widened to 24 bits, one subject per bit
  ASSERT_EQ(index.BitmapBits(), 24);
  index.AddText(0, "Cats, a DOG");
  index.AddText(5, "cat\t\x01x 9 caf\xE9");
  SearchRecords records;
  ASSERT_TRUE(index.MakeRecords(records, nullptr));
  ASSERT_EQ(records.header.size(), 64u);
  EXPECT_EQ(Be16(records.header, 0), 1u);
  EXPECT_EQ(Be16(records.header, 2), 24u);
  const size_t w = Be16(records.header, 4);
  ASSERT_EQ(w, records.words.size());
  std::map<std::string, Bytes> words;
  std::vector<std::string> order;
  for (const Bytes& r : records.words) {
    for (auto& [word, bitmap] : DecodeWordRecord(r, 24).entries) {
      order.push_back(word);
      words[word] = bitmap;
    }
  }
  // "Cats" gives cat and ats; "caf\xE9" gives caf and af\xE9 (bytes above 127 belong to words).
  const std::vector<std::string> expected{"9", "a", "af\xE9", "ats", "caf", "cat", "dog", "x"};
  EXPECT_EQ(order, expected);
  EXPECT_TRUE(BitSet(words["cat"], 0));
  EXPECT_TRUE(BitSet(words["cat"], 5));
  EXPECT_FALSE(BitSet(words["dog"], 5));
  EXPECT_TRUE(BitSet(words["9"], 5));
  // Record 0 holds the words below "a"; each letter opens its record; others keep 0xFFFF.
  EXPECT_EQ(Be16(records.header, 6), 0u);
  EXPECT_EQ(Be16(records.header, 6 + 2 * 1), 1u);        // a
  EXPECT_EQ(Be16(records.header, 6 + 2 * 3), 2u);        // c
  EXPECT_EQ(Be16(records.header, 6 + 2 * 4), 3u);        // d
  EXPECT_EQ(Be16(records.header, 6 + 2 * 24), 4u);       // x
  EXPECT_EQ(Be16(records.header, 6 + 2 * 2), 0xFFFFu);   // b
  EXPECT_EQ(Be16(records.header, 6 + 2 * 27), 0xFFFFu);  // nothing above "z"
  EXPECT_EQ(Be16(records.header, 62), 0u);
  EXPECT_EQ(w, 5u);
}

TEST(SearchWordIndex, ListStartingWithALetterLeavesRecordZeroEmptyAndLongListsSplit) {
  SearchWordIndex index(8000, 4000);  // 500-byte bitmaps, two subjects per bit
  std::string text;
  for (char a = 'a'; a <= 'z'; ++a)
    for (char b = 'a'; b <= 'z'; ++b) text += std::string{'q', a, b, ' '};
  index.AddText(3, text + " \xF0");
  SearchRecords records;
  ASSERT_TRUE(index.MakeRecords(records, nullptr));
  EXPECT_EQ(DecodeWordRecord(records.words[0], 4000).count, 0);
  EXPECT_EQ(Be16(records.header, 6), 0xFFFFu);
  // 676 words of "q" at 503 bytes each split at 16382 bytes: 32 words per record.
  EXPECT_EQ(Be16(records.header, 6 + 2 * 17), 1u);
  EXPECT_EQ(DecodeWordRecord(records.words[1], 4000).count, 32);
  const size_t qRecords = (676 + 31) / 32;
  EXPECT_EQ(Be16(records.header, 6 + 2 * 27), 1 + qRecords);
  EXPECT_EQ(records.words.size(), 2 + qRecords);
}

TEST(SearchWordIndex, NoWordsMeansNoRecords) {
  SearchWordIndex index(0, 200);
  SearchRecords records;
  ASSERT_TRUE(index.MakeRecords(records, nullptr));
  EXPECT_EQ(Be16(records.header, 4), 0u);
  for (int e = 0; e < 28; ++e) EXPECT_EQ(Be16(records.header, 6 + 2 * e), 0xFFFFu);
}

TEST(SubjectCache, GroupsOfFiveHundredHeadsOfThirtyBytes) {
  SubjectCacheBuilder cache(nullptr);
  std::vector<std::string> subjects;
  for (int i = 0; i < 1001; ++i) subjects.push_back(std::string(i % 45, char('a' + i % 26)));
  for (const std::string& s : subjects) ASSERT_TRUE(cache.Add(s));
  ASSERT_TRUE(cache.Finish());
  const Bytes directory = cache.DirectoryRecord();
  EXPECT_EQ(Be16(directory, 0), 500u);
  EXPECT_EQ(Be16(directory, 2), 3u);
  ASSERT_EQ(cache.GroupRecords().size(), 3u);
  for (size_t g = 0; g < 3; ++g) {
    const Bytes& r = cache.GroupRecords()[g];
    const size_t c = Be16(r, 1002);
    ASSERT_EQ(r.size(), 1004 + c);
    Bytes raw;
    ASSERT_TRUE(ZlibDecompress(r.data() + 1004, c, 15000, raw));
    const size_t members = g < 2 ? 500 : 1;
    for (size_t k = 0; k < members; ++k) {
      const std::string& s = subjects[500 * g + k];
      const size_t from = Be16(r, 2 * k);
      const size_t to = Be16(r, 2 * (k + 1));
      EXPECT_EQ(std::string(raw.begin() + from, raw.begin() + to), s.substr(0, 30));
    }
    EXPECT_EQ(Be16(r, 2 * members), raw.size());
    for (size_t k = members + 1; k <= 500; ++k) EXPECT_EQ(Be16(r, 2 * k), 0u);
  }
}

}  // namespace
}  // namespace lv
