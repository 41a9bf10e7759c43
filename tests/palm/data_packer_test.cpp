#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "palm/data_packer.h"

namespace lv {
namespace {

// A compressor whose output lengths the test chooses, one per block; the block's bytes are kept so
// that the test can see which stream bytes went where.
struct ScriptedCompressor {
  std::vector<size_t> lengths;
  size_t next = 0;
  bool operator()(const uint8_t*, size_t, std::vector<uint8_t>& out) {
    out.assign(next < lengths.size() ? lengths[next] : 10, 0xAB);
    ++next;
    return true;
  }
};

struct Packed {
  Status result;
  std::vector<DataHeaderEntry> header;
  std::vector<int> recordOfBlock;
  int records = 0;
};

// Packs subjects of recordBytes stream bytes each (subject "s", NUL, text, NUL) into blocks of 10.
Packed Pack(const std::vector<size_t>& recordBytes, std::vector<size_t> lengths, PackingLimits limits = {}) {
  ScriptedCompressor compressor{std::move(lengths)};
  DataStreamPacker packer(
      10, [&](const uint8_t* d, size_t n, std::vector<uint8_t>& o) { return compressor(d, n, o); }, limits);
  Packed p;
  for (size_t i = 0; i < recordBytes.size() && p.result.IsOk(); ++i) {
    p.result = packer.AddSubject("s", std::string(recordBytes[i] - 3, 't'), i + 1 == recordBytes.size());
  }
  p.header = packer.HeaderEntries();
  p.recordOfBlock = AssignDataRecords(packer.Blocks(), limits);
  p.records = packer.DataRecordCount();
  return p;
}

uint16_t Ref(int record, int block) { return static_cast<uint16_t>(record * 128 + block); }

TEST(DataStreamPacker, SixtyOneThousandFourHundredThirtyEightStaysAndOneMoreOpensARecord) {
  // Two blocks: the second fits exactly when its length plus the first block's length and length
  // word make 61438.
  const Packed fits = Pack({20}, {1000, 61438 - 1002});
  EXPECT_EQ(fits.recordOfBlock, (std::vector<int>{0, 0}));
  EXPECT_EQ(fits.records, 1);
  const Packed opens = Pack({20}, {1000, 61438 - 1001});
  EXPECT_EQ(opens.recordOfBlock, (std::vector<int>{0, 1}));
  EXPECT_EQ(opens.records, 2);
}

TEST(DataStreamPacker, SubjectsInABlockThatOpensARecordAreRePointed) {
  // Subjects of 7, 6 and 9 bytes: the stream is s1[0,7) s2[7,13) s3[13,22). Blocks: [0,10) [10,20)
  // [20,22). The second block opens record 1, so subject 2 (which starts in it at offset... it starts
  // in block 0 at offset 7) stays, and subject 3 (block 1, offset 3) moves to record 1 block 0.
  const Packed p = Pack({7, 6, 9}, {100, 61400, 5});
  ASSERT_EQ(p.result.Code(), StatusCode::kOk);
  ASSERT_EQ(p.header.size(), 3u);
  EXPECT_EQ(p.header[0].blockReference, Ref(0, 0));
  EXPECT_EQ(p.header[0].offset, 0);
  EXPECT_EQ(p.header[1].blockReference, Ref(0, 0));
  EXPECT_EQ(p.header[1].offset, 7);
  EXPECT_EQ(p.header[2].blockReference, Ref(1, 0));
  EXPECT_EQ(p.header[2].offset, 3);
  EXPECT_EQ(p.recordOfBlock, (std::vector<int>{0, 1, 1}));
}

TEST(DataStreamPacker, TheRecordAfterTheLastAllowedOneIsResultSixteen) {
  PackingLimits limits;
  limits.maxRecords = 3;
  // Every block fills a record on its own: three blocks fit, a fourth is too many.
  const std::vector<size_t> big(10, 40000);
  EXPECT_EQ(Pack({30}, big, limits).result.Code(), StatusCode::kOk);
  EXPECT_EQ(Pack({30}, big, limits).records, 3);
  EXPECT_EQ(Pack({31}, big, limits).result.Code(), StatusCode::kNotSupported);
  EXPECT_EQ(Pack({10, 10, 10, 10}, big, limits).result.Code(), StatusCode::kNotSupported);
}

TEST(DataStreamPacker, ARecordHoldsAtMostTheBlockLimit) {
  // Tiny blocks would fit many to a record by bytes; the block number must stay below 128.
  const Packed p = Pack({1300}, std::vector<size_t>(130, 5));
  ASSERT_EQ(p.result.Code(), StatusCode::kOk);
  ASSERT_EQ(p.recordOfBlock.size(), 130u);
  EXPECT_EQ(p.recordOfBlock[127], 0);
  EXPECT_EQ(p.recordOfBlock[128], 1);
  EXPECT_EQ(p.records, 2);
}

}  // namespace
}  // namespace lv
