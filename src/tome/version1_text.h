// Version-1 text packing: the entry texts of version-1 tomes (base versions other than 1) are a
// stream of 4-bit nibbles, high nibble of each byte first. Each character starts with a nibble c:
//   0..11  space e o a t n i r s l h .
//   12     a raw byte from the next two nibbles (high first); the raw byte 0x00 ends the text
//   13     the next nibble picks from "bcdfgjkmpquvwxyz"
//   14     "A" + the next nibble ("A".."P")
//   15     the next nibble: 0..9 "Q".."Z", 10 ",", 11 ";", 12 line break, 13 "'", 14 "(", 15 ")"
#pragma once

#include <cstddef>
#include <cstdint>

namespace lv {

enum class Version1TextMode {
  // The line break becomes the two-byte mark TAB + code 8; decoding runs to the end of the input.
  kEntryText,
  // The line break becomes "@"; decoding also stops once kVersion1PreviewCharacters are out or when
  // the next character would start after the first kVersion1PreviewNibbles nibbles.
  kPreview,
};

inline constexpr size_t kVersion1PreviewCharacters = 201;
inline constexpr size_t kVersion1PreviewNibbles = 201;
// The preview decodes at most this many stored bytes of an entry text.
inline constexpr size_t kVersion1PreviewBytes = 250;

// The tome reader's decoding. Decodes packed[0..size) into out, writing at most capacity bytes and
// reading nothing past size: every character whose nibbles are all in the input is decoded, also one
// starting on the low nibble of the last byte; a character whose nibbles run past the input is
// dropped. (The Palm export decodes differently: DecodeVersion1TextForPalm.) Returns the number of
// bytes written.
size_t DecodeVersion1TextForReader(const uint8_t* packed, size_t size, char* out, size_t capacity,
                                   Version1TextMode mode);

}  // namespace lv
