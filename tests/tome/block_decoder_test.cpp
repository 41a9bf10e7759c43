#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "tome/block_codec.h"

namespace lv {
namespace {

std::string Decode(const std::vector<uint8_t>& in, size_t capacity = 64, bool headOnly = false) {
  std::vector<uint8_t> out(capacity);
  const size_t n = DecodeBlock(in.data(), in.size(), out.data(), out.size(), headOnly);
  return std::string(out.begin(), out.begin() + n);
}

TEST(BlockDecoder, ReadsLiteralGroupsMatchesAndShortFinalGroups) {
  // 0x00: eight literals.
  EXPECT_EQ(Decode({0x00, 'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h'}), "abcdefgh");
  // A final group of three literals carries bit 0.
  EXPECT_EQ(Decode({0x01, 'x', 'y', 'z'}), "xyz");
  // Ten identical bytes: four literals, match (3, 4), match (3, 7).
  EXPECT_EQ(Decode({0x0D, 'a', 'a', 'a', 'a', 0x10, 0x04, 0x10, 0x07}), "aaaaaaaaaa");
  // An overlapping match of distance 1 repeats the last byte.
  EXPECT_EQ(Decode({0x41, 'q', 0x20, 0x01}), "qqqqq");
}

TEST(BlockDecoder, StopsOnDamageInsteadOfOverrunning) {
  // A match reaching before the start of the output.
  EXPECT_EQ(Decode({0x41, 'a', 0xF0, 0x05}), "a");
  // A match whose second byte is missing.
  EXPECT_EQ(Decode({0x41, 'a', 0x10}), "a");
  // Output that would not fit stops at the capacity.
  EXPECT_EQ(Decode({0x00, '1', '2', '3', '4', '5', '6', '7', '8'}, 4), "");
  EXPECT_EQ(Decode({0x01, '1', '2', '3', '4', '5'}, 3), "123");
}

TEST(BlockDecoder, HeadOnlyStopsAfterTwoThousandBytes) {
  std::vector<uint8_t> in;
  for (int group = 0; group < 400; ++group) {
    in.push_back(0x00);
    for (uint8_t k = 0; k < 8; ++k) in.push_back(static_cast<uint8_t>('a' + k));
  }
  const std::string head = Decode(in, 5000, true);
  EXPECT_EQ(head.size(), 2008u);  // stops at the first group boundary past 2000
}

TEST(BlockDecoder, RandomGarbageNeverOverruns) {
  std::mt19937 rng(7);
  for (int round = 0; round < 2000; ++round) {
    std::vector<uint8_t> in(rng() % 300);
    for (auto& b : in) b = uint8_t(rng());
    std::vector<uint8_t> out(rng() % 400);
    const size_t n = DecodeBlock(in.data(), in.size(), out.data(), out.size(), round % 2 == 0);
    ASSERT_LE(n, out.size());
  }
}

}  // namespace
}  // namespace lv
