#include "entry/exports.h"

extern "C" {

int16_t __cdecl LMXGUI_Select(HWND, void*, int32_t) {
  return 1;  // the selection sheet is not built yet: report a cancel
}

int16_t __cdecl LMXGUI_GetEffectInfo(const char* name, lmx::EffectInfo* info) {
  lmx::FillEffectInfo(name, info);
  return 0;
}

int16_t __cdecl LMXGUI_About(HWND, const char*, const char*) {
  return 2;  // the about box is not built yet: report that it cannot be created
}

}  // extern "C"
