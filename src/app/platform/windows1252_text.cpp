#include "app/platform/windows1252_text.h"

#include "tome/windows1252.h"

namespace lv {
namespace {

// The character of byte b; the five undefined bytes keep their own value.
char16_t CharOf(unsigned char b) {
  const char16_t c = Windows1252Char(b);
  return c != 0 ? c : char16_t(b);
}

// The byte of character c, with the C1 controls of the undefined bytes standing for those bytes; -1
// when Windows-1252 has none.
int ByteOf(char16_t c) {
  if (c >= 0x80 && c < 0xA0 && Windows1252Char(static_cast<uint8_t>(c)) == 0) return c;
  return Windows1252Byte(c);
}

}  // namespace

QString DecodeWindows1252(std::string_view bytes) {
  QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
  QChar* out = text.data();
  for (unsigned char byte : bytes) {
    *out++ = QChar(CharOf(byte));
  }
  return text;
}

std::string EncodeWindows1252(const QString& text) {
  std::string bytes;
  bytes.reserve(static_cast<size_t>(text.size()));
  for (QChar ch : text) {
    const int byte = ByteOf(ch.unicode());
    bytes.push_back(byte >= 0 ? static_cast<char>(byte) : '?');
  }
  return bytes;
}

}  // namespace lv
