#include "entry/exports.h"

#include "about/about_box.h"
#include "config/installed_files.h"
#include "entry/sheet.h"
#include "platform/catch_all.h"
#include "platform/module.h"
#include "platform/user_message.h"
#include "ui/module_state.h"

namespace {

int16_t SelectWithEngine(HWND owner, lmx::EffectSettings* settings, bool filterMode) {
  // The engine is held for exactly this call; a sheet already running (a host calling
  // again from inside the sheet, or from another thread) or a missing block gets
  // "cannot be created".
  if (!settings) return 2;
  lmx::SheetClaim claim;
  if (!claim.Held()) return 2;
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
  // The entry points into the engine, which is unloaded right after: the sheet's session,
  // which ends before, is the only holder.
  return lmx::RunSelectionSheet(owner, settings, filterMode, entry);
}

}  // namespace

extern "C" {

int16_t __cdecl LMXGUI_Select(HWND owner, void* settings, int32_t filterMode) {
  return lmx::platform::CatchAll<int16_t>(
      2, [&] { return SelectWithEngine(owner, static_cast<lmx::EffectSettings*>(settings), filterMode != 0); });
}

int16_t __cdecl LMXGUI_GetEffectInfo(const char* name, lmx::EffectInfo* info) {
  const bool filled = lmx::platform::CatchAll(false, [&] {
    lmx::FillEffectInfo(name, info);
    return true;
  });
  if (!filled && info) *info = lmx::EffectInfo{};  // as when memory runs out: all zero
  return 0;
}

int16_t __cdecl LMXGUI_About(HWND parent, const char* title, const char* release) {
  return lmx::platform::CatchAll<int16_t>(2, [&] { return lmx::ShowAboutBox(parent, title, release); });
}

}  // extern "C"
