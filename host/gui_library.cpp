#include "gui_library.h"

#include <cstring>

namespace lmx::host {
namespace {

template <class Fn>
Fn Lookup(HMODULE module, const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace

GuiLibrary::GuiLibrary(const std::string& path) : module_(LoadLibraryA(path.c_str())) {
  if (!module_) {
    error_ = "cannot load " + path + " (error " + std::to_string(GetLastError()) + ")";
    return;
  }
  select_ = Lookup<SelectFn>(module_.get(), "LMXGUI_Select");
  about_ = Lookup<AboutFn>(module_.get(), "LMXGUI_About");
  info_ = Lookup<GetEffectInfoFn>(module_.get(), "LMXGUI_GetEffectInfo");
  if (!IsLoaded()) error_ = path + " lacks one of LMXGUI_Select, LMXGUI_About, LMXGUI_GetEffectInfo";
}

int16_t GuiLibrary::About(HWND owner) const { return about_(owner, nullptr, nullptr); }

EffectInfo GuiLibrary::Info(const std::string& name) const {
  EffectInfo info;
  std::memset(&info, 0, sizeof info);
  info_(name.c_str(), &info);
  return info;
}

}  // namespace lmx::host
