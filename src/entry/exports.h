// The three functions a host calls, exported by name from LMX_GUI.DLL (plain C, cdecl,
// 16-bit results).
#pragma once

#include <windows.h>

#include <cstdint>

#include "model/effect_info.h"

extern "C" {
// 0: OK; 1: cancelled, or the engine module cannot be used; 2: the sheet cannot be created.
int16_t __cdecl LMXGUI_Select(HWND owner, void* settings, int32_t filterMode);
// Always 0; fills info from the effect file of the given short name.
int16_t __cdecl LMXGUI_GetEffectInfo(const char* name, lmx::EffectInfo* info);
// 0 when the box was shown and closed; 2 when it cannot be created.
int16_t __cdecl LMXGUI_About(HWND owner, const char* title, const char* release);
}
