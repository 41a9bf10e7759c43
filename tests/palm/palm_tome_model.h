// A test-side reading of a whole Palm tome database: the container through ParsePdb, then every
// record by its role, the data blocks decompressed and joined into the uncompressed data stream.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "palm/palm_codecs.h"
#include "palm/palmdoc_codec.h"
#include "pdb_test_file.h"

namespace lv::palmtest {

struct PalmTomeModel {
  ParsedPdb pdb;
  int version = 0;
  uint32_t subjectCount = 0;
  uint32_t blockSize = 0;
  uint32_t compression = 0;
  bool accelerated = false;
  uint32_t sortedFlag = 0;
  std::vector<Bytes> cacheGroups;  // 2.8
  Bytes searchHeader;              // 2.8 with acceleration
  std::vector<Bytes> wordRecords;
  std::vector<Bytes> firstLetterRecords;
  std::vector<Bytes> dataHeaderRecords;
  size_t firstDataRecord = 0;
  size_t dataRecordCount = 0;
  std::vector<int> blocksPerRecord;
  std::string stream;                     // all data blocks decompressed, in order
  std::map<uint32_t, size_t> blockStart;  // block reference -> stream position of the block

  // The stream from subject i's header entry on.
  size_t SubjectPosition(uint32_t i) const {
    const Bytes joined = Join(dataHeaderRecords);
    const uint32_t reference = Be16(joined, 4 * i);
    const uint32_t offset = Be16(joined, 4 * i + 2);
    auto found = blockStart.find(reference);
    EXPECT_NE(found, blockStart.end()) << "subject " << i << " points at a missing block " << reference;
    return found == blockStart.end() ? std::string::npos : found->second + offset;
  }

  static Bytes Join(const std::vector<Bytes>& records) {
    Bytes all;
    for (const Bytes& r : records) all.insert(all.end(), r.begin(), r.end());
    return all;
  }
};

inline size_t CeilDiv(size_t a, size_t b) { return (a + b - 1) / b; }

inline PalmTomeModel ParsePalmTome(const Bytes& file) {
  PalmTomeModel m;
  m.pdb = ParsePdb(file);
  const std::vector<Bytes>& r = m.pdb.records;
  EXPECT_EQ(m.pdb.type, "LiVa");
  EXPECT_EQ(m.pdb.creator, "LVPW");
  if (r.empty()) return m;
  const Bytes& h = r[0];
  EXPECT_EQ(h.size(), 402u);
  m.version = static_cast<int>(Be16(h, 0));
  m.subjectCount = Be32(h, 4);
  m.blockSize = Be16(h, 8);
  EXPECT_EQ(Be16(h, 10), 61440u);
  m.compression = Be16(h, 12);
  m.accelerated = Be16(h, 14) == 1;
  m.sortedFlag = Be16(h, 16);
  for (size_t i = 18; i < 402; ++i) EXPECT_EQ(h[i], 0) << "reserved byte " << i;
  size_t next = 1;
  if (m.version == 8) {
    EXPECT_EQ(Be16(r.at(1), 0), 500u);
    const size_t g = Be16(r.at(1), 2);
    EXPECT_EQ(g, std::max<size_t>(1, CeilDiv(m.subjectCount, 500)));
    m.cacheGroups.assign(r.begin() + 2, r.begin() + 2 + g);
    next = 2 + g;
    if (m.accelerated) {
      m.searchHeader = r.at(next);
      const size_t w = Be16(m.searchHeader, 4);
      m.wordRecords.assign(r.begin() + next + 1, r.begin() + next + 1 + w);
      next += 1 + w;
    }
  }
  const size_t t = CeilDiv(m.subjectCount, 61439);
  const size_t hcount = CeilDiv(4 * size_t(m.subjectCount), 61436);
  m.firstLetterRecords.assign(r.begin() + next, r.begin() + next + t);
  m.dataHeaderRecords.assign(r.begin() + next + t, r.begin() + next + t + hcount);
  m.firstDataRecord = next + t + hcount;
  m.dataRecordCount = r.size() - m.firstDataRecord;

  for (size_t d = 0; d < m.dataRecordCount; ++d) {
    const Bytes& record = r[m.firstDataRecord + d];
    size_t at = 0;
    int block = 0;
    while (at < record.size()) {
      const uint32_t word = Be16(record, at);
      const size_t length = word & 0x7FFF;
      const bool last = word & 0x8000;
      EXPECT_LE(at + 2 + length, record.size());
      EXPECT_EQ(last, at + 2 + length == record.size()) << "bit 15 of block " << block << " in data record " << d;
      Bytes decoded;
      if (m.compression == 2) {
        decoded.resize(4095);
        decoded.resize(PalmDocDecompress(record.data() + at + 2, length, decoded.data(), decoded.size()));
      } else {
        EXPECT_TRUE(ZlibDecompress(record.data() + at + 2, length, 16383, decoded));
      }
      m.blockStart[static_cast<uint32_t>(d * 128 + block)] = m.stream.size();
      m.stream.append(decoded.begin(), decoded.end());
      at += 2 + length;
      ++block;
      if (last) break;
    }
    EXPECT_EQ(at, record.size());
    m.blocksPerRecord.push_back(block);
  }
  return m;
}

}  // namespace lv::palmtest
