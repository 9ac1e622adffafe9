#include "entry/exports.h"

#include "about/about_box.h"
#include "entry/module_state.h"
#include "entry/sheet_context.h"
#include "platform/module.h"
#include "platform/user_message.h"

namespace {

int16_t SelectWithEngine(HWND owner, lmx::EffectSettings* settings, bool filterMode) {
  // The engine is held for exactly this call; a sheet already running (a host calling
  // again from inside the sheet) or a missing block gets "cannot be created".
  if (!settings || lmx::SheetRunning()) return 2;
  const char* path = lmx::Module().enginePath;
  lmx::platform::LoadedModule engine(path[0] ? path : nullptr);
  if (!engine.IsLoaded()) {
    lmx::platform::ShowStopMessage("Error getting LMX.DLL.", "Cannot continue");
    return 1;
  }
  auto entry = lmx::platform::ProcAs<lmx::RenderEntryFn>(engine.Find("LMX_Render"));
  if (!entry) {
    lmx::platform::ShowStopMessage("Error getting LMX_Render Function.", "Cannot continue");
    return 1;
  }
  lmx::Sheet().renderEntry = entry;
  int16_t result = lmx::RunSelectionSheet(owner, settings, filterMode);
  lmx::Sheet().renderEntry = nullptr;
  return result;
}

}  // namespace

extern "C" {

int16_t __cdecl LMXGUI_Select(HWND owner, void* settings, int32_t filterMode) {
  try {
    return SelectWithEngine(owner, static_cast<lmx::EffectSettings*>(settings), filterMode != 0);
  } catch (...) {
    return 2;
  }
}

int16_t __cdecl LMXGUI_GetEffectInfo(const char* name, lmx::EffectInfo* info) {
  lmx::FillEffectInfo(name, info);
  return 0;
}

int16_t __cdecl LMXGUI_About(HWND parent, const char* title, const char* release) {
  return lmx::ShowAboutBox(parent, title, release);
}

}  // extern "C"
