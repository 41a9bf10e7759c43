// DictData: random access to the definitions file of a dictionary, ".dict" or ".dict.dz". A dictzip
// file (gzip whose extra field "RA" lists its independently compressed chunks) is decompressed a
// chunk at a time as entries need them, each chunk once, into a temporary file from which the entries
// are read (indexes seldom visit the text in its own order). Any other gzip file is decompressed
// whole into a temporary file; a plain file is read where it lies. Memory stays flat whatever the
// file's size.
#pragma once

#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tome/file_util.h"
#include "tome/status.h"

namespace lv::dict {

class DictData {
 public:
  DictData();
  ~DictData();
  DictData(const DictData&) = delete;
  DictData& operator=(const DictData&) = delete;

  // NotFound / IoError when the file cannot be opened or read, Corruption when its gzip header or
  // chunk table is damaged; the messages name the file.
  Status Open(const std::string& path);

  // Reads length bytes at offset of the uncompressed text into out. Corruption, naming the file, when
  // the range reaches past the end of the text or a chunk it needs is missing or damaged.
  Status Read(uint64_t offset, uint64_t length, std::string& out);

  bool IsDictzip() const { return !m_chunkStarts.empty(); }
  // A gzip file without a chunk table that ended early: its readable start was kept.
  bool CutShort() const { return m_cutShort; }

 private:
  Status ReadDictzipHeader();
  Status ReadPlain(uint64_t offset, uint64_t length, std::string& out);
  // Reads from the plain bytes of file (the definitions or their decompressed copy) through a window
  // that serves the many nearby entries of an index without a system call each.
  bool ReadThroughWindow(std::FILE* file, uint64_t offset, uint64_t length, std::string& out);
  Status ReadChunked(uint64_t offset, uint64_t length, std::string& out);
  // Makes sure the chunk is in the temporary file; false with status set on failure.
  bool EnsureChunk(size_t chunk, Status& status);
  bool Decompress(size_t chunk, std::vector<uint8_t>& into, Status& status);
  Status Damaged(const std::string& cause) const;

  std::string m_path;
  File m_file;
  uint64_t m_plainSize = 0;
  bool m_cutShort = false;
  // dictzip: the uncompressed length of each chunk (the last may be shorter) and where each chunk's
  // compressed bytes start in the file (one more entry: where the last one ends).
  uint32_t m_chunkLength = 0;
  std::vector<uint64_t> m_chunkStarts;
  File m_decompressed;                 // chunks already decompressed, each at its own position
  std::vector<uint32_t> m_chunkSizes;  // their decompressed sizes; 0 while not yet decompressed
  std::vector<uint8_t> m_compressed;
  std::vector<uint8_t> m_chunk;
  std::vector<uint8_t> m_window;
  uint64_t m_windowStart = 0;
  size_t m_windowSize = 0;  // valid bytes in m_window
  z_stream m_inflater{};
  bool m_inflaterReady = false;
};

}  // namespace lv::dict
