// The tome block codec: each block of a text section is compressed on its own.
//
// A compressed block is a sequence of groups: one control byte, then its items.
//   control 0x00: exactly eight literal bytes follow.
//   otherwise:    up to eight items, bit 7 for the first down to bit 0 for the eighth. A clear bit is a
//                 literal (one byte); a set bit is a match b0 b1 with
//                   length   = (b0 >> 4) + 2                       (2..17)
//                   distance = ((b0 & 0x0F) << 8) | b1             (1..4095)
//                 copied one byte at a time, so a match may overlap the bytes it produces.
// The block ends where its bytes end, possibly inside a group. A final group of fewer than eight items
// has bit 0 set (the flag of the absent eighth item) so that it never reads as 0x00.
#pragma once

#include <cstddef>
#include <cstdint>

namespace lv {

// Decodes input[0..inputSize) into output, never writing more than outputCapacity bytes and never
// reading past inputSize. With headOnly the decoding stops once more than 2000 bytes are out (used to
// decode the head of the next block). A match reaching before the start of the output, or output that
// would not fit, stops the decoding early: damaged data decodes to what it holds up to that point.
// Returns the number of bytes written.
size_t DecodeBlock(const uint8_t* input, size_t inputSize, uint8_t* output, size_t outputCapacity, bool headOnly);

// Largest compressed size of n input bytes: n + n / 8 + 1 (one control byte per eight items).
inline constexpr size_t MaxCompressedSize(size_t n) { return n + n / 8 + 1; }

// Compresses input[0..n) into output (room for MaxCompressedSize(n) bytes). The output is exactly what
// the tome format's reference compressor produces: matches of 3..17 bytes at distances 4..4095, the
// oldest of equally long candidates, a match never reaching the byte just before the current one.
// Returns the number of bytes written; 0 when working memory could not be allocated.
size_t CompressBlock(const uint8_t* input, size_t n, uint8_t* output);

}  // namespace lv
