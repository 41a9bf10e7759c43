#include <gtest/gtest.h>

#include <cstdio>

#include "palm/pdb_container.h"
#include "pdb_test_file.h"
#include "tome/file_util.h"

namespace lv {
namespace {

using palmtest::Bytes;

TEST(PdbContainer, HeaderRecordListAndGapAreExact) {
  int64_t now = 1000;
  const UnixClock clock = [&now] { return now++; };
  const Bytes header = MakePdbHeader("My Tome", "LiVa", "LVPW", {402, 7}, clock);
  ASSERT_EQ(header.size(), 78u + 16 + 2);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(header.data())), "My Tome");
  for (size_t i = 7; i < 32; ++i) EXPECT_EQ(header[i], 0);
  EXPECT_EQ(palmtest::Be16(header, 32), 0u);
  EXPECT_EQ(palmtest::Be16(header, 34), 1u);
  // Dates count from 1904; the modification date comes from a second reading of the clock.
  EXPECT_EQ(palmtest::Be32(header, 36), 1000u + 2082844800u);
  EXPECT_EQ(palmtest::Be32(header, 40), 1001u + 2082844800u);
  for (size_t at = 44; at < 60; at += 4) EXPECT_EQ(palmtest::Be32(header, at), 0u);
  EXPECT_EQ(std::string(header.begin() + 60, header.begin() + 68), "LiVaLVPW");
  EXPECT_EQ(palmtest::Be32(header, 68), 0u);
  EXPECT_EQ(palmtest::Be32(header, 72), 0u);
  EXPECT_EQ(palmtest::Be16(header, 76), 2u);
  EXPECT_EQ(palmtest::Be32(header, 78), 96u);
  EXPECT_EQ(palmtest::Be32(header, 82), 0u);
  EXPECT_EQ(palmtest::Be32(header, 86), 96u + 402);
  EXPECT_EQ(header[94], 0x99);
  EXPECT_EQ(header[95], 0x99);
}

TEST(PdbContainer, DatesCountFromMidnightOfTheFirstOfJanuary1904) {
  // 1 January 1970 is 24107 days after 1 January 1904.
  const Bytes header = MakePdbHeader("x", "LiVa", "LVPW", {}, [] { return int64_t{0}; });
  EXPECT_EQ(palmtest::Be32(header, 36), 24107u * 86400u);
  struct Case {
    uint32_t stored;
    int64_t unixTime;
  };
  for (const Case& c : {Case{0x7C25B080u, 0x7C25B080}, Case{1234567890u, 1234567890},
                        Case{1234567890u + 2082844800u, 1234567890}, Case{0x80000000u, 0x80000000LL - 2082844800}}) {
    EXPECT_EQ(UnixTimeOfPalmDate(c.stored), c.unixTime) << c.stored;
  }
}

TEST(PdbContainer, LongNamesAreShortenedToFitWithTheirNul) {
  EXPECT_EQ(FitDatabaseName(std::string(31, 'a')), std::string(31, 'a'));
  EXPECT_EQ(FitDatabaseName(std::string(40, 'b')), std::string(31, 'b'));
  EXPECT_EQ(FitDatabaseName(std::string(30, 'c') + "\xA9z"), std::string(30, 'c') + "\xA9");
  const Bytes header = MakePdbHeader(std::string(50, 'd'), "LiVa", "LVPW", {}, [] { return 0; });
  EXPECT_EQ(header[30], 'd');
  EXPECT_EQ(header[31], 0);
}

class ContainerReadTest : public ::testing::Test {
 protected:
  Status Read(const Bytes& bytes, PdbContainer& container) {
    const std::string path = dir.File("x.pdb");
    palmtest::WriteAll(path, bytes);
    const File file = OpenFile(path, "rb");
    return ReadPdbContainer(file.get(), container);
  }
  palmtest::TempDir dir;
};

TEST_F(ContainerReadTest, ReadsRecordBoundsOfAWrittenDatabase) {
  const Bytes file = palmtest::MakePdb("doc", "TEXt", "REAd", {Bytes(16, 1), Bytes(), Bytes(5, 2)});
  PdbContainer c;
  const Status read = Read(file, c);
  ASSERT_TRUE(read.IsOk()) << read.ToString();
  EXPECT_EQ(c.header.name, "doc");
  EXPECT_EQ(c.header.type, "TEXt");
  EXPECT_EQ(c.header.creator, "REAd");
  ASSERT_EQ(c.RecordCount(), 3u);
  EXPECT_EQ(c.RecordSize(0), 16u);
  EXPECT_EQ(c.RecordSize(1), 0u);
  EXPECT_EQ(c.RecordSize(2), 5u);
}

TEST_F(ContainerReadTest, RefusesDamagedContainers) {
  const Bytes good = palmtest::MakePdb("doc", "TEXt", "REAd", {Bytes(16, 1), Bytes(5, 2)});
  struct Case {
    const char* what;
    Bytes bytes;
  } cases[] = {
      {"short header", Bytes(good.begin(), good.begin() + 50)},
      {"record count beyond the file",
       [&] {
         Bytes b = good;
         b[76] = 0x40;
         return b;
       }()},
      {"offset beyond the file",
       [&] {
         Bytes b = good;
         b[86 + 2] = 0x7F;
         return b;
       }()},
      {"offsets out of order",
       [&] {
         Bytes b = good;
         b[81] += 20;
         return b;
       }()},
      {"offset inside the record list",
       [&] {
         Bytes b = good;
         b[81] = 10;
         return b;
       }()},
  };
  for (const Case& c : cases) {
    PdbContainer container;
    const Status read = Read(c.bytes, container);
    EXPECT_EQ(read.Code(), StatusCode::kCorruption) << c.what;
    EXPECT_FALSE(read.Message().empty()) << c.what;
  }
}

}  // namespace
}  // namespace lv
