#include <windows.h>

#include "platform/registry_store.h"

namespace lmx::platform {
namespace {

// Owns an open registry key.
class OpenKey {
 public:
  explicit OpenKey(REGSAM access) {
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRegistryKeyPath, 0, access, &key_) != ERROR_SUCCESS) key_ = nullptr;
  }
  ~OpenKey() {
    if (key_) RegCloseKey(key_);
  }
  OpenKey(const OpenKey&) = delete;
  OpenKey& operator=(const OpenKey&) = delete;
  HKEY get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

}  // namespace

bool QueryRegistryValue(const char* name, void* data, uint32_t* size) {
  OpenKey key(KEY_QUERY_VALUE);
  if (!key.get()) return false;
  DWORD n = *size;
  if (RegQueryValueExA(key.get(), name, nullptr, nullptr, static_cast<BYTE*>(data), &n) != ERROR_SUCCESS)
    return false;
  *size = n;
  return true;
}

bool SetRegistryValue(const char* name, RegistryType type, const void* data, uint32_t size) {
  OpenKey key(KEY_SET_VALUE);
  if (!key.get()) return false;
  return RegSetValueExA(key.get(), name, 0, static_cast<DWORD>(type), static_cast<const BYTE*>(data), size) ==
         ERROR_SUCCESS;
}

}  // namespace lmx::platform
