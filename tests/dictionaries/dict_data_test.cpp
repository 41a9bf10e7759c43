// DictData: random reads of a definitions file that is plain, gzip or dictzip, across chunk
// boundaries and in any order, and the failures of damaged files, each naming the file.
#include "dictionaries/dict_data.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dictionary_test_support.h"

namespace lv::dict {
namespace {

using namespace dict_test;

// Letters in a pseudo-random order, so that the text compresses only a little.
std::string Alphabet(size_t length) {
  std::string text;
  uint32_t state = 12345;
  for (size_t i = 0; i < length; ++i) {
    state = state * 1103515245u + 12345u;
    text.push_back(char('a' + (state >> 16) % 26));
  }
  return text;
}

TEST(DictDataTest, ReadsEveryPackingAnywhere) {
  const std::string text = Alphabet(1000);
  struct Span {
    uint64_t offset, length;
  };
  const std::vector<Span> spans = {{990, 10}, {0, 1}, {60, 10}, {63, 2}, {0, 1000}, {640, 128}, {500, 0}, {999, 1}};
  for (Packing packing : {Packing::kPlain, Packing::kGzip, Packing::kDictzip}) {
    TempDir dir;
    WriteFile(dir.File("w.dict"), Packed(text, packing, 64));
    DictData data;
    ASSERT_TRUE(data.Open(dir.File("w.dict")).IsOk());
    EXPECT_EQ(data.IsDictzip(), packing == Packing::kDictzip);
    std::string out;
    for (const Span& span : spans) {
      ASSERT_TRUE(data.Read(span.offset, span.length, out).IsOk()) << span.offset;
      EXPECT_EQ(out, text.substr(span.offset, span.length)) << span.offset;
    }
  }
}

TEST(DictDataTest, ManyChunksOutlastTheCache) {
  const std::string text = Alphabet(64 * 40 + 17);
  TempDir dir;
  WriteFile(dir.File("w.dict.dz"), Dictzip(text, 64));
  DictData data;
  ASSERT_TRUE(data.Open(dir.File("w.dict.dz")).IsOk());
  std::string out;
  for (uint64_t offset : {uint64_t(2000), uint64_t(5), uint64_t(2470), uint64_t(1000), uint64_t(5)}) {
    ASSERT_TRUE(data.Read(offset, 100, out).IsOk());
    EXPECT_EQ(out, text.substr(offset, 100));
  }
}

TEST(DictDataTest, DamagedFilesFailNamingTheFile) {
  const std::string text = Alphabet(1000);
  const std::string dictzip = Dictzip(text, 64);
  struct Case {
    std::string name;
    std::string bytes;
    uint64_t offset, length;
    bool opens;
  };
  const std::vector<Case> cases = {
      {"past-end-plain", text, 995, 10, true},
      {"past-end-dictzip", dictzip, 990, 11, true},
      {"far-past-end", dictzip, uint64_t(1) << 40, 1, true},
      {"wrapping-range", dictzip, ~uint64_t(0) - 2, 5, true},
      {"cut-dictzip", dictzip.substr(0, dictzip.size() / 2), 900, 10, true},
      {"cut-gzip", Gzip(text).substr(0, 300), 900, 10, true},
      {"cut-header", dictzip.substr(0, 15), 0, 1, false},
      {"garbled-chunk", dictzip.substr(0, 200) + std::string(40, 'x') + dictzip.substr(240), 0, 1000, true},
  };
  for (const Case& c : cases) {
    TempDir dir;
    const std::string path = dir.File(c.name + ".dict.dz");
    WriteFile(path, c.bytes);
    DictData data;
    const Status opened = data.Open(path);
    ASSERT_EQ(opened.IsOk(), c.opens) << c.name << ": " << opened.ToString();
    Status failed = opened;
    std::string out;
    if (c.opens) failed = data.Read(c.offset, c.length, out);
    EXPECT_FALSE(failed.IsOk()) << c.name;
    EXPECT_NE(failed.Message().find(path), std::string::npos) << failed.ToString();
  }
}

TEST(DictDataTest, MissingFileIsNotFound) {
  TempDir dir;
  DictData data;
  const Status opened = data.Open(dir.File("none.dict"));
  EXPECT_EQ(opened.Code(), StatusCode::kNotFound);
  EXPECT_NE(opened.Message().find("none.dict"), std::string::npos);
}

}  // namespace
}  // namespace lv::dict
