#include "palm/search_index.h"

#include <algorithm>

#include "palm/palm_codecs.h"
#include "tome/coding.h"

namespace lv {
namespace {

constexpr int kInitialEntries = 28;
constexpr uint16_t kNoWordRecord = 0xFFFF;

bool IsWordByte(uint8_t c) {
  return c >= 128 || (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

uint8_t Lower(uint8_t c) { return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c; }

uint8_t KeyByte(uint32_t key, int i) { return static_cast<uint8_t>(key >> (16 - 8 * i)); }

int KeyLength(uint32_t key) { return (key & 0xFF) ? 3 : ((key & 0xFF00) ? 2 : 1); }

}  // namespace

SearchWordIndex::SearchWordIndex(int subjectCount, int bitmapBits) : m_bits(bitmapBits) {
  m_span = m_bits > 0 ? (subjectCount + m_bits - 1) / m_bits : 1;
  if (m_span < 2) {
    m_bits = subjectCount - subjectCount % 8 + 8;
    m_span = 1;
  }
  m_bitmapBytes = static_cast<size_t>(m_bits / 8);
}

uint32_t& SearchWordIndex::TableEntry(uint32_t key) {
  const size_t mask = m_table.size() - 1;
  size_t i = (key * 2654435761u) & mask;
  while (m_table[i] != 0 && m_keys[m_table[i] - 1] != key) i = (i + 1) & mask;
  return m_table[i];
}

void SearchWordIndex::Grow() {
  m_table.assign(m_table.empty() ? 4096 : 2 * m_table.size(), 0);
  for (uint32_t slot = 0; slot < m_keys.size(); ++slot) TableEntry(m_keys[slot]) = slot + 1;
}

void SearchWordIndex::AddWord(uint32_t key, int bit) {
  if (2 * (m_keys.size() + 1) > m_table.size()) Grow();
  uint32_t& entry = TableEntry(key);
  if (entry == 0) {
    m_keys.push_back(key);
    entry = static_cast<uint32_t>(m_keys.size());
    m_bitmaps.resize(m_bitmaps.size() + m_bitmapBytes, 0);
  }
  m_bitmaps[(entry - 1) * m_bitmapBytes + bit / 8] |= static_cast<uint8_t>(0x80 >> (bit % 8));
}

void SearchWordIndex::AddText(int subject, std::string_view text) {
  const int bit = subject / m_span;
  size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && !IsWordByte(static_cast<uint8_t>(text[i]))) ++i;
    const size_t start = i;
    while (i < text.size() && IsWordByte(static_cast<uint8_t>(text[i]))) ++i;
    const size_t length = i - start;
    if (length == 0) break;
    // A token of up to 3 bytes is one word; a longer one gives each of its 3-byte substrings.
    const size_t width = std::min<size_t>(length, 3);
    for (size_t at = start; at + width <= i; ++at) {
      uint32_t key = 0;
      for (size_t k = 0; k < 3; ++k) {
        key = key << 8 | (k < width ? Lower(static_cast<uint8_t>(text[at + k])) : 0);
      }
      AddWord(key, bit);
    }
  }
}

bool SearchWordIndex::MakeRecords(SearchRecords& records, MessageSink* messages) const {
  std::vector<uint32_t> order(m_keys.size());
  for (uint32_t slot = 0; slot < order.size(); ++slot) order[slot] = slot;
  std::sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) { return m_keys[a] < m_keys[b]; });

  uint16_t initial[kInitialEntries];
  std::fill(std::begin(initial), std::end(initial), kNoWordRecord);
  std::vector<std::vector<uint8_t>> raws;
  std::vector<uint16_t> counts;
  if (!order.empty()) {
    raws.emplace_back();
    counts.push_back(0);
    if (KeyByte(m_keys[order[0]], 0) < 'a') initial[0] = 0;
  }
  int previousFirst = -1;
  bool passedZ = false;
  for (uint32_t slot : order) {
    const uint32_t key = m_keys[slot];
    const uint8_t first = KeyByte(key, 0);
    const int length = KeyLength(key);
    bool fresh = false;
    if (first != previousFirst && first >= 'a' && first <= 'z') {
      fresh = true;
      initial[1 + first - 'a'] = static_cast<uint16_t>(raws.size());
    } else if (first > 'z' && !passedZ) {
      fresh = true;
      passedZ = true;
      initial[27] = static_cast<uint16_t>(raws.size());
    } else if (raws.back().size() + length + m_bitmapBytes + 2 > kWordRecordRawLimit) {
      fresh = true;
    }
    if (fresh) {
      raws.emplace_back();
      counts.push_back(0);
    }
    previousFirst = first;
    std::vector<uint8_t>& raw = raws.back();
    for (int k = 0; k < 3; ++k) raw.push_back(KeyByte(key, k));
    raw.insert(raw.end(), m_bitmaps.begin() + slot * m_bitmapBytes, m_bitmaps.begin() + (slot + 1) * m_bitmapBytes);
    ++counts.back();
  }

  records.header.assign(kSearchHeaderSize, 0);
  EncodeBE16(&records.header[0], 1);
  EncodeBE16(&records.header[2], static_cast<uint16_t>(m_bits));
  EncodeBE16(&records.header[4], static_cast<uint16_t>(raws.size()));
  for (int e = 0; e < kInitialEntries; ++e) EncodeBE16(&records.header[6 + 2 * e], initial[e]);

  records.words.clear();
  std::vector<uint8_t> packed;
  for (size_t r = 0; r < raws.size(); ++r) {
    if (!ZlibCompress(raws[r].data(), raws[r].size(), packed, messages)) return false;
    std::vector<uint8_t> record(6);
    EncodeBE16(&record[0], counts[r]);
    EncodeBE16(&record[2], static_cast<uint16_t>(packed.size()));
    record.insert(record.end(), packed.begin(), packed.end());
    record.push_back(0);
    records.words.push_back(std::move(record));
  }
  return true;
}

}  // namespace lv
