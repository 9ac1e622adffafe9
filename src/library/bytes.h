// Little-endian fields and four-character codes of the library files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

namespace lmx {

// A tag or header value: the four bytes as they stand in the file, read little-endian.
constexpr uint32_t FourCC(const char (&code)[5]) {
  return uint32_t(uint8_t(code[0])) | uint32_t(uint8_t(code[1])) << 8 | uint32_t(uint8_t(code[2])) << 16 |
         uint32_t(uint8_t(code[3])) << 24;
}

inline uint32_t LoadU32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

inline uint16_t LoadU16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }

inline float LoadF32(const uint8_t* p) {
  uint32_t bits = LoadU32(p);
  float f;
  std::memcpy(&f, &bits, sizeof f);
  return f;
}

inline void StoreU16(uint8_t* p, uint16_t v) {
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
}

inline void StoreU32(uint8_t* p, uint32_t v) {
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
  p[2] = uint8_t(v >> 16);
  p[3] = uint8_t(v >> 24);
}

// The text at the start of a payload: up to its zero, or to the payload's end when the
// zero is missing. Never reads past size bytes.
inline std::string PayloadText(const uint8_t* data, size_t size) {
  const void* zero = std::memchr(data, 0, size);
  size_t n = zero ? static_cast<size_t>(static_cast<const uint8_t*>(zero) - data) : size;
  return std::string(reinterpret_cast<const char*>(data), n);
}

// Copies at most capacity - 1 characters of text into a fixed field and ends it with a
// zero; the rest of the field is cleared.
inline void CopyFixed(char* field, size_t capacity, const char* text) {
  std::memset(field, 0, capacity);
  if (!text) return;
  size_t n = strnlen(text, capacity - 1);
  std::memcpy(field, text, n);
}

}  // namespace lmx
