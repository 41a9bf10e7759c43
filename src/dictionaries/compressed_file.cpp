#include "dictionaries/compressed_file.h"

#include <zlib.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace lv::dict {
namespace {

constexpr unsigned kCopyBufferSize = 1 << 16;

struct GzCloser {
  void operator()(gzFile file) const { gzclose(file); }
};
using GzFile = std::unique_ptr<gzFile_s, GzCloser>;

Status CannotOpen(const std::string& path, int error) {
  const std::string message = "cannot open '" + path + "': " + std::strerror(error);
  return error == ENOENT ? Status::NotFound(message) : Status::IoError(message);
}

}  // namespace

bool StartsWithGzipMagic(std::FILE* stream) {
  unsigned char magic[2] = {0, 0};
  const size_t got = std::fread(magic, 1, 2, stream);
  std::rewind(stream);
  return got == 2 && magic[0] == 0x1F && magic[1] == 0x8B;
}

Status OpenUncompressed(const std::string& path, UncompressedFile& out) {
  out = UncompressedFile();
  File file = OpenFile(path, "rb");
  if (!file) return CannotOpen(path, errno);
  if (!StartsWithGzipMagic(file.get())) {
    if (std::ferror(file.get())) return Status::IoError("cannot read '" + path + "': " + std::strerror(errno));
    out.stream = std::move(file);
    return Status::Ok();
  }
  file.reset();
  GzFile gz(gzopen(path.c_str(), "rb"));
  if (!gz) return CannotOpen(path, errno != 0 ? errno : EIO);
  gzbuffer(gz.get(), kCopyBufferSize);
  File copy = OpenAnonymousTempFile();
  if (!copy) return Status::IoError(std::string("cannot create a temporary file: ") + std::strerror(errno));
  std::vector<char> buffer(kCopyBufferSize);
  int64_t total = 0;
  for (;;) {
    const int got = gzread(gz.get(), buffer.data(), kCopyBufferSize);
    if (got < 0) {
      out.cutShort = true;
      break;
    }
    if (got == 0) {
      // A stream that stops before its trailer reads as a plain end; zlib reports it on close.
      int error = Z_OK;
      gzerror(gz.get(), &error);
      if (error != Z_OK) out.cutShort = true;
      break;
    }
    if (std::fwrite(buffer.data(), 1, size_t(got), copy.get()) != size_t(got)) {
      return Status::IoError(std::string("cannot write a temporary file: ") + std::strerror(errno));
    }
    total += got;
  }
  if (gzclose(gz.release()) != Z_OK) out.cutShort = true;
  if (total == 0 && out.cutShort) return Status::Corruption("'" + path + "' is damaged: nothing could be decompressed");
  if (std::fflush(copy.get()) != 0 || std::fseek(copy.get(), 0, SEEK_SET) != 0) {
    return Status::IoError(std::string("cannot write a temporary file: ") + std::strerror(errno));
  }
  out.stream = std::move(copy);
  return Status::Ok();
}

}  // namespace lv::dict
