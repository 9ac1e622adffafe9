#include "config/registry.h"

#include <cstring>

#include "platform/registry_store.h"

namespace lmx {

uint32_t ReadRegistryDword(const char* name) {
  uint8_t bytes[4] = {0, 0, 0, 0};
  uint32_t size = sizeof bytes;
  if (!platform::QueryRegistryValue(name, bytes, &size)) return 0;
  return uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 | uint32_t(bytes[3]) << 24;
}

bool ReadRegistryString(char* buffer, uint32_t size, const char* name) {
  if (!buffer || size == 0) return false;
  uint32_t got = size;
  if (!platform::QueryRegistryValue(name, buffer, &got)) return false;
  // A stored string need not carry its zero: terminate it, and refuse one that fills the
  // buffer without leaving room for it.
  if (got < size) {
    buffer[got] = '\0';
    return true;
  }
  return std::memchr(buffer, '\0', size) != nullptr;
}

bool WriteRegistryDword(const char* name, uint32_t value) {
  const uint8_t bytes[4] = {uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16), uint8_t(value >> 24)};
  return platform::SetRegistryValue(name, platform::RegistryType::Dword, bytes, sizeof bytes);
}

bool WriteRegistryString(const char* name, const char* text) {
  if (!text) return false;
  return platform::SetRegistryValue(name, platform::RegistryType::String, text,
                                    static_cast<uint32_t>(std::strlen(text) + 1));
}

}  // namespace lmx
