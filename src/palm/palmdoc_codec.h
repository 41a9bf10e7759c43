// PalmDOC compression (compression code 2), used by the 2.5 Palm tome format and by PalmDOC text
// databases. A compressed record is a stream of tokens, each starting with one byte b:
//   0x00          the byte 0x00
//   0x01..0x08    a literal run: the next b bytes as they are
//   0x09..0x7F    the byte b
//   0x80..0xBF    a back-reference b, b2: v = b * 256 + b2, distance (v >> 3) & 0x7FF (1..2047),
//                 length (v & 7) + 3 (3..10), copied one byte at a time (overlapping copies repeat)
//   0xC0..0xFF    a space followed by b ^ 0x80
#pragma once

#include <cstddef>
#include <cstdint>

namespace lv {

inline constexpr size_t kPalmDocWindow = 2047;
inline constexpr size_t kPalmDocMaxMatch = 10;

// Largest compressed size of n input bytes: every byte escaped (two bytes each) before the escapes
// are merged into literal runs, so twice the input is always enough.
inline constexpr size_t PalmDocMaxCompressedSize(size_t n) { return 2 * n + 2; }

// Compresses input[0..n) into output (room for PalmDocMaxCompressedSize(n) bytes) with greedy
// matching in two passes: tokens with single-byte escapes, then the escapes merged into literal runs.
// Returns the number of output bytes. Allocates nothing.
size_t PalmDocCompress(const uint8_t* input, size_t n, uint8_t* output);

// Decodes input[0..n) into output, never writing more than capacity bytes and never reading past n.
// Damaged input (a reference before the start of the output, a token cut short, output that would not
// fit) stops the decoding: the result is what decoded up to that point. Returns the bytes written.
size_t PalmDocDecompress(const uint8_t* input, size_t n, uint8_t* output, size_t capacity);

}  // namespace lv
