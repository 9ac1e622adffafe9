// The state of one run of the selection sheet, valid from the start of RunSelectionSheet
// to its end. At most one sheet runs at a time.
#pragma once

#include <windows.h>

#include <cstdint>

#include "model/effect_settings.h"
#include "model/render_job.h"
#include "pages/selection.h"
#include "platform/movable_memory.h"

namespace lmx {

inline constexpr int kIconSlots = 16;

struct SheetContext {
  EffectSettings* hostSettings = nullptr;
  bool filterMode = false;
  bool cancelRequested = false;
  RenderEntryFn renderEntry = nullptr;
  platform::MemoryHandle iconSlots[kIconSlots] = {};
};

SheetContext& Sheet();
SelectionState& Selection();

// At most one sheet at a time, claimed atomically (a host may call from two threads);
// given back when the claim ends.
class SheetClaim {
 public:
  SheetClaim();
  ~SheetClaim();
  SheetClaim(const SheetClaim&) = delete;
  SheetClaim& operator=(const SheetClaim&) = delete;
  // False when another sheet was running.
  bool Held() const { return held_; }

 private:
  bool held_;
};

// Runs the sheet (under a SheetClaim): 0 OK, 1 cancelled, 2 the sheet cannot be
// created. Whatever happens inside, the preview, icons and effect are released.
int16_t RunSelectionSheet(HWND owner, EffectSettings* settings, bool filterMode);

// The page procedures of the sheet, one per page.
INT_PTR CALLBACK FxPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK OptionsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK FilterPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK ObjectsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK SettingsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace lmx
