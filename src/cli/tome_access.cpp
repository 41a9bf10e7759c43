#include "cli/tome_access.h"

#include <cstdio>

#include "cli/command.h"
#include "tome/tome_reader.h"
#include "tome/windows1252.h"

namespace lv::cli {
namespace {

// Decodes one UTF-8 sequence of two or three bytes at text[i]; its length in bytes, or 0.
size_t DecodeUtf8(std::string_view text, size_t i, char32_t& c) {
  const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(i);
  if (lead >= 0xC2 && lead <= 0xDF && i + 1 < text.size() && (byte(i + 1) & 0xC0) == 0x80) {
    c = char32_t(lead & 0x1F) << 6 | (byte(i + 1) & 0x3F);
    return 2;
  }
  if (lead >= 0xE0 && lead <= 0xEF && i + 2 < text.size() && (byte(i + 1) & 0xC0) == 0x80 &&
      (byte(i + 2) & 0xC0) == 0x80) {
    c = char32_t(lead & 0x0F) << 12 | char32_t(byte(i + 1) & 0x3F) << 6 | (byte(i + 2) & 0x3F);
    return 3;
  }
  return 0;
}

}  // namespace

ExitStatus OpenTomeReadOnly(TomeReader& reader, const std::string& path) {
  const Status opened = reader.Open(path, OpenMode::kReadOnly);
  if (opened.IsOk()) return ExitStatus::kOk;
  // The reader's IO errors name the file and the system's reason; its other failures name the cause.
  if (opened.Code() == StatusCode::kIoError) return Fail(ExitStatus::kFile, opened.Message());
  if (opened.IsNotSupported()) {
    return Fail(ExitStatus::kFile, Quoted(path) + " is not a tome this version can read" + CauseOf(opened));
  }
  return Fail(ExitStatus::kFile, "cannot read " + Quoted(path) + CauseOf(opened));
}

std::string Utf8ToCp1252(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    char32_t c = 0;
    const size_t length = static_cast<unsigned char>(text[i]) < 0x80 ? 0 : DecodeUtf8(text, i, c);
    const int mapped = length ? Windows1252Byte(c) : -1;
    if (mapped < 0) {
      out += text[i++];
    } else {
      out += static_cast<char>(mapped);
      i += length;
    }
  }
  return out;
}

}  // namespace lv::cli
