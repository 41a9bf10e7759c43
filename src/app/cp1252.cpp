#include "app/cp1252.h"

namespace lv {
namespace {

// Characters of the bytes 0x80..0x9F; the undefined bytes keep their own value.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

}  // namespace

QString DecodeWindows1252(std::string_view bytes) {
  QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
  QChar* out = text.data();
  for (unsigned char byte : bytes) {
    *out++ = (byte >= 0x80 && byte < 0xA0) ? QChar(kHighControls[byte - 0x80]) : QChar(byte);
  }
  return text;
}

std::string EncodeWindows1252(const QString& text) {
  std::string bytes;
  bytes.reserve(static_cast<size_t>(text.size()));
  for (QChar ch : text) {
    char16_t code = ch.unicode();
    if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) {
      bytes.push_back(static_cast<char>(code));
      continue;
    }
    char mapped = '?';
    for (int i = 0; i < 32; ++i) {
      if (kHighControls[i] == code) {
        mapped = static_cast<char>(0x80 + i);
        break;
      }
    }
    bytes.push_back(mapped);
  }
  return bytes;
}

}  // namespace lv
