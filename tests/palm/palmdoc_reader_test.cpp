#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "palm/palm_applications.h"
#include "palm/palmdoc_codec.h"
#include "palm/palmdoc_reader.h"
#include "pdb_test_file.h"

namespace lv {
namespace {

using palmtest::Bytes;

Bytes B(std::string_view s) { return Bytes(s.begin(), s.end()); }

Bytes DocHeader(uint16_t compression, uint32_t textLength, uint16_t records) {
  Bytes h;
  palmtest::PutBe16(h, compression);
  palmtest::PutBe16(h, 0);
  palmtest::PutBe32(h, textLength);
  palmtest::PutBe16(h, records);
  palmtest::PutBe16(h, 4096);
  palmtest::PutBe32(h, 0);
  return h;
}

class PalmDocReaderTest : public ::testing::Test {
 protected:
  // Writes a PalmDOC of the given text records and opens it.
  bool Open(uint16_t compression, uint32_t textLength, const std::vector<Bytes>& texts,
            const std::string& type = "TEXt", const std::string& creator = "REAd") {
    std::vector<Bytes> records{DocHeader(compression, textLength, static_cast<uint16_t>(texts.size()))};
    records.insert(records.end(), texts.begin(), texts.end());
    const std::string path = dir.File("doc.pdb");
    palmtest::WriteAll(path, palmtest::MakePdb("doc", type, creator, records));
    return reader.Open(path).IsOk();
  }
  static Bytes Compress(std::string_view s) {
    Bytes out(PalmDocMaxCompressedSize(s.size()));
    out.resize(PalmDocCompress(reinterpret_cast<const uint8_t*>(s.data()), s.size(), out.data()));
    return out;
  }

