#include "support/registry_control.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/registry_store.h"

namespace lmx::test {
namespace {

HKEY OpenOrCreate() {
  HKEY key = nullptr;
  RegCreateKeyExA(HKEY_LOCAL_MACHINE, platform::kRegistryKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                  nullptr);
  return key;
}

void Set(const char* name, DWORD type, const void* data, DWORD size) {
  HKEY key = OpenOrCreate();
  if (!key) return;
  RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
  RegCloseKey(key);
}

}  // namespace

void ResetRegistry(bool key_exists) {
  RegDeleteKeyA(HKEY_LOCAL_MACHINE, platform::kRegistryKeyPath);
  if (key_exists) {
    HKEY key = OpenOrCreate();
    if (key) RegCloseKey(key);
  }
}

void SetRegistryString(const char* name, const std::string& text) {
  Set(name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
}

void SetRegistryDword(const char* name, uint32_t value) {
  DWORD v = value;
  Set(name, REG_DWORD, &v, 4);
}

void SetRegistryBytes(const char* name, const std::vector<uint8_t>& bytes) {
  Set(name, REG_BINARY, bytes.data(), static_cast<DWORD>(bytes.size()));
}

void DeleteRegistryValue(const char* name) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, platform::kRegistryKeyPath, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
  RegDeleteValueA(key, name);
  RegCloseKey(key);
}

bool GetRegistryBytes(const char* name, std::vector<uint8_t>* bytes) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, platform::kRegistryKeyPath, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
    return false;
  DWORD size = 0;
  bool ok = RegQueryValueExA(key, name, nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS;
  if (ok) {
    bytes->resize(size);
    ok = RegQueryValueExA(key, name, nullptr, nullptr, bytes->data(), &size) == ERROR_SUCCESS;
  }
  RegCloseKey(key);
  return ok;
}

}  // namespace lmx::test

#else
#include "platform/posix/posix_seams.h"

namespace lmx::test {
void ResetRegistry(bool key_exists) { platform::posix::ResetRegistry(key_exists); }
void SetRegistryString(const char* name, const std::string& text) { platform::posix::SetRegistryString(name, text); }
void SetRegistryDword(const char* name, uint32_t value) { platform::posix::SetRegistryDword(name, value); }
void SetRegistryBytes(const char* name, const std::vector<uint8_t>& bytes) {
  platform::posix::SetRegistryBytes(name, bytes);
}
void DeleteRegistryValue(const char* name) { platform::posix::DeleteRegistryValue(name); }
bool GetRegistryBytes(const char* name, std::vector<uint8_t>* bytes) {
  return platform::posix::GetRegistryBytes(name, bytes);
}
}  // namespace lmx::test
#endif
