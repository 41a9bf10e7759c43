// Conversion between the single-byte Windows-1252 text of tomes and pages and Qt's QString.
#pragma once

#include <QByteArray>
#include <QString>
#include <string_view>

namespace lv {

// Every byte maps to one character; the five bytes that Windows-1252 leaves undefined map to the
// C1 control of the same value, as Latin-1 does.
QString DecodeWindows1252(std::string_view bytes);
inline QString DecodeWindows1252(const QByteArray& bytes) {
  return DecodeWindows1252(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
}

// Characters that Windows-1252 cannot hold become '?'.
std::string EncodeWindows1252(const QString& text);

}  // namespace lv
