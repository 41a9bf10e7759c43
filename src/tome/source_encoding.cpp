#include "tome/source_encoding.h"

#include <string>
#include <vector>

#include "tome/collation.h"
#include "tome/unicode.h"

namespace lv {

std::optional<SourceEncoding> ParseSourceEncoding(std::string_view name) {
  const auto is = [name](std::string_view form) { return name.size() == form.size() && Collate(name, form) == 0; };
  if (is("auto")) return SourceEncoding::kAuto;
  if (is("utf-8") || is("utf8")) return SourceEncoding::kUtf8;
  if (is("windows-1252") || is("cp1252")) return SourceEncoding::kWindows1252;
  return std::nullopt;
}

TextEncoding DetectEncoding(std::string_view text) {
  if (StartsWithByteOrderMark(text)) return TextEncoding::kUtf8;
  Utf8StreamCheck check;
  check.Feed(text);
  return check.Valid() && check.SawHighByte() ? TextEncoding::kUtf8 : TextEncoding::kWindows1252;
}

Status ScanStream(std::FILE* stream, SourceScan& scan) {
  constexpr size_t kPiece = size_t(1) << 20;
  scan = SourceScan{};
  if (std::fseek(stream, 0, SEEK_SET) != 0) return Status::IoError("");
  std::vector<char> buffer(kPiece);
  Utf8StreamCheck check;
  for (bool first = true;; first = false) {
    const size_t got = std::fread(buffer.data(), 1, buffer.size(), stream);
    if (got == 0) break;
    const std::string_view piece(buffer.data(), got);
    if (first) scan.byteOrderMark = StartsWithByteOrderMark(piece);
    check.Feed(piece);
    if (check.Failed()) break;
  }
  if (std::ferror(stream) || std::fseek(stream, 0, SEEK_SET) != 0) return Status::IoError("");
  scan.validUtf8 = check.Valid();
  scan.highByte = check.SawHighByte() || check.Failed();
  return Status::Ok();
}

TextEncoding ResolveEncoding(SourceEncoding choice, std::string_view text) {
  switch (choice) {
    case SourceEncoding::kUtf8: return TextEncoding::kUtf8;
    case SourceEncoding::kWindows1252: return TextEncoding::kWindows1252;
    case SourceEncoding::kAuto: break;
  }
  return DetectEncoding(text);
}

}  // namespace lv
