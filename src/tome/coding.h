// Fixed-width integer helpers: tome files are little-endian, Palm databases big-endian.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace lv {

inline uint32_t DecodeLE32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
inline int32_t DecodeLE32Signed(const uint8_t* p) { return static_cast<int32_t>(DecodeLE32(p)); }

inline void EncodeLE32(uint8_t* p, uint32_t v) {
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
  p[2] = uint8_t(v >> 16);
  p[3] = uint8_t(v >> 24);
}
inline void AppendLE32(std::string& out, uint32_t v) {
  uint8_t b[4];
  EncodeLE32(b, v);
  out.append(reinterpret_cast<const char*>(b), 4);
}

inline uint16_t DecodeBE16(const uint8_t* p) { return uint16_t(p[0] << 8 | p[1]); }
inline uint32_t DecodeBE32(const uint8_t* p) {
  return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}
inline void EncodeBE16(uint8_t* p, uint16_t v) {
  p[0] = uint8_t(v >> 8);
  p[1] = uint8_t(v);
}
inline void EncodeBE32(uint8_t* p, uint32_t v) {
  p[0] = uint8_t(v >> 24);
  p[1] = uint8_t(v >> 16);
  p[2] = uint8_t(v >> 8);
  p[3] = uint8_t(v);
}
inline void AppendBE16(std::string& out, uint16_t v) {
  uint8_t b[2];
  EncodeBE16(b, v);
  out.append(reinterpret_cast<const char*>(b), 2);
}
inline void AppendBE32(std::string& out, uint32_t v) {
  uint8_t b[4];
  EncodeBE32(b, v);
  out.append(reinterpret_cast<const char*>(b), 4);
}
inline void AppendBE16(std::vector<uint8_t>& out, uint16_t v) {
  uint8_t b[2];
  EncodeBE16(b, v);
  out.insert(out.end(), b, b + 2);
}
inline void AppendBE32(std::vector<uint8_t>& out, uint32_t v) {
  uint8_t b[4];
  EncodeBE32(b, v);
  out.insert(out.end(), b, b + 4);
}

}  // namespace lv
