#include "entry/exports.h"

#include "about/about_box.h"

extern "C" {

int16_t __cdecl LMXGUI_Select(HWND, void*, int32_t) {
  return 1;  // the selection sheet is not built yet: report a cancel
}

int16_t __cdecl LMXGUI_GetEffectInfo(const char* name, lmx::EffectInfo* info) {
  lmx::FillEffectInfo(name, info);
  return 0;
}

int16_t __cdecl LMXGUI_About(HWND parent, const char* title, const char* release) {
  return lmx::ShowAboutBox(parent, title, release);
}

}  // extern "C"
