// What the dictionary tests share: writers of small dictd and StarDict sets (plain, gzip and dictzip
// files, 32- and 64-bit offsets, synonyms) and the reading of a tome back through the tome reader.
#pragma once

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "test_files.h"
#include "tome/coding.h"
#include "tome/tome_reader.h"

namespace lv::dict_test {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

struct TomeEntry {
  std::string subject;
  std::string text;
  bool operator==(const TomeEntry&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const TomeEntry& e) {
  return os << "{" << ::testing::PrintToString(e.subject) << ", " << ::testing::PrintToString(e.text) << "}";
}

inline std::vector<TomeEntry> ReadTome(const std::string& path) {
  TomeReader reader;
  const Status opened = reader.Open(path, OpenMode::kReadOnly);
  EXPECT_TRUE(opened.IsOk()) << opened.ToString();
  std::vector<TomeEntry> entries;
  for (int i = 0; i < reader.SubjectCount(); ++i) {
    EXPECT_TRUE(reader.LoadEntryText(i));
    entries.push_back({reader.Subject(i), std::string(reader.CurrentEntryText())});
  }
  return entries;
}

// Raw deflate of text with a full flush at the end (so the next chunk starts afresh); finish ends
// the stream instead.
inline std::string Deflate(z_stream& stream, std::string_view text, bool finish) {
  std::string out(compressBound(uLong(text.size())) + 64, '\0');
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
  stream.avail_in = uInt(text.size());
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = uInt(out.size());
  EXPECT_NE(deflate(&stream, finish ? Z_FINISH : Z_FULL_FLUSH), Z_STREAM_ERROR);
  out.resize(out.size() - stream.avail_out);
  return out;
}

inline void AppendLE16(std::string& out, uint16_t v) {
  out.push_back(char(v & 0xFF));
  out.push_back(char(v >> 8));
}

inline std::string GzipTrailer(std::string_view text) {
  std::string trailer;
  AppendLE32(trailer, uint32_t(crc32(0, reinterpret_cast<const Bytef*>(text.data()), uInt(text.size()))));
  AppendLE32(trailer, uint32_t(text.size()));
  return trailer;
}

// A dictzip file: gzip with the "RA" extra field listing chunks of chunkLength text bytes, each
// compressed on its own; a name in the header as the real tool writes.
inline std::string Dictzip(std::string_view text, size_t chunkLength) {
  z_stream stream{};
  EXPECT_EQ(deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 9, Z_DEFAULT_STRATEGY), Z_OK);
  std::vector<std::string> chunks;
  for (size_t at = 0; at < text.size() || chunks.empty(); at += chunkLength) {
    const bool last = at + chunkLength >= text.size();
    chunks.push_back(Deflate(stream, text.substr(at, chunkLength), last));
  }
  deflateEnd(&stream);
  std::string extra = "RA";
  AppendLE16(extra, uint16_t(6 + 2 * chunks.size()));
  AppendLE16(extra, 1);
  AppendLE16(extra, uint16_t(chunkLength));
  AppendLE16(extra, uint16_t(chunks.size()));
  for (const std::string& chunk : chunks) AppendLE16(extra, uint16_t(chunk.size()));
  std::string out = "\x1F\x8B\x08\x0C";  // deflate; extra field and name follow
  out += std::string(4, '\0') + "\x02\x03";
  AppendLE16(out, uint16_t(extra.size()));
  out += extra;
  out += std::string("words.dict", 11);  // the name with its 0x00
  for (const std::string& chunk : chunks) out += chunk;
  return out + GzipTrailer(text);
}

// A plain gzip file (no chunk table).
inline std::string Gzip(std::string_view text) {
  z_stream stream{};
  EXPECT_EQ(deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY), Z_OK);
  const std::string body = Deflate(stream, text, true);
  deflateEnd(&stream);
  return std::string("\x1F\x8B\x08\x00\x00\x00\x00\x00\x00\x03", 10) + body + GzipTrailer(text);
}

