#include "cli/tome_access.h"

#include <cerrno>
#include <cstdio>

#include "cli/command.h"
#include "tome/file_util.h"
#include "tome/tome_reader.h"
#include "tome/windows1252.h"

namespace lv::cli {
namespace {

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

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
  if (!OpenFile(path, "rb")) return Fail(ExitStatus::kFile, CannotOpen(path, errno));
  const Status opened = reader.Open(path, OpenMode::kReadOnly);
  if (opened.IsOk()) return ExitStatus::kOk;
  if (opened.IsNotSupported()) return Fail(ExitStatus::kFile, Quoted(path) + " is not a tome this version can read");
  return Fail(ExitStatus::kFile, "cannot read " + Quoted(path) + ": " + opened.Message());
}

std::string Cp1252ToUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  for (const char ch : text) {
    const auto b = static_cast<unsigned char>(ch);
    if (b < 0x80) {
      out += ch;
    } else if (b < 0xA0) {
      const char16_t c = Windows1252Char(b);
      AppendUtf8(out, c ? c : char32_t(0xFFFD));
    } else {
      AppendUtf8(out, b);
    }
  }
  return out;
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
