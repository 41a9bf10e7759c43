#include <gtest/gtest.h>

#include <algorithm>
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

// The codec's definition, one byte at a time, as the fast decoder must reproduce it for any input.
std::vector<uint8_t> DecodeByDefinition(const std::vector<uint8_t>& in, size_t capacity) {
  std::vector<uint8_t> out;
  size_t i = 0;
  while (i < in.size()) {
    const uint8_t control = in[i++];
    if (control == 0) {  // eight literals, all or none
      const size_t take = std::min<size_t>(8, in.size() - i);
      if (out.size() + take > capacity) return out;
      out.insert(out.end(), in.begin() + long(i), in.begin() + long(i + take));
      i += take;
      continue;
    }
    for (int bit = 7; bit >= 0; --bit) {
      if (i >= in.size()) return out;
      if (control & (1u << bit)) {
        if (i + 1 >= in.size()) return out;
        const size_t length = (in[i] >> 4) + 2;
        const size_t distance = (size_t(in[i] & 0x0F) << 8) | in[i + 1];
        i += 2;
        if (distance == 0 || distance > out.size() || out.size() + length > capacity) return out;
        for (size_t k = 0; k < length; ++k) out.push_back(out[out.size() - distance]);
      } else {
        if (out.size() >= capacity) return out;
        out.push_back(in[i++]);
      }
    }
  }
  return out;
}

TEST(BlockDecoder, AgreesWithTheDefinitionOnLongRandomStreams) {
  std::mt19937 rng(11);
  for (int round = 0; round < 300; ++round) {
    // Mostly literals and short distances, so that matches stay valid and overlap often.
    std::vector<uint8_t> in;
    size_t produced = 0;
    while (in.size() < 3000) {
      const auto control = uint8_t(rng() % 4 == 0 ? 0 : rng() | 1u);
      in.push_back(control);
      for (int bit = 7; bit >= 0; --bit) {
        if (control != 0 && (control & (1u << bit)) && produced > 0) {
          const size_t distance = 1 + rng() % std::min<size_t>(produced, round % 3 == 0 ? 20 : 4095);
          const size_t length = 2 + rng() % 16;
          in.push_back(uint8_t(((length - 2) << 4) | (distance >> 8)));
          in.push_back(uint8_t(distance & 0xFF));
          produced += length;
        } else {
          in.push_back(uint8_t('a' + rng() % 26));
          ++produced;
        }
      }
    }
    const size_t capacity = round % 2 == 0 ? produced : produced / 2;
    std::vector<uint8_t> out(capacity);
    const size_t n = DecodeBlock(in.data(), in.size(), out.data(), out.size(), false);
    ASSERT_EQ(std::vector<uint8_t>(out.begin(), out.begin() + long(n)), DecodeByDefinition(in, capacity)) << round;
  }
}

}  // namespace
}  // namespace lv
