// Controls over the POSIX stand-ins of the platform seams, for native tests and tools:
// an in-memory registry key and a record of the messages shown to the user.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lmx::platform::posix {

// Removes every value; the key exists afterwards only when key_exists is true.
void ResetRegistry(bool key_exists = true);
void SetRegistryString(const char* name, const std::string& text);  // stored with its zero
void SetRegistryDword(const char* name, uint32_t value);
void SetRegistryBytes(const char* name, const std::vector<uint8_t>& bytes);
void DeleteRegistryValue(const char* name);
// The stored bytes, or false when there is no such value.
bool GetRegistryBytes(const char* name, std::vector<uint8_t>* bytes);

struct ShownMessage {
  std::string text;
  std::string caption;
};
// Every message shown since the last call, oldest first; clears the record.
std::vector<ShownMessage> TakeShownMessages();

// Maps a path with Windows separators onto the POSIX file system.
std::string NativePath(const char* path);

}  // namespace lmx::platform::posix
