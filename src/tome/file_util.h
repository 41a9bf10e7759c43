// File helpers shared by the builder, the upgrade, the Palm writers, lvtool and the desktop: the one
// owner of C streams (File), temporary files, and the atomic replacement of a file.
#pragma once

#include <cstdio>
#include <memory>
#include <string>

#include "tome/status.h"

namespace lv {

// Closes a C stream; the deleter of File.
struct FileCloser {
  void operator()(std::FILE* stream) const { std::fclose(stream); }
};

// Owns one C stream and closes it when it goes. Every stream the core opens is held in one.
using File = std::unique_ptr<std::FILE, FileCloser>;

// Opens path with an fopen mode ("rb", "wb", ...). Empty, with errno set, when it cannot be opened.
File OpenFile(const std::string& path, const char* mode);

// Opens an anonymous temporary file ("w+b") in $TMPDIR (or /tmp); it vanishes when closed.
// Empty, with errno set, when it cannot be created.
File OpenAnonymousTempFile();

// Size of an open stream in bytes, or -1. Leaves the position unchanged.
long long StreamSize(std::FILE* stream);

// Copies source from its current position to its end onto destination. False on a read or write
// error.
bool CopyStream(std::FILE* source, std::FILE* destination);

// True when path lies on a file system mounted read-only (a CD, a stick mounted read-only), whatever
// the file's own permission bits say. False when it cannot be told.
bool IsOnReadOnlyFileSystem(const std::string& path);

// Writes a file so that a failure never leaves a half-written file where a good one was: the bytes go
// to a temporary file in the destination's folder, which replaces the destination only on Commit().
// Destroying the writer without a successful Commit() removes the temporary file.
class AtomicFileWriter {
 public:
  AtomicFileWriter() = default;
  ~AtomicFileWriter();
  AtomicFileWriter(const AtomicFileWriter&) = delete;
  AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

  // Creates the temporary file beside destination. An IO error naming the cause on failure.
  Status Open(const std::string& destination);
  // The stream to write to ("w+b"); valid between a successful Open and Commit/Abandon.
  std::FILE* Stream() const { return m_stream.get(); }
  // Flushes, syncs and renames the temporary file over the destination. The new file keeps the
  // permissions of the file it replaces (or the usual ones for a new file). An IO error on failure.
  Status Commit();
  // Closes and removes the temporary file.
  void Abandon();

 private:
  std::string m_destination;
  std::string m_tempPath;
  File m_stream;
};

}  // namespace lv
