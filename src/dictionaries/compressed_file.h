// The files of a dictionary set may be gzip-compressed (".dz", ".gz"). OpenUncompressed gives the
// plain bytes of such a file as a seekable stream: the file itself when it is not compressed, or else
// an anonymous temporary file holding its decompressed bytes (so memory stays flat).
#pragma once

#include <cstdint>
#include <string>

#include "tome/file_util.h"
#include "tome/status.h"

namespace lv::dict {

struct UncompressedFile {
  File stream;            // positioned at the start
  bool cutShort = false;  // a compressed file that ended early or was damaged part-way: the stream
                          // holds what could be decompressed
};

// True when the stream starts with the gzip magic bytes; leaves its position at the start.
bool StartsWithGzipMagic(std::FILE* stream);

// NotFound or IoError naming the file when it cannot be opened or read; Corruption when a gzip file
// yields no bytes at all.
Status OpenUncompressed(const std::string& path, UncompressedFile& out);

}  // namespace lv::dict