  palmtest::TempDir dir;
  PalmDocReader reader;
};

TEST_F(PalmDocReaderTest, JoinsUncompressedAndCompressedRecords) {
  ASSERT_TRUE(Open(1, 9, {B("one"), B("two"), B("six")}));
  EXPECT_EQ(reader.Text(), "onetwosix");
  const std::string a = "the quick brown fox jumps over the lazy dog; the quick brown fox";
  ASSERT_TRUE(Open(2, static_cast<uint32_t>(2 * a.size()), {Compress(a), Compress(a)}));
  EXPECT_EQ(reader.Text(), a + a);
}

TEST_F(PalmDocReaderTest, TextIsBoundedByRecordZeroAndDamageDoesNotOverrun) {
  // Records that decode to more than record 0 says are cut to its length.
  ASSERT_TRUE(Open(1, 4, {B("abcdef"), B("ghi")}));
  EXPECT_EQ(reader.Text(), "abcd");
  // A length far above what the records hold yields what they hold.
  ASSERT_TRUE(Open(1, 0xFFFFFFF0u, {B("abc")}));
  EXPECT_EQ(reader.Text(), "abc");
  // A record count above the records present reads the records present.
  std::vector<Bytes> records{DocHeader(2, 100, 9), Bytes{'x', 0x80, 0x50}, Bytes{0xFF}};
  palmtest::WriteAll(dir.File("d.pdb"), palmtest::MakePdb("doc", "TEXt", "REAd", records));
  ASSERT_TRUE(reader.Open(dir.File("d.pdb")).IsOk());
  EXPECT_EQ(reader.Text(), "x \x7F");
}

TEST_F(PalmDocReaderTest, KeepsNulBytesAndRefusesAnUnknownCompression) {
  const std::string withNul("\0head\0tail", 10);
  ASSERT_TRUE(Open(1, 10, {B(withNul)}));
  EXPECT_EQ(reader.Text(), withNul);
  ASSERT_TRUE(Open(2, 10, {Compress(withNul)}));
  EXPECT_EQ(reader.Text(), withNul);
  EXPECT_EQ(reader.Find("tail", false, false), 6);
  for (const uint16_t compression : {uint16_t{0}, uint16_t{3}, uint16_t{17480}}) {
    const std::string path = dir.File("doc.pdb");
    EXPECT_FALSE(Open(compression, 3, {B("abc")}));
    const Status status = reader.Open(path);
    EXPECT_EQ(status.Code(), StatusCode::kNotSupported);
    EXPECT_NE(status.Message().find("compression of the text is unknown (" + std::to_string(compression) + ")"),
              std::string::npos)
        << status.Message();
    EXPECT_EQ(reader.Text(), "");
  }
}

TEST_F(PalmDocReaderTest, RefusesOtherDatabasesButKeepsTheirTypeAndCreator) {
  EXPECT_FALSE(Open(1, 3, {B("abc")}, "TEXt", "TlDc"));
  EXPECT_EQ(reader.LastType(), "TEXt");
  EXPECT_EQ(reader.LastCreator(), "TlDc");
  EXPECT_EQ(PalmApplicationName(reader.LastType(), reader.LastCreator()), "TealDoc");
  EXPECT_FALSE(Open(1, 3, {B("abc")}, "LiVa", "LVPW"));
  EXPECT_EQ(reader.LastType(), "LiVa");
  EXPECT_EQ(reader.Open(dir.File("missing.pdb")).Code(), StatusCode::kIoError);
  palmtest::WriteAll(dir.File("short.pdb"), Bytes(40, 'x'));
  const Status shortFile = reader.Open(dir.File("short.pdb"));
  EXPECT_EQ(shortFile.Code(), StatusCode::kCorruption);
  EXPECT_EQ(shortFile.Message(), dir.File("short.pdb") + ": the file is shorter than a Palm database header");
}

TEST(PalmApplications, NamesByTypeAndCreatorTogether) {
  EXPECT_EQ(PalmApplicationName("Data", "Plkr"), "Plucker");
  EXPECT_EQ(PalmApplicationName("Data", "Mdb1"), "Unknown");
  EXPECT_EQ(PalmApplicationName("Mdb1", "Mdb1"), "MobileDB");
  EXPECT_EQ(PalmApplicationName("data", "TDBP"), "ThinkDB");
  EXPECT_EQ(PalmApplicationName("DATA", "TDBP"), "Unknown");
  EXPECT_EQ(PalmApplicationName("BDOC", "WrdS"), "WordSmith");
  EXPECT_EQ(std::size(kPalmApplications), 18u);
}

TEST_F(PalmDocReaderTest, FindMarksOneMatchAndFindNextWraps) {
  ASSERT_TRUE(Open(1, 23, {B("cat dog cat bird cat.")}));
  const std::string open = kFindOpeningMark;
  const std::string close = kFindClosingMark;
  EXPECT_EQ(reader.Find("cat", false, true), 0);
  EXPECT_EQ(reader.Text(), open + "cat" + close + " dog cat bird cat.");
  EXPECT_EQ(reader.Find("", true, true), 8);
  EXPECT_EQ(reader.Text(), "cat dog " + open + "cat" + close + " bird cat.");
  EXPECT_EQ(reader.Find("", true, true), 17);
  // After the last match find-next wraps to the first.
  EXPECT_EQ(reader.Find("", true, true), 0);
  EXPECT_EQ(reader.Text(), open + "cat" + close + " dog cat bird cat.");
  // No match keeps the state; the earlier marks are gone.
  EXPECT_EQ(reader.Find("cow", false, true), -1);
  EXPECT_EQ(reader.Text(), "cat dog cat bird cat.");
  EXPECT_EQ(reader.Find("", true, false), 8);
  EXPECT_EQ(reader.Find("", false, false), -1);
  // Case matters.
  EXPECT_EQ(reader.Find("Dog", false, false), -1);
  // The find state belongs to the reader, not to one document: find-next in the next document
  // searches the remembered text from the remembered position (11, after the match at 8).
  ASSERT_TRUE(Open(1, 17, {B("x cat y cat z cat")}));
  EXPECT_EQ(reader.Find("", true, false), 14);
  EXPECT_EQ(reader.Find("", true, false), 2);
  // A position beyond a shorter text is searched from 0 there, but a failed search keeps it.
  ASSERT_TRUE(Open(1, 20, {B("cat "), B(std::string(12, '.') + "cat.")}));
  EXPECT_EQ(reader.Find("", true, false), 16);  // remembered position 19
  ASSERT_TRUE(Open(1, 5, {B("a dog")}));
  EXPECT_EQ(reader.Find("", true, false), -1);
  ASSERT_TRUE(Open(1, 24, {B("cat cat cat cat cat cat ")}));
  EXPECT_EQ(reader.Find("", true, false), 20);
}

TEST_F(PalmDocReaderTest, FindTakesOutOnlyTheMarksItPutIn) {
  const std::string open = kFindOpeningMark;
  const std::string close = kFindClosingMark;
  // A page about HTML quotes the mark texts themselves.
  const std::string text = "x " + open + "y" + close + " cat z " + close + " cat";
  ASSERT_TRUE(Open(1, static_cast<uint32_t>(text.size()), {B(text)}));
  EXPECT_EQ(reader.Find("cat", false, false), static_cast<int>(text.find("cat")));
  EXPECT_EQ(reader.Text(), text);
  EXPECT_EQ(reader.Find("cat", false, true), static_cast<int>(text.rfind("cat")));
  EXPECT_EQ(reader.Text(), text.substr(0, text.rfind("cat")) + open + "cat" + close);
  EXPECT_EQ(reader.Find("", true, true), static_cast<int>(text.find("cat")));
  const size_t first = text.find("cat");
  EXPECT_EQ(reader.Text(), text.substr(0, first) + open + "cat" + close + text.substr(first + 3));
  EXPECT_EQ(reader.Find("", true, false), static_cast<int>(text.rfind("cat")));
  EXPECT_EQ(reader.Text(), text);
}

}  // namespace
}  // namespace lv
