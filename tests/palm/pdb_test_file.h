// Test helpers: the common temporary directories, whole-file reads and writes of bytes, and a small
// reader of Palm database bytes written independently of the library's container reader.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "test_files.h"

namespace lv::palmtest {

using Bytes = std::vector<uint8_t>;

using test::TempDir;

inline Bytes ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteAll(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline uint32_t Be16(const Bytes& b, size_t at) { return uint32_t(b.at(at)) << 8 | b.at(at + 1); }
inline uint32_t Be32(const Bytes& b, size_t at) { return Be16(b, at) << 16 | Be16(b, at + 2); }
inline void PutBe16(Bytes& b, uint32_t v) {
  b.push_back(uint8_t(v >> 8));
  b.push_back(uint8_t(v));
}
inline void PutBe32(Bytes& b, uint32_t v) {
  PutBe16(b, v >> 16);
  PutBe16(b, v & 0xFFFF);
}

// A Palm database as the test reads it: the fields it checks and the records cut at their offsets.
struct ParsedPdb {
  std::string name;
  std::string type;
  std::string creator;
  uint32_t creationDate = 0;
  uint32_t modificationDate = 0;
  std::vector<Bytes> records;
};

inline ParsedPdb ParsePdb(const Bytes& file) {
  ParsedPdb pdb;
  EXPECT_GE(file.size(), 80u);
  if (file.size() < 80) return pdb;
  pdb.name = std::string(reinterpret_cast<const char*>(file.data()));
  EXPECT_LT(pdb.name.size(), 32u);
  pdb.type.assign(file.begin() + 60, file.begin() + 64);
  pdb.creator.assign(file.begin() + 64, file.begin() + 68);
  pdb.creationDate = Be32(file, 36);
  pdb.modificationDate = Be32(file, 40);
  const size_t n = Be16(file, 76);
  EXPECT_EQ(file.at(78 + 8 * n), 0x99);
  EXPECT_EQ(file.at(79 + 8 * n), 0x99);
  size_t expected = 80 + 8 * n;
  for (size_t i = 0; i < n; ++i) {
    const size_t start = Be32(file, 78 + 8 * i);
    EXPECT_EQ(start, expected) << "record " << i << " does not follow the one before";
    EXPECT_EQ(Be32(file, 82 + 8 * i), 0u);
    const size_t end = i + 1 < n ? Be32(file, 78 + 8 * (i + 1)) : file.size();
    if (start > end || end > file.size()) return pdb;
    pdb.records.emplace_back(file.begin() + start, file.begin() + end);
    expected = end;
  }
  return pdb;
}

// The bytes of a database with the given type, creator and records, laid out as the writer does.
inline Bytes MakePdb(const std::string& name, const std::string& type, const std::string& creator,
                     const std::vector<Bytes>& records) {
  Bytes out(name.begin(), name.end());
  out.resize(32, 0);
  PutBe16(out, 0);
  PutBe16(out, 1);
  for (int i = 0; i < 6; ++i) PutBe32(out, 0);
  out.insert(out.end(), type.begin(), type.end());
  out.insert(out.end(), creator.begin(), creator.end());
  PutBe32(out, 0);
  PutBe32(out, 0);
  PutBe16(out, static_cast<uint32_t>(records.size()));
  uint32_t offset = static_cast<uint32_t>(80 + 8 * records.size());
  for (const Bytes& r : records) {
    PutBe32(out, offset);
    PutBe32(out, 0);
    offset += static_cast<uint32_t>(r.size());
  }
  out.push_back(0x99);
  out.push_back(0x99);
  for (const Bytes& r : records) out.insert(out.end(), r.begin(), r.end());
  return out;
}

}  // namespace lv::palmtest
