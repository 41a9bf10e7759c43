// The temporary files of outputs being written (AtomicFileWriter): their names, their removal when a
// signal ends the program, and the removal of those that processes which no longer run left behind.
//
// A temporary file is named ".NAME.tmp-PID-XXXXXX" beside the file NAME it will replace, PID being
// the writing process. Its writer holds a lock on it while it lives, so a later writer into the same
// folder can tell a file left behind (process gone, lock free) from one still being written.
#pragma once

#include <string>

namespace lv {

// The mkstemp template of a temporary file that will replace target: "DIR/.NAME.tmp-PID-XXXXXX".
std::string TempFileTemplate(const std::string& target);

// Puts path on the list RemovePendingTempFiles removes, or takes it off. path must stay unchanged in
// memory while it is on the list. The list holds a few dozen files; beyond that a file is not
// listed (it is then removed by the next writer into its folder).
void RegisterPendingTempFile(const char* path);
void UnregisterPendingTempFile(const char* path);

// Removes every listed temporary file. Safe to call from a signal handler.
void RemovePendingTempFiles();

// Installs handlers for SIGINT, SIGTERM and SIGHUP that remove the listed temporary files and then
// end the program by the signal as it would have ended without them. A signal the program ignores
// stays ignored. For single-threaded command-line programs.
void RemoveTempFilesOnSignals();

// Removes from folder the temporary files of this naming whose process no longer runs and whose lock
// is free, as far as they belong to this user. Errors are ignored: this is housekeeping.
void RemoveStaleTempFiles(const std::string& folder);

}  // namespace lv
