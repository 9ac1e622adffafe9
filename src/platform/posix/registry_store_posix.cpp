#include <cstring>
#include <map>
#include <mutex>

#include "platform/posix/posix_seams.h"
#include "platform/registry_store.h"

namespace lmx::platform {
namespace {

struct Store {
  std::mutex lock;
  bool key_exists = true;
  std::map<std::string, std::vector<uint8_t>> values;
};

Store& TheStore() {
  static Store store;
  return store;
}

}  // namespace

bool QueryRegistryValue(const char* name, void* data, uint32_t* size) {
  Store& s = TheStore();
  std::lock_guard<std::mutex> hold(s.lock);
  if (!s.key_exists) return false;
  auto it = s.values.find(name ? name : "");
  if (it == s.values.end() || it->second.size() > *size) return false;
  if (!it->second.empty()) std::memcpy(data, it->second.data(), it->second.size());
  *size = static_cast<uint32_t>(it->second.size());
  return true;
}

bool SetRegistryValue(const char* name, RegistryType, const void* data, uint32_t size) {
  Store& s = TheStore();
  std::lock_guard<std::mutex> hold(s.lock);
  if (!s.key_exists) return false;
  const uint8_t* p = static_cast<const uint8_t*>(data);
  s.values[name ? name : ""] = std::vector<uint8_t>(p, p + size);
  return true;
}

namespace posix {

void ResetRegistry(bool key_exists) {
  Store& s = TheStore();
  std::lock_guard<std::mutex> hold(s.lock);
  s.values.clear();
  s.key_exists = key_exists;
}

void SetRegistryBytes(const char* name, const std::vector<uint8_t>& bytes) {
  Store& s = TheStore();
  std::lock_guard<std::mutex> hold(s.lock);
  s.values[name] = bytes;
}

void SetRegistryString(const char* name, const std::string& text) {
  std::vector<uint8_t> bytes(text.begin(), text.end());
  bytes.push_back(0);
  SetRegistryBytes(name, bytes);
}

void SetRegistryDword(const char* name, uint32_t value) {
  SetRegistryBytes(name, {uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16), uint8_t(value >> 24)});
}

void DeleteRegistryValue(const char* name) {
  Store& s = TheStore();
  std::lock_guard<std::mutex> hold(s.lock);
  s.values.erase(name);
}

bool GetRegistryBytes(const char* name, std::vector<uint8_t>* bytes) {
  Store& s = TheStore();
  std::lock_guard<std::mutex> hold(s.lock);
  auto it = s.values.find(name);
  if (!s.key_exists || it == s.values.end()) return false;
  *bytes = it->second;
  return true;
}

}  // namespace posix
}  // namespace lmx::platform
