#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "palm/palm_codecs.h"
#include "palm/palmdoc_codec.h"
#include "tome/version1_text.h"

namespace lv {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes B(std::string_view s) { return Bytes(s.begin(), s.end()); }

// An independent reading of the PalmDOC token stream: the stream is first split into tokens, each
// checked against the format's limits, and only then expanded. Fails the test on any malformed token.
struct Token {
  enum Kind { kLiteral, kRun, kReference, kSpacePair } kind;
  Bytes bytes;  // literal bytes (run, literal, or the byte after the space)
  size_t distance = 0;
  size_t length = 0;
};

std::vector<Token> SplitTokens(const Bytes& in) {
  std::vector<Token> tokens;
  for (size_t i = 0; i < in.size();) {
    const uint8_t b = in[i];
    if (b >= 1 && b <= 8) {
      EXPECT_LE(i + 1 + b, in.size()) << "literal run cut short";
      tokens.push_back({Token::kRun, Bytes(in.begin() + i + 1, in.begin() + i + 1 + b)});
      i += 1 + b;
    } else if (b >= 0xC0) {
      tokens.push_back({Token::kSpacePair, {uint8_t(b ^ 0x80)}});
      i += 1;
    } else if (b >= 0x80) {
      EXPECT_LT(i + 1, in.size()) << "reference cut short";
      const unsigned v = (unsigned(b) << 8) | in[i + 1];
      tokens.push_back({Token::kReference, {}, (v >> 3) & 0x7FF, (v & 7) + 3});
      i += 2;
    } else {
      tokens.push_back({Token::kLiteral, {b}});
      i += 1;
    }
  }
  return tokens;
}

Bytes ExpandTokens(const std::vector<Token>& tokens) {
  Bytes out;
  for (const Token& t : tokens) {
    switch (t.kind) {
      case Token::kLiteral:
      case Token::kRun: out.insert(out.end(), t.bytes.begin(), t.bytes.end()); break;
      case Token::kSpacePair:
        out.push_back(' ');
        out.push_back(t.bytes[0]);
        break;
      case Token::kReference:
        EXPECT_GE(t.distance, 1u);
        EXPECT_LE(t.distance, out.size());
        EXPECT_LE(t.distance, kPalmDocWindow);
        EXPECT_GE(t.length, 3u);
        EXPECT_LE(t.length, kPalmDocMaxMatch);
        if (t.distance == 0 || t.distance > out.size()) return out;
        for (size_t k = 0; k < t.length; ++k) out.push_back(out[out.size() - t.distance]);
        break;
    }
  }
  return out;
}

Bytes Compress(const Bytes& in) {
  Bytes out(PalmDocMaxCompressedSize(in.size()));
  out.resize(PalmDocCompress(in.data(), in.size(), out.data()));
  return out;
}

Bytes Decompress(const Bytes& in, size_t capacity = 4096) {
  Bytes out(capacity);
  out.resize(PalmDocDecompress(in.data(), in.size(), out.data(), out.size()));
  return out;
}

TEST(PalmDocCompress, ProducesTheHandCheckedTokenStreams) {
  struct Case {
    std::string input;
    Bytes expected;
  } cases[] = {
      // The pending space before "abc ab" goes out as its own literal before the reference (distance
      // 4, length 6); the last "c" is a literal because the input ends.
      {"abc abc abc", {'a', 'b', 'c', 0x20, 0x80, 0x23, 'c'}},
      {"x a", {'x', 0xE1}},                     // a space and "a" make one space pair
      {"  ", {0x20, 0x20}},                     // two spaces stay two literal spaces
      {"a \x81", {'a', 0x20, 0x01, 0x81}},      // a space before an escaped byte stays literal
      {"\x81\x82\x83\x84\x85\x86\x87\x88\x89",  // escapes merge into runs of at most eight
       {0x08, 0x81, 0x82, 0x83, 0x84, 0x85, 0x86, 0x87, 0x88, 0x01, 0x89}},
      {std::string("\x00\x05\x09", 3), {0x00, 0x01, 0x05, 0x09}},
      {"", {}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Compress(B(c.input)), c.expected) << c.input;
    EXPECT_EQ(ExpandTokens(SplitTokens(c.expected)), B(c.input));
  }
}

// The compressor written the plain way, as the steps describe it: a linear search of the window for
// the first occurrence, byte-by-byte escapes, then the escapes merged. The library's compressor finds
// occurrences through position chains and must give exactly these bytes.
Bytes ReferenceCompress(const Bytes& in) {
  Bytes first;
  bool pending = false;
  auto escaped = [&](uint8_t c) {
    if (c >= 0x80 || (c >= 1 && c <= 8)) first.push_back(0x01);
    first.push_back(c);
  };
  auto emitByte = [&](uint8_t c) {
    if (pending) {
      pending = false;
      if (c >= 0x40 && c <= 0x7F) {
        first.push_back(c ^ 0x80);
      } else {
        first.push_back(0x20);
        escaped(c);
      }
    } else if (c == 0x20) {
      pending = true;
    } else {
      escaped(c);
    }
  };
  const size_t n = in.size();
  size_t p = 0, q = 0, r = 1;
  while (p < n) {
    if (p - q > 2047) q = p - 2047;
    const size_t size = r - p;
    size_t occurrence = q;
    while (std::memcmp(in.data() + occurrence, in.data() + p, size) != 0) ++occurrence;
    size_t next = occurrence;
    if (occurrence == p || size > 10 || r == n) {
      if (size > 3) {
        if (pending) first.push_back(0x20);
        pending = false;
        const unsigned v = unsigned((p - q) * 8 + size - 1 - 3);
        first.push_back(uint8_t(0x80 + (v >> 8)));
        first.push_back(uint8_t(v));
        p = r - 1;
      } else {
        emitByte(in[p++]);
      }
      next = 0;
    }
    if (r != n) ++r;
    q = next;
  }
  if (pending) first.push_back(0x20);
  Bytes out;
  for (size_t i = 0; i < first.size();) {
    if (first[i] == 0x01) {
      Bytes run;
      while (run.size() < 8 && i < first.size() && first[i] == 0x01) {
        run.push_back(first[i + 1]);
        i += 2;
      }
      out.push_back(uint8_t(run.size()));
      out.insert(out.end(), run.begin(), run.end());
    } else if (first[i] >= 0x80 && first[i] <= 0xBF) {
      out.push_back(first[i++]);
      out.push_back(first[i++]);
    } else {
      out.push_back(first[i++]);
    }
  }
  return out;
}

TEST(PalmDocCompress, GivesExactlyThePlainAlgorithmsBytes) {
  std::mt19937 rng(19);
  for (int round = 0; round < 60; ++round) {
    const size_t n = round < 10 ? round : rng() % 4096;
    const auto alphabet = static_cast<unsigned>(2 + rng() % 60);
    Bytes input(n);
    for (uint8_t& b : input) b = static_cast<uint8_t>(round % 3 == 0 ? rng() : ' ' + rng() % alphabet);
    // Some repeated stretches far apart, so that window limits matter.
    if (n > 3000) std::copy(input.begin(), input.begin() + 500, input.begin() + 2400);
    ASSERT_EQ(Compress(input), ReferenceCompress(input)) << "round " << round;
  }
}

TEST(PalmDocCompress, RoundTripsEverySizeUpToABlockThroughBothDecoders) {
  std::mt19937 rng(7);
  for (size_t n = 0; n <= 4095; ++n) {
    // Alternate the alphabet so that some inputs are full of matches and some of escapes.
    const unsigned alphabet = (n % 3 == 0) ? 4 : (n % 3 == 1 ? 40 : 256);
    Bytes input(n);
    for (uint8_t& b : input) b = static_cast<uint8_t>(n % 2 ? ' ' + rng() % alphabet : rng() % alphabet);
    const Bytes packed = Compress(input);
    ASSERT_LE(packed.size(), PalmDocMaxCompressedSize(n));
    ASSERT_EQ(Decompress(packed), input) << "size " << n;
    // The independent token reading on a seventh of the sizes keeps the test quick.
    if (n % 7 == 0 || n > 4088) {
      ASSERT_EQ(ExpandTokens(SplitTokens(packed)), input) << "size " << n;
    }
  }
}

TEST(PalmDocCompress, ReferencesReachAtMostTheWindowAndTenBytes) {
  // A repeated 3000-byte stretch can only be matched from within the last 2047 bytes.
  std::mt19937 rng(3);
  Bytes input(3000);
  for (uint8_t& b : input) b = static_cast<uint8_t>('a' + rng() % 26);
  input.insert(input.end(), input.begin(), input.begin() + 1095);
  const Bytes packed = Compress(input);
  for (const Token& t : SplitTokens(packed)) {
    if (t.kind != Token::kReference) continue;
    EXPECT_LE(t.distance, kPalmDocWindow);
    EXPECT_LE(t.length, kPalmDocMaxMatch);
  }
  EXPECT_EQ(Decompress(packed, 8192), input);
}

TEST(PalmDocDecompress, NeverOverrunsOnGarbage) {
  std::mt19937 rng(11);
  for (int round = 0; round < 3000; ++round) {
    Bytes garbage(rng() % 200);
    for (uint8_t& b : garbage) b = static_cast<uint8_t>(rng());
    const size_t capacity = rng() % 300;
    // The vector is exactly capacity long, so the sanitizers catch any write past it.
    Bytes out(capacity);
    const size_t n = PalmDocDecompress(garbage.data(), garbage.size(), out.data(), capacity);
    ASSERT_LE(n, capacity);
  }
  // A reference before the start of the output and a cut-short run stop the decoding.
  EXPECT_EQ(Decompress({'a', 0x80, 0x13}), B("a"));
  EXPECT_EQ(Decompress({'a', 0x05, 'b'}), B("a"));
  EXPECT_EQ(Decompress({'a', 'b', 'c'}, 2), B("ab"));
}

TEST(ZlibCodec, RoundTripsBlocksOfManySizes) {
  std::mt19937 rng(5);
  for (size_t n = 0; n <= 16383; n += (n < 64 || n > 16320) ? 1 : 97) {
    Bytes input(n);
    for (uint8_t& b : input) b = static_cast<uint8_t>('a' + rng() % (n % 2 ? 3 : 26));
    Bytes packed;
    ASSERT_TRUE(CompressPalmBlock(PalmCodec::kZlib, input.data(), n, packed, nullptr));
    Bytes unpacked;
    ASSERT_TRUE(ZlibDecompress(packed.data(), packed.size(), 16383, unpacked));
    ASSERT_EQ(unpacked, input);
  }
}

TEST(ZlibCodec, DamagedStreamsAreRefused) {
  const Bytes input = B("some text some text some text");
  Bytes packed;
  ASSERT_TRUE(ZlibCompress(input.data(), input.size(), packed, nullptr));
  Bytes out;
  EXPECT_FALSE(ZlibDecompress(packed.data(), packed.size(), 10, out));  // does not fit
  packed[packed.size() / 2] ^= 0x55;
  EXPECT_FALSE(ZlibDecompress(packed.data(), packed.size(), 100, out));
}

TEST(BlockCodecSelector, EmptyOutputIsAFailure) {
  Bytes out;
  EXPECT_FALSE(CompressPalmBlock(PalmCodec::kPalmDoc, nullptr, 0, out, nullptr));
  const Bytes input = B("abc");
  EXPECT_TRUE(CompressPalmBlock(PalmCodec::kPalmDoc, input.data(), 3, out, nullptr));
  EXPECT_EQ(out, input);
}

std::string DecodeV1(const Bytes& packed) {
  std::string out = "left over";
  DecodeVersion1TextForPalm(packed.data(), packed.size(), out);
  return out;
}

std::string DecodeV1ForReader(const Bytes& packed) {
  std::string out(3 * packed.size(), '\0');
  out.resize(
      DecodeVersion1TextForReader(packed.data(), packed.size(), out.data(), out.size(), Version1TextMode::kEntryText));
  return out;
}

TEST(Version1TextDecode, FollowsTheNibbleCodes) {
  // A space, the raw byte "A" and "n"; the final low nibble is not decoded.
  EXPECT_EQ(DecodeV1({0x0C, 0x41, 0x50}), " An");
  // 13 n: rarer lower case; 14 n: "A".."P"; 15 n: "Q".."Z" and punctuation (15 12 is "@").
  EXPECT_EQ(DecodeV1({0xD0, 0xDF, 0xE0, 0xEF}), "bzAP");
  EXPECT_EQ(DecodeV1({0xF0, 0xF9, 0xFA, 0xFC, 0xFF}), "QZ,@)");
  EXPECT_EQ(DecodeV1({0x1B}), "e");
  EXPECT_EQ(DecodeV1({0x1B, 0x00}), "e. ");
  // A raw 0x00 ends the text; a character cut short by the end of the input is dropped.
  EXPECT_EQ(DecodeV1({0x1C, 0x00, 0x11}), "e");
  EXPECT_EQ(DecodeV1({0x1D}), "e");
  EXPECT_EQ(DecodeV1({}), "");
}

// The export's decoder and the tome reader's agree but for two points: the export leaves a character
// on the low nibble of the last byte undecoded, and writes the line break as "@" where the reader
// writes its two-byte mark.
TEST(Version1TextDecode, ExportAndReaderDifferInTheLastNibbleAndTheLineBreak) {
  const struct {
    Bytes packed;
    std::string forPalm;
    std::string forReader;
  } cases[] = {
      {{0xD0, 0xDF, 0xE0, 0xEF}, "bzAP", "bzAP"},
      {{0x1C, 0x00, 0x11}, "e", "e"},  // a raw 0x00 ends both
      {{0x0C, 0x41, 0x50}, " An", " An "},
      {{0x1B}, "e", "e."},
      {{0xFC}, "@", "\t\x08"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DecodeV1(c.packed), c.forPalm);
    EXPECT_EQ(DecodeV1ForReader(c.packed), c.forReader);
  }
}

}  // namespace
}  // namespace lv
