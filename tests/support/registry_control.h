// Sets up the product's registry key for a test: the real key under Wine, the in-memory
// stand-in natively.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lmx::test {

// Deletes the key and every value; creates it again, empty, when key_exists is true.
void ResetRegistry(bool key_exists = true);
void SetRegistryString(const char* name, const std::string& text);
void SetRegistryDword(const char* name, uint32_t value);
void SetRegistryBytes(const char* name, const std::vector<uint8_t>& bytes);
void DeleteRegistryValue(const char* name);
// The stored bytes, or false when the value does not exist.
bool GetRegistryBytes(const char* name, std::vector<uint8_t>* bytes);

}  // namespace lmx::test
