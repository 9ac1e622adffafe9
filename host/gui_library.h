// LMX_GUI.DLL as a host sees it: loaded with LoadLibraryA, its three exports found by name.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "model/effect_info.h"
#include "model/effect_settings.h"

namespace lmx::host {

using SelectFn = int16_t(__cdecl*)(HWND owner, EffectSettings* settings, int32_t filterMode);
using AboutFn = int16_t(__cdecl*)(HWND owner, const char* title, const char* release);
using GetEffectInfoFn = int16_t(__cdecl*)(const char* name, EffectInfo* info);

struct ModuleRelease {
  void operator()(HMODULE module) const { FreeLibrary(module); }
};
using ModuleHandle = std::unique_ptr<std::remove_pointer_t<HMODULE>, ModuleRelease>;

class GuiLibrary {
 public:
  // Loads the module; IsLoaded() tells whether it and all three exports were found.
  explicit GuiLibrary(const std::string& path);

  bool IsLoaded() const { return select_ && about_ && info_; }
  // Why loading failed, for the user.
  const std::string& error() const { return error_; }

  // LMXGUI_Select: 0 OK, 1 cancelled, 2 the sheet cannot be created; the block is read
  // and written in place.
  SelectFn select() const { return select_; }
  int16_t About(HWND owner) const;
  EffectInfo Info(const std::string& name) const;

 private:
  ModuleHandle module_;
  SelectFn select_ = nullptr;
  AboutFn about_ = nullptr;
  GetEffectInfoFn info_ = nullptr;
  std::string error_;
};

}  // namespace lmx::host
