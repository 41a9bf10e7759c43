#include "tome/status.h"

namespace lv {
namespace {

const char* CodeName(StatusCode code) {
  switch (code) {
    case StatusCode::kOk: return "OK";
    case StatusCode::kNotFound: return "Not found";
    case StatusCode::kCorruption: return "Corruption";
    case StatusCode::kNotSupported: return "Not supported";
    case StatusCode::kInvalidArgument: return "Invalid argument";
    case StatusCode::kIoError: return "IO error";
    case StatusCode::kOutOfMemory: return "Out of memory";
    case StatusCode::kCancelled: return "Cancelled";
  }
  return "Unknown";
}

}  // namespace

std::string Status::ToString() const {
  if (IsOk()) return CodeName(m_code);
  std::string text = CodeName(m_code);
  if (!m_message.empty()) text += ": " + m_message;
  return text;
}

}  // namespace lv
