// Status: how every operation of the core reports success or failure. A status is a code and, for a
// failure, a message for people (it names the file and the cause). An ok status holds no message and
// allocates nothing, so returning one costs no more than returning a bool.
//
// Functions that only succeed or fail return a Status; functions that also produce results return an
// outcome struct with a `Status status` member next to the results. Numbers that files or users see
// (Palm export results, lvtool's exit statuses) stay enum classes of their own beside the Status.
#pragma once

#include <string>
#include <utility>

namespace lv {

enum class StatusCode {
  kOk,
  kNotFound,         // no such file, subject or entry
  kCorruption,       // the data is damaged or is not what it claims to be
  kNotSupported,     // well-formed, but of a version or kind this program does not handle
  kInvalidArgument,  // the caller asked for something impossible
  kIoError,          // a file cannot be created, read or written
  kOutOfMemory,
  kCancelled,  // the user asked the work to stop; it left no output behind
};

class Status {
 public:
  // An ok status.
  Status() = default;

  static Status Ok() { return Status(); }
  static Status NotFound(std::string message) { return Status(StatusCode::kNotFound, std::move(message)); }
  static Status Corruption(std::string message) { return Status(StatusCode::kCorruption, std::move(message)); }
  static Status NotSupported(std::string message) { return Status(StatusCode::kNotSupported, std::move(message)); }
  static Status InvalidArgument(std::string message) {
    return Status(StatusCode::kInvalidArgument, std::move(message));
  }
  static Status IoError(std::string message) { return Status(StatusCode::kIoError, std::move(message)); }
  static Status OutOfMemory(std::string message) { return Status(StatusCode::kOutOfMemory, std::move(message)); }
  static Status Cancelled(std::string message) { return Status(StatusCode::kCancelled, std::move(message)); }

  bool IsOk() const { return m_code == StatusCode::kOk; }
  StatusCode Code() const { return m_code; }
  // Empty for an ok status.
  const std::string& Message() const { return m_message; }
  bool IsNotSupported() const { return m_code == StatusCode::kNotSupported; }
  bool IsCancelled() const { return m_code == StatusCode::kCancelled; }

  // "OK", or the code's name, ": " and the message, e.g. "IO error: cannot open 'x.lv'".
  std::string ToString() const;

 private:
  Status(StatusCode code, std::string message) : m_code(code), m_message(std::move(message)) {}

  StatusCode m_code = StatusCode::kOk;
  std::string m_message;
};

}  // namespace lv
