// Registry accessors for the product's key (see platform/registry_store.h). Each call
// opens the key, does one read or write and closes it; nothing is ever created.
#pragma once

#include <cstdint>

namespace lmx {

// The stored value, or 0 when the key or value cannot be read. Whatever bytes are stored
// are taken when they fit in four (a string "1" reads as 49).
uint32_t ReadRegistryDword(const char* name);

// Copies a string value of at most size bytes, terminating zero included, into buffer.
// False when it cannot be read or does not fit; the buffer is then not to be used.
bool ReadRegistryString(char* buffer, uint32_t size, const char* name);

bool WriteRegistryDword(const char* name, uint32_t value);
bool WriteRegistryString(const char* name, const char* text);

}  // namespace lmx
