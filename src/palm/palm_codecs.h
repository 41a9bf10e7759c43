// The codecs of the Palm side: the block codec selector of the Palm tome writers (PalmDOC or zlib),
// zlib's one-call compress, and the version-1 text packing of old tomes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tome/messages.h"

namespace lv {

// Compression codes of the Palm tome header record.
enum class PalmCodec : uint16_t { kPalmDoc = 2, kZlib = 3 };

inline constexpr const char* kCompressionFailedMessage = "Compression Failed.";

// Compresses input[0..n) with zlib's compress at the default level (zlib header and Adler-32 trailer)
// into output, which is resized to the result. False, with "Compression Failed." shown when messages
// is not null, when zlib reports an error.
bool ZlibCompress(const uint8_t* input, size_t n, std::vector<uint8_t>& output, MessageSink* messages);

// Decodes a zlib stream into at most capacity bytes. False when the stream is damaged or does not fit.
bool ZlibDecompress(const uint8_t* input, size_t n, size_t capacity, std::vector<uint8_t>& output);

// The block codec selector: compresses input[0..n) with the chosen codec into output. False when the
// codec produced nothing.
bool CompressPalmBlock(PalmCodec codec, const uint8_t* input, size_t n, std::vector<uint8_t>& output,
                       MessageSink* messages);

// The 60 characters of the version-1 text packing, in code order.
inline constexpr char kVersion1Characters[] = "bcdfgjkmpquvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ,;@'() eoatnirslh.";

// The Palm export's decoding of version-1 packed text (the tome reader has its own,
// DecodeVersion1TextForReader, which differs in the two points marked below). A stream of nibbles,
// high nibble first. Nibble c = 0..11 is character 48 + c; 12 is a raw byte from the next two
// nibbles; 13, 14 and 15 pick character n, 16 + n or 32 + n with the next nibble n, so the line break
// comes out as "@" (the reader writes its two-byte mark). Decoding ends when no byte is left at the
// start of a character (a character on the low nibble of the last byte is not decoded, unlike in the
// reader), when a character is cut short, or at a raw 0x00. Replaces output with the decoded text.
void DecodeVersion1TextForPalm(const uint8_t* input, size_t n, std::string& output);

}  // namespace lv
