// TomeHeader, ParseChunkHeader and ParseSectionHeader: the header fields as the builder writes them,
// and a header cut short.
#include "tome/tome_header.h"

#include <gtest/gtest.h>

#include <string>

#include "tome_bytes.h"

namespace lv {
namespace {

TomeHeader HeaderOf(const std::string& bytes) {
  return TomeHeader(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

TEST(TomeHeader, ReadsEveryFieldOfAWrittenHeader) {
  const test::AssembledTome tome = test::AssembleTome({{"alpha", "one"}, {"beta", std::string(200, 'x')}});
  const std::string& bytes = tome.bytes;
  const auto* at = reinterpret_cast<const uint8_t*>(bytes.data());
  const TomeHeader header = HeaderOf(bytes);
  ASSERT_TRUE(header.Holds(kHeaderSize));
  for (int i = 0; i < 4; ++i) EXPECT_EQ(header.IdentityWord(i), kTomeIdentity[i]);
  EXPECT_EQ(header.Version(), kWrittenVersion);
  EXPECT_FALSE(header.IsVersion1());
  EXPECT_FALSE(header.IsNewerThanWritten());
  EXPECT_EQ(header.SortedFlag(), 1);
  EXPECT_EQ(header.SubjectCount(), 2);
  EXPECT_EQ(header.ChunkCount(), 1);
  EXPECT_EQ(header.ChunkAreaLength(), kWrittenChunkAreaLength);

  const ChunkHeader chunk = ParseChunkHeader(at + kHeaderSize);
  EXPECT_EQ(chunk.type, kChunkTypeBookmarks);
  EXPECT_TRUE(chunk.IsSkippable());
  EXPECT_EQ(chunk.dataLength, kBookmarkTableSize);

  const SectionHeader main = ParseSectionHeader(at + tome.mainSectionOffset);
  EXPECT_EQ(main.blockCount, 1);
  EXPECT_EQ(main.blockSize, kWrittenBlockSize);
  EXPECT_EQ(main.EndFrom(tome.mainSectionOffset), tome.extensionSectionOffset);
  const SectionHeader extension = ParseSectionHeader(at + tome.extensionSectionOffset);
  EXPECT_EQ(extension.blockCount, 1);
  EXPECT_EQ(extension.EndFrom(tome.extensionSectionOffset), int64_t(bytes.size()));
}

TEST(TomeHeader, TellsHowMuchOfADamagedHeaderItHolds) {
  std::string bytes = test::AssembleTome({{"alpha", "one"}}).bytes;
  test::PutLe32(bytes, kVersionOffset, 1503);  // a version-1 word
  const struct {
    size_t length;
    bool holdsVersion;
    bool holdsVersion1Header;
    bool holdsHeader;
  } cases[] = {
      {0, false, false, false}, {19, false, false, false}, {20, true, false, false}, {27, true, false, false},
      {28, true, true, false},  {35, true, true, false},   {36, true, true, true},   {5000, true, true, true},
  };
  for (const auto& c : cases) {
    const TomeHeader header = HeaderOf(bytes.substr(0, c.length));
    EXPECT_EQ(header.Holds(kVersionOffset + 4), c.holdsVersion) << c.length;
    EXPECT_EQ(header.Holds(kV1HeaderFixedSize), c.holdsVersion1Header) << c.length;
    EXPECT_EQ(header.Holds(kHeaderSize), c.holdsHeader) << c.length;
    if (c.holdsVersion) {
      EXPECT_EQ(header.Version(), 1503) << c.length;
      EXPECT_TRUE(header.IsVersion1()) << c.length;
    }
  }
  test::PutLe32(bytes, kVersionOffset, kWrittenVersion + 1);
  EXPECT_TRUE(HeaderOf(bytes).IsNewerThanWritten());
}

}  // namespace
}  // namespace lv
