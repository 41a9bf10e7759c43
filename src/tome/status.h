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

class Status {
 public:
  enum class Code {
    kOk,
    kNotFound,         // no such file, subject or entry
    kCorruption,       // the data is damaged or is not what it claims to be
    kNotSupported,     // well-formed, but of a version or kind this program does not handle
    kInvalidArgument,  // the caller asked for something impossible
    kIoError,          // a file cannot be created, read or written
    kOutOfMemory,
  };

  // An ok status.
  Status() = default;

  static Status Ok() { return Status(); }
  static Status NotFound(std::string message) { return Status(Code::kNotFound, std::move(message)); }
  static Status Corruption(std::string message) { return Status(Code::kCorruption, std::move(message)); }
  static Status NotSupported(std::string message) { return Status(Code::kNotSupported, std::move(message)); }
  static Status InvalidArgument(std::string message) { return Status(Code::kInvalidArgument, std::move(message)); }
  static Status IoError(std::string message) { return Status(Code::kIoError, std::move(message)); }
  static Status OutOfMemory(std::string message) { return Status(Code::kOutOfMemory, std::move(message)); }

  bool ok() const { return m_code == Code::kOk; }
  Code code() const { return m_code; }
  // Empty for an ok status.
  const std::string& message() const { return m_message; }
  bool IsNotSupported() const { return m_code == Code::kNotSupported; }

  // "OK", or the code's name, ": " and the message, e.g. "IO error: cannot open 'x.lv'".
  std::string ToString() const;

 private:
  Status(Code code, std::string message) : m_code(code), m_message(std::move(message)) {}

  Code m_code = Code::kOk;
  std::string m_message;
};

}  // namespace lv
