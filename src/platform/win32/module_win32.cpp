#include <windows.h>

#include "platform/module.h"

namespace lmx::platform {

LoadedModule::LoadedModule(const char* path) : handle_(path ? LoadLibraryA(path) : nullptr) {}

void* LoadedModule::Find(const char* name) const {
  if (!handle_) return nullptr;
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name));
}

void LoadedModule::Unload() {
  if (handle_) FreeLibrary(static_cast<HMODULE>(handle_));
  handle_ = nullptr;
}

}  // namespace lmx::platform
