// Text page bytes:
//   the plain page header (renderer.h) with a Content-Type declaring utf-8 or windows-1252,
//   <div style="white-space: pre-wrap">, the escaped text, </div></font></body></html>.
#include "docview/text_page.h"

#include <cstdint>

#include "tome/windows1252.h"

namespace lv {
namespace {

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kMarkOpen = "<a name=\"findloc\"></a><font color=\"red\">";
constexpr std::string_view kMarkClose = "</font>";
// A character reference reads the same in a UTF-8 and in a Windows-1252 page.
constexpr std::string_view kNulSymbol = "&#9216;";

bool IsContinuation(uint8_t byte) { return (byte & 0xC0) == 0x80; }

// The length of the well-formed UTF-8 sequence at text[i], or 0 when there is none.
size_t Utf8SequenceLength(std::string_view text, size_t i) {
  const auto lead = static_cast<uint8_t>(text[i]);
  if (lead < 0x80) return 1;
  size_t length = 0;
  uint8_t low = 0x80;  // the bounds of the second byte rule out overlong forms, surrogates and > U+10FFFF
  uint8_t high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (text.size() - i < length) return 0;
  const auto second = static_cast<uint8_t>(text[i + 1]);
  if (second < low || second > high) return 0;
  for (size_t k = 2; k < length; ++k) {
    if (!IsContinuation(static_cast<uint8_t>(text[i + k]))) return 0;
  }
  return length;
}

// The plain page header with the character set of its bytes declared in the head; in a UTF-8 page the
// font face (Windows-1252, as in every page setting) is written in UTF-8 too.
std::string TextPageHeader(const PageSettings& settings, int fontSize, TextEncoding encoding) {
  PageSettings pageSettings = settings;
  if (encoding == TextEncoding::kUtf8) pageSettings.fontFace = Windows1252ToUtf8(settings.fontFace);
  std::string header = MakePlainPageHeader(pageSettings, fontSize);
  const std::string_view head = "<head>\r\n";
  const size_t at = header.find(head);
  const std::string_view charset = encoding == TextEncoding::kUtf8 ? "utf-8" : "windows-1252";
  std::string meta = "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=";
  meta.append(charset);
  meta += "\">\r\n";
  if (at != std::string::npos) header.insert(at + head.size(), meta);
  return header;
}

// Appends text with the markup characters escaped and the line ends made LF, opening and closing the
// find mark at character boundaries.
class TextEscaper {
 public:
  TextEscaper(std::string& out, std::optional<FindMark> find, bool utf8, NulBytes nul)
      : m_out(out), m_utf8(utf8), m_nul(nul) {
    if (find && find->offset >= 0) {
      m_markBegin = static_cast<unsigned long long>(find->offset);
      m_markEnd = *m_markBegin + static_cast<unsigned long long>(find->length > 0 ? find->length : 0);
    }
  }

  void Append(std::string_view text, size_t first) {
    for (size_t i = first; i < text.size(); ++i) {
      const auto byte = static_cast<uint8_t>(text[i]);
      if (!(m_utf8 && IsContinuation(byte))) PlaceMark(i);
      switch (byte) {
        case '&': m_out += "&amp;"; break;
        case '<': m_out += "&lt;"; break;
        case '>': m_out += "&gt;"; break;
        case '"': m_out += "&quot;"; break;
        case '\0':
          if (m_nul == NulBytes::kShown) m_out += kNulSymbol;
          break;
        case '\r':
          m_out += '\n';
          if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
          break;
        default: m_out += static_cast<char>(byte);
      }
    }
    PlaceMark(text.size());
    if (m_state == MarkState::kOpen) m_out += kMarkClose;
  }

 private:
  enum class MarkState { kBefore, kOpen, kDone };

  void PlaceMark(size_t i) {
    if (m_state == MarkState::kBefore && m_markBegin && i >= *m_markBegin) {
      m_out += kMarkOpen;
      m_state = MarkState::kOpen;
    }
    if (m_state == MarkState::kOpen && i >= m_markEnd) {
      m_out += kMarkClose;
      m_state = MarkState::kDone;
    }
  }

  std::string& m_out;
  bool m_utf8;
  NulBytes m_nul;
  std::optional<unsigned long long> m_markBegin;
  unsigned long long m_markEnd = 0;
  MarkState m_state = MarkState::kBefore;
};

}  // namespace

TextEncoding DetectTextEncoding(std::string_view text) {
  size_t i = 0;
  while (i < text.size()) {
    // Plain ASCII is passed over eight bytes at a time.
    while (i + 8 <= text.size()) {
      uint64_t word = 0;
      for (size_t k = 0; k < 8; ++k) word |= static_cast<uint64_t>(static_cast<uint8_t>(text[i + k])) << (8 * k);
      if ((word & 0x8080808080808080ULL) != 0) break;
      i += 8;
    }
    if (i >= text.size()) break;
    const size_t length = Utf8SequenceLength(text, i);
    if (length == 0) return TextEncoding::kWindows1252;
    i += length;
  }
  return TextEncoding::kUtf8;
}

std::string RenderTextPage(std::string_view text, const PageSettings& settings, int fontSize,
                           std::optional<FindMark> find, NulBytes nul) {
  const TextEncoding encoding = DetectTextEncoding(text);
  std::string page = TextPageHeader(settings, fontSize, encoding);
  page.reserve(page.size() + text.size() + text.size() / 16 + 128);
  page += "<div style=\"white-space: pre-wrap\">";
  const bool utf8 = encoding == TextEncoding::kUtf8;
  const size_t first = utf8 && text.substr(0, kUtf8ByteOrderMark.size()) == kUtf8ByteOrderMark ? 3 : 0;
  TextEscaper(page, find, utf8, nul).Append(text, first);
  page += "</div></font></body></html>";
  return page;
}

}  // namespace lv
