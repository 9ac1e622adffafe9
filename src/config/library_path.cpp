#include "config/library_path.h"

#include <cstring>

#include "config/registry.h"

namespace lmx {

bool BuildLibraryPath(char* buffer, uint32_t size, const char* subdirectory, const char* name,
                      const char* extension) {
  if (!ReadRegistryString(buffer, size, "Path")) return false;
  size_t used = std::strlen(buffer);
  const char* pieces[] = {"\\", subdirectory, "\\", name, ".", extension};
  for (const char* piece : pieces) {
    size_t n = piece ? std::strlen(piece) : 0;
    if (n >= size - used) {
      buffer[0] = '\0';
      return false;
    }
    std::memcpy(buffer + used, piece, n);
    used += n;
  }
  buffer[used] = '\0';
  return true;
}

}  // namespace lmx
