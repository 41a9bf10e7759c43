// File helpers shared by the builder, the upgrade, the Palm writers and the desktop.
#pragma once

#include <cstdio>
#include <string>

namespace lv {

// Opens an anonymous temporary file ("w+b") in $TMPDIR (or /tmp); it vanishes when closed.
// Returns nullptr and sets errno when it cannot be created.
std::FILE* OpenAnonymousTempFile();

// Size of an open stream in bytes, or -1. Leaves the position unchanged.
long long StreamSize(std::FILE* stream);

// Copies source from its current position to its end onto destination. False on a read or write
// error.
bool CopyStream(std::FILE* source, std::FILE* destination);

// Writes a file so that a failure never leaves a half-written file where a good one was: the bytes go
// to a temporary file in the destination's folder, which replaces the destination only on Commit().
// Destroying the writer without a successful Commit() removes the temporary file.
class AtomicFileWriter {
 public:
  AtomicFileWriter() = default;
  ~AtomicFileWriter();
  AtomicFileWriter(const AtomicFileWriter&) = delete;
  AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

  // Creates the temporary file beside destination. False (with Error() set) on failure.
  bool Open(const std::string& destination);
  // The stream to write to ("w+b"); valid between a successful Open and Commit/Abandon.
  std::FILE* Stream() const { return m_stream; }
  // Flushes, syncs and renames the temporary file over the destination. The new file keeps the
  // permissions of the file it replaces (or the usual ones for a new file). False with Error() set.
  bool Commit();
  // Closes and removes the temporary file.
  void Abandon();
  const std::string& Error() const { return m_error; }

 private:
  std::string m_destination;
  std::string m_tempPath;
  std::FILE* m_stream = nullptr;
  std::string m_error;
};

}  // namespace lv