// A number in the base-64 digits of a dictd index.
inline std::string DictdNumber(uint64_t value) {
  static constexpr std::string_view kDigits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string digits;
  do {
    digits.insert(digits.begin(), kDigits[value % 64]);
    value /= 64;
  } while (value > 0);
  return digits;
}

enum class Packing { kPlain, kGzip, kDictzip };

inline std::string Packed(std::string_view text, Packing packing, size_t chunkLength = 64) {
  switch (packing) {
    case Packing::kPlain: return std::string(text);
    case Packing::kGzip: return Gzip(text);
    case Packing::kDictzip: return Dictzip(text, chunkLength);
  }
  return {};
}

inline std::string DictEnding(Packing packing) { return packing == Packing::kPlain ? ".dict" : ".dict.dz"; }

struct DictdEntry {
  std::string headword;
  std::string text;
};

// Writes base.index and base.dict (or base.dict.dz); the texts lie in the data in reverse order, so
// that the index jumps about in them. Returns the index path.
inline std::string WriteDictd(const std::string& base, const std::vector<DictdEntry>& entries, Packing packing) {
  std::string data;
  std::vector<std::pair<size_t, size_t>> spans(entries.size());
  for (size_t i = entries.size(); i-- > 0;) {
    spans[i] = {data.size(), entries[i].text.size()};
    data += entries[i].text;
  }
  std::string index;
  for (size_t i = 0; i < entries.size(); ++i) {
    index += entries[i].headword + "\t" + DictdNumber(spans[i].first) + "\t" + DictdNumber(spans[i].second) + "\n";
  }
  WriteFile(base + ".index", index);
  WriteFile(base + DictEnding(packing), Packed(data, packing));
  return base + ".index";
}

struct StarDictEntry {
  std::string word;
  std::string data;  // the entry's fields as the .dict holds them
};

struct StarDictSet {
  std::vector<StarDictEntry> entries;
  std::vector<std::pair<std::string, uint32_t>> synonyms;  // word, number of its main word
  std::string version = "2.4.2";
  int offsetBits = 32;
  std::string sameTypeSequence = "m";
  Packing dictPacking = Packing::kPlain;
  bool indexGzip = false;
  std::string bookName = "Small Words";
  int64_t wordCountAdjust = 0;  // added to the true word count in the .ifo
  int64_t indexSizeAdjust = 0;  // added to the true index size in the .ifo
};

// Writes base.ifo, base.idx (or .idx.gz), base.dict (or .dict.dz) and, with synonyms, base.syn.
// Returns the ifo path.
inline std::string WriteStarDict(const std::string& base, const StarDictSet& set) {
  std::string data;
  std::string index;
  for (const StarDictEntry& entry : set.entries) {
    index += entry.word;
    index.push_back('\0');
    if (set.offsetBits == 64) AppendBE32(index, 0);
    AppendBE32(index, uint32_t(data.size()));
    AppendBE32(index, uint32_t(entry.data.size()));
    data += entry.data;
  }
  std::string ifo = "StarDict's dict ifo file\nversion=" + set.version + "\nbookname=" + set.bookName +
                    "\nwordcount=" + std::to_string(int64_t(set.entries.size()) + set.wordCountAdjust) +
                    "\nidxfilesize=" + std::to_string(int64_t(index.size()) + set.indexSizeAdjust) + "\n";
  if (set.offsetBits == 64) ifo += "idxoffsetbits=64\n";
  if (!set.sameTypeSequence.empty()) ifo += "sametypesequence=" + set.sameTypeSequence + "\n";
  if (!set.synonyms.empty()) {
    std::string syn;
    for (const auto& [word, main] : set.synonyms) {
      syn += word;
      syn.push_back('\0');
      AppendBE32(syn, main);
    }
    WriteFile(base + ".syn", syn);
    ifo += "synwordcount=" + std::to_string(set.synonyms.size()) + "\n";
  }
  WriteFile(base + ".ifo", ifo);
  WriteFile(base + (set.indexGzip ? ".idx.gz" : ".idx"), set.indexGzip ? Gzip(index) : index);
  WriteFile(base + DictEnding(set.dictPacking), Packed(data, set.dictPacking));
  return base + ".ifo";
}

}  // namespace lv::dict_test
