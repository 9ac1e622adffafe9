#include <dlfcn.h>

#include "platform/module.h"
#include "platform/posix/posix_seams.h"

namespace lmx::platform {

LoadedModule::LoadedModule(const char* path)
    : handle_(path ? dlopen(posix::NativePath(path).c_str(), RTLD_NOW | RTLD_LOCAL) : nullptr) {}

void* LoadedModule::Find(const char* name) const { return handle_ ? dlsym(handle_, name) : nullptr; }

void LoadedModule::Unload() {
  if (handle_) dlclose(handle_);
  handle_ = nullptr;
}

}  // namespace lmx::platform
