// A loaded code module (a DLL on Windows, a shared object elsewhere), unloaded when its
// owner goes.
#pragma once

namespace lmx::platform {

class LoadedModule {
 public:
  LoadedModule() = default;
  explicit LoadedModule(const char* path);
  ~LoadedModule() { Unload(); }
  LoadedModule(const LoadedModule&) = delete;
  LoadedModule& operator=(const LoadedModule&) = delete;

  bool IsLoaded() const { return handle_ != nullptr; }
  // The address of an export by name, or null.
  void* Find(const char* name) const;
  void Unload();
  void* handle() const { return handle_; }

 private:
  void* handle_ = nullptr;
};

// An export's address as the function type the caller knows it to have.
template <class Fn>
Fn ProcAs(void* address) {
  return reinterpret_cast<Fn>(address);
}

}  // namespace lmx::platform
