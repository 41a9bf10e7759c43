// Search acceleration of the 2.8 Palm tome format: every word of 1 to 3 bytes of the subjects and entry
// texts with a bitmap of the subject ranges it occurs in.
//
// Search header record (64 bytes):
//   0  2   1
//   2  2   bitmap width M in bits
//   4  2   W, number of word records
//   6  56  initial table: 28 word record numbers (entry 0 for words below "a", 1-26 for "a"-"z",
//          27 above "z"); 0xFFFF where there is no such word
//   62 2   0
// Word record: entry count (2), compressed length C (2), 0 (2), C bytes, one 0 byte. Decompressed it
// is a run of entries of 3 + M/8 bytes: the word padded with zero bytes to 3, then its bitmap, most
// significant bit first (bit k is byte k/8, mask 0x80 >> (k % 8)).
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "tome/messages.h"

namespace lv {

// Bitmap bytes of the acceleration levels None, Low, Default, Medium and High.
inline constexpr int kAccelerationBitmapBytes[] = {0, 10, 25, 100, 500};
inline constexpr size_t kSearchHeaderSize = 64;
inline constexpr size_t kWordRecordRawLimit = 16382;

struct SearchRecords {
  std::vector<uint8_t> header;              // the 64-byte search header record
  std::vector<std::vector<uint8_t>> words;  // the W word records
};

class SearchWordIndex {
 public:
  // bitmapBits is M; with fewer than two subjects per bit, M becomes the next multiple of 8 above the
  // subject count and every subject has its own bit.
  SearchWordIndex(int subjectCount, int bitmapBits);

  int BitmapBits() const { return m_bits; }
  int SubjectsPerBit() const { return m_span; }

  // Adds the words of text (a subject or its stored entry text) to the bit of subject.
  void AddText(int subject, std::string_view text);

  // The search header and the word records, the words in ascending order; each word record's
  // content compressed with zlib. False when compression failed.
  bool MakeRecords(SearchRecords& records, MessageSink* messages) const;

 private:
  void AddWord(uint32_t key, int bit);
  uint32_t& TableEntry(uint32_t key);
  void Grow();

  int m_bits = 0;
  int m_span = 1;
  size_t m_bitmapBytes = 0;
  // A word of up to 3 bytes as a number: the bytes big-endian, padded with zeros, which orders the
  // keys exactly as the words (no word holds a zero byte).
  // Open addressing from key to slot, its size a power of two kept at most half full.
  std::vector<uint32_t> m_table;   // slot + 1, 0 where free
  std::vector<uint32_t> m_keys;    // per slot
  std::vector<uint8_t> m_bitmaps;  // per slot, m_bitmapBytes each
};

}  // namespace lv
