#include "tome/unicode.h"

#include <unicode/uchar.h>

#include <algorithm>

namespace lv {
namespace {

bool IsContinuation(uint8_t b) { return (b & 0xC0) == 0x80; }

// The length a lead byte announces (2..4), or 0 when it cannot start a multi-byte sequence.
size_t AnnouncedLength(uint8_t b) {
  if (b >= 0xC2 && b <= 0xDF) return 2;
  if ((b & 0xF0) == 0xE0) return 3;
  if (b >= 0xF0 && b <= 0xF4) return 4;
  return 0;
}

// Whether the second byte of a sequence led by lead is allowed (this excludes overlong forms,
// surrogates and code points above U+10FFFF, as the UTF-8 definition does).
bool SecondByteAllowed(uint8_t lead, uint8_t second) {
  if (!IsContinuation(second)) return false;
  if (lead == 0xE0) return second >= 0xA0;
  if (lead == 0xED) return second <= 0x9F;
  if (lead == 0xF0) return second >= 0x90;
  if (lead == 0xF4) return second <= 0x8F;
  return true;
}

}  // namespace

Utf8Unit DecodeUtf8At(std::string_view text, size_t position) {
  const auto* p = reinterpret_cast<const uint8_t*>(text.data()) + position;
  const size_t left = text.size() - position;
  const uint8_t lead = p[0];
  if (lead < 0x80) return Utf8Unit{lead, 1, true};
  const size_t length = AnnouncedLength(lead);
  const Utf8Unit invalid{kReplacementCharacter, 1, false};
  if (length == 0 || left < length || !SecondByteAllowed(lead, p[1])) return invalid;
  char32_t c = lead & (0x7F >> length);
  for (size_t i = 1; i < length; ++i) {
    if (!IsContinuation(p[i])) return invalid;
    c = c << 6 | (p[i] & 0x3Fu);
  }
  return Utf8Unit{c, uint8_t(length), true};
}

bool IsValidUtf8(std::string_view text) {
  for (size_t i = 0; i < text.size();) {
    if (uint8_t(text[i]) < 0x80) {
      ++i;
      continue;
    }
    const Utf8Unit unit = DecodeUtf8At(text, i);
    if (!unit.valid) return false;
    i += unit.length;
  }
  return true;
}

size_t WholeUtf8Length(std::string_view text) {
  // A cut sequence has at most three bytes: look back over the continuation bytes at the end.
  const size_t n = text.size();
  for (size_t back = 1; back <= 3 && back <= n; ++back) {
    const auto b = uint8_t(text[n - back]);
    if (IsContinuation(b)) continue;
    const size_t announced = AnnouncedLength(b);
    return announced > back ? n - back : n;
  }
  return n;
}

std::string ReplaceInvalidUtf8(std::string_view text, int64_t& replaced) {
  std::string out;
  out.reserve(text.size());
  size_t run = 0;  // start of the well-formed bytes not yet copied
  for (size_t i = 0; i < text.size();) {
    if (uint8_t(text[i]) < 0x80) {
      ++i;
      continue;
    }
    const Utf8Unit unit = DecodeUtf8At(text, i);
    if (unit.valid) {
      i += unit.length;
      continue;
    }
    out.append(text.substr(run, i - run));
    out.append("\xEF\xBF\xBD");
    ++replaced;
    run = ++i;
  }
  out.append(text.substr(run));
  return out;
}

char32_t SimpleCaseFold(char32_t c) {
  if (c < 0x80) return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c;
  return char32_t(u_foldCase(UChar32(c), U_FOLD_CASE_DEFAULT));
}

bool IsWordCharacter(char32_t c) {
  if (c < 0x80) return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
  return (U_GET_GC_MASK(UChar32(c)) & (U_GC_L_MASK | U_GC_M_MASK | U_GC_ND_MASK)) != 0;
}

void Utf8StreamCheck::Feed(std::string_view bytes) {
  if (!m_valid) return;
  if (!m_pending.empty()) {
    // Complete the sequence the last piece left open, then go on after it.
    const size_t length = AnnouncedLength(uint8_t(m_pending[0]));
    const size_t take = std::min(length - m_pending.size(), bytes.size());
    m_pending.append(bytes.substr(0, take));
    bytes.remove_prefix(take);
    if (m_pending.size() < length) return;
    if (!DecodeUtf8At(m_pending, 0).valid) {
      m_valid = false;
      return;
    }
    m_pending.clear();
  }
  const size_t whole = WholeUtf8Length(bytes);
  for (size_t i = 0; i < whole; ++i) {
    if (uint8_t(bytes[i]) >= 0x80) {
      m_sawHighByte = true;
      break;
    }
  }
  if (!IsValidUtf8(bytes.substr(0, whole))) {
    m_valid = false;
    return;
  }
  m_pending.assign(bytes.substr(whole));
  if (!m_pending.empty()) m_sawHighByte = true;
}

}  // namespace lv
