// File helpers shared by the builder, the upgrade, the Palm writers, lvtool and the desktop: the one
// owner of C streams (File), the opening of input files, temporary files, and the atomic replacement
// of a file.
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
// Input files are better opened with OpenForReading, which refuses what is not a regular file.
File OpenFile(const std::string& path, const char* mode);

// Opens path with the open(2) access flags (O_RDONLY or O_RDWR) when it names a regular file. A
// named pipe, device, socket or folder is refused at once, without waiting on it. Returns the
// descriptor (close-on-exec), or -1 with failure set to an IO error naming the file and the cause
// ("cannot open 'x.lv': No such file or directory", "cannot open 'x.lv': it is a named pipe, not a
// regular file").
int OpenRegularFileDescriptor(const std::string& path, int accessFlags, Status& failure);

// Opens a regular file for reading ("rb"); file stays empty on failure (see OpenRegularFileDescriptor).
Status OpenForReading(const std::string& path, File& file);
// Reads the whole regular file at path into contents, sized once to the file's size; an IO error
// naming the file and the cause when it cannot be opened or read.
Status ReadWholeFile(const std::string& path, std::string& contents);

// What a file of this st_mode is when it is not a regular file ("a folder", "a named pipe", ...);
// empty for a regular file.
std::string NonRegularFileKind(unsigned mode);

// True when both paths name one existing file (same device and inode), whichever path, hard link or
// symbolic link leads to it.
bool IsSameFile(const std::string& a, const std::string& b);

// The file path finally names: path itself unless it is a symbolic link, else the end of its chain of
// links (which need not exist yet). An IO error naming path when the chain cannot be followed.
Status ResolveSymbolicLinks(const std::string& path, std::string& target);

// The folder of temporary files: $TMPDIR, or /tmp.
std::string TemporaryFolder();

// Opens an anonymous temporary file ("w+b") in TemporaryFolder(); it vanishes when closed.
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
// to a temporary file ".NAME.tmp-PID-XXXXXX" in the destination's folder, which replaces the
// destination only on Commit(). Destroying the writer without a successful Commit() removes the
// temporary file; so does a signal that RemoveTempFilesOnSignals covers, and temporary files of
// processes that no longer run are removed by the next writer into that folder (temp_files.h).
// A destination that is a symbolic link is written through: the file it points to is replaced and the
// link kept.
class AtomicFileWriter {
 public:
  AtomicFileWriter() = default;
  ~AtomicFileWriter();
  AtomicFileWriter(const AtomicFileWriter&) = delete;
  AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

  // Creates the temporary file beside the destination's final target. An IO error naming the
  // destination and the cause on failure: the destination is a folder or another non-regular file,
  // its folder is missing or not writable.
  Status Open(const std::string& destination);
  // The stream to write to ("w+b"); valid between a successful Open and Commit/Abandon.
  std::FILE* Stream() const { return m_stream.get(); }
  // The destination as given to Open.
  const std::string& Destination() const { return m_destination; }
  // Flushes, syncs and renames the temporary file over the destination. The new file keeps the
  // permissions of the file it replaces (or the usual ones for a new file). An IO error on failure.
  Status Commit();
  // Closes and removes the temporary file.
  void Abandon();

 private:
  std::string m_destination;
  std::string m_target;  // the destination with its symbolic links followed
  std::string m_tempPath;
  File m_stream;
};

}  // namespace lv
