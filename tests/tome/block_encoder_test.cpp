// The block compressor against a plain transcription of the reference algorithm, byte for byte, and
// through DecodeBlock back to its input.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <unordered_map>
#include <vector>

#include "tome/block_codec.h"
#include "tome/block_encoder.h"

namespace lv {
namespace {

using Bytes = std::vector<uint8_t>;

// The reference compressor, step by step: the entered positions of each two-byte value in a list,
// every one of them still within reach tried from the oldest, the strictly longest kept.
Bytes ReferenceCompress(const Bytes& d) {
  const int n = int(d.size());
  std::unordered_map<int, std::vector<int>> entered;  // two-byte value -> its entered positions, ascending
  auto value = [&](int p) { return d[p] * 256 + d[p + 1]; };
  auto enter = [&](int p) { entered[value(p)].push_back(p); };
  Bytes out;
  struct Item {
    bool match;
    uint8_t b0, b1;
  };
  std::vector<Item> group;
  auto flush = [&](bool last) {
    uint8_t control = 0;
    for (size_t i = 0; i < group.size(); ++i) {
      if (group[i].match) control |= uint8_t(0x80 >> i);
    }
    if (last) control += 1;
    out.push_back(control);
    for (const Item& item : group) {
      out.push_back(item.b0);
      if (item.match) out.push_back(item.b1);
    }
    group.clear();
  };
  int a = 0;
  while (a < n) {
    int bestLength = 0, bestPosition = 0;
    if (a + 1 < n) {
      const std::vector<int>& candidates = entered[value(a)];
      // Positions more than 4095 bytes back are out of reach; the list is ascending, so they come first.
      for (auto it = std::lower_bound(candidates.begin(), candidates.end(), a - 4095);
           it != candidates.end() && bestLength < 17; ++it) {
        const int q = *it;
        int length = 0;
        while (length < 17 && length < a - q - 1 && length < n - a && d[q + length] == d[a + length]) ++length;
        if (length > bestLength) {
          bestLength = length;
          bestPosition = q;
        }
      }
    }
    int advance = 1;
    if (bestLength >= 3) {
      const int distance = a - bestPosition;
      group.push_back({true, uint8_t(((bestLength - 2) << 4) | (distance >> 8)), uint8_t(distance & 0xFF)});
      advance = bestLength;
    } else {
      group.push_back({false, d[a], 0});
    }
    for (int k = 0; k < advance; ++k) {
      ++a;
      if (a >= 2) enter(a - 2);
    }
    if (group.size() == 8) flush(false);
  }
  if (!group.empty()) flush(true);
  return out;
}

Bytes Compress(BlockEncoder& encoder, const Bytes& input) {
  Bytes out(MaxCompressedSize(input.size()));
  out.resize(encoder.Compress(input.data(), input.size(), out.data()));
  return out;
}

constexpr int kInputKinds = 5;

// Inputs of several kinds: random over small or full alphabets, long runs, repeated phrases, and copies
// of earlier stretches from just inside and just beyond the 4095-byte reach.
Bytes MakeInput(std::mt19937& random, size_t n, int kind) {
  Bytes d(n);
  switch (kind) {
    case 0:  // random, full alphabet
      for (auto& b : d) b = uint8_t(random());
      break;
    case 1:  // random over two letters: many candidates per value
      for (auto& b : d) b = uint8_t('a' + random() % 2);
      break;
    case 2:  // runs of one byte
      for (size_t i = 0; i < n;) {
        const size_t run = 1 + random() % 40;
        const uint8_t b = uint8_t(random() % 4);
        for (size_t k = 0; k < run && i < n; ++k) d[i++] = b;
      }
      break;
    case 3: {  // words from a small vocabulary, like entry text
      static const char* kWords[] = {"the ", "binding ", "of ", "leaf ", "press ", "\t\x01", "sewn ", "a "};
      size_t i = 0;
      while (i < n) {
        for (const char* w = kWords[random() % 8]; *w && i < n; ++w) d[i++] = uint8_t(*w);
      }
      break;
    }
    default: {  // random bytes with 20-byte copies from distances around the edge of reach, or nearer
      for (auto& b : d) b = uint8_t(random());
      static const size_t kDistances[] = {4094, 4095, 4096, 4097};
      for (size_t i = 1 + random() % 64; i + 20 <= n; i += 20 + random() % 64) {
        const size_t distance = random() % 2 ? kDistances[random() % 4] : 1 + random() % 4100;
        if (distance > i) continue;
        for (size_t k = 0; k < 20; ++k) d[i + k] = d[i + k - distance];
      }
    }
  }
  return d;
}

TEST(BlockEncoderTest, ExactOutputsOfSmallInputs) {
  struct Case {
    Bytes input;
    Bytes expected;
  } cases[] = {
      {Bytes(10, 'a'), {0x0D, 'a', 'a', 'a', 'a', 0x10, 0x04, 0x10, 0x07}},
      {{1, 2, 3, 4, 5, 6, 7, 8}, {0x00, 1, 2, 3, 4, 5, 6, 7, 8}},
      {{'x', 'y', 'z'}, {0x01, 'x', 'y', 'z'}},
      {{'q'}, {0x01, 'q'}},
  };
  BlockEncoder encoder;
  for (const Case& c : cases) {
    EXPECT_EQ(Compress(encoder, c.input), c.expected);
    Bytes viaFunction(MaxCompressedSize(c.input.size()));
    viaFunction.resize(CompressBlock(c.input.data(), c.input.size(), viaFunction.data()));
    EXPECT_EQ(viaFunction, c.expected);
  }
}

TEST(BlockEncoderTest, MatchesReferenceAndRoundTrips) {
  std::mt19937 random(12345);
  BlockEncoder encoder;  // reused across inputs, as across the blocks of a section
  // Every size up to 300 (group and match-length edges); the edges of the reach and of a 25000-byte
  // block; small blocks after large ones (the encoder keeps its tables across blocks); random sizes.
  std::vector<size_t> sizes;
  for (size_t n = 1; n <= 300; ++n) sizes.push_back(n);
  for (size_t n : {4095, 4096, 4097, 4113, 8191, 8192, 24999, 25000, 1, 2, 3, 17, 4100}) sizes.push_back(n);
  for (int i = 0; i < 10; ++i) sizes.push_back(1 + random() % 25000);
  for (size_t n : sizes) {
    for (int kind = 0; kind < kInputKinds; ++kind) {
      const Bytes input = MakeInput(random, n, kind);
      const Bytes compressed = Compress(encoder, input);
      ASSERT_EQ(compressed, ReferenceCompress(input)) << "size " << n << " kind " << kind;
      ASSERT_LE(compressed.size(), MaxCompressedSize(n));
      Bytes decoded(n);
      ASSERT_EQ(DecodeBlock(compressed.data(), compressed.size(), decoded.data(), n, false), n);
      ASSERT_EQ(decoded, input);
    }
  }
}

}  // namespace
}  // namespace lv
