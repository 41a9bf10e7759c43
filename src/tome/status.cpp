#include "tome/status.h"

namespace lv {
namespace {

const char* CodeName(Status::Code code) {
  switch (code) {
    case Status::Code::kOk: return "OK";
    case Status::Code::kNotFound: return "Not found";
    case Status::Code::kCorruption: return "Corruption";
    case Status::Code::kNotSupported: return "Not supported";
    case Status::Code::kInvalidArgument: return "Invalid argument";
    case Status::Code::kIoError: return "IO error";
    case Status::Code::kOutOfMemory: return "Out of memory";
  }
  return "Unknown";
}

}  // namespace

std::string Status::ToString() const {
  if (ok()) return CodeName(m_code);
  std::string text = CodeName(m_code);
  if (!m_message.empty()) text += ": " + m_message;
  return text;
}

}  // namespace lv
