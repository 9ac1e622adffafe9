// The selection sheet: claimed by one caller at a time, run, and torn down.
#pragma once

#include <windows.h>

#include <cstdint>

#include "model/effect_settings.h"
#include "model/render_job.h"

namespace lmx {

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

// Runs the sheet (under a SheetClaim) with the engine's entry for its previews: 0 OK,
// 1 cancelled, 2 the sheet cannot be created. Whatever happens inside, the preview,
// icons and effect are released.
int16_t RunSelectionSheet(HWND owner, EffectSettings* settings, bool filterMode, RenderEntryFn renderEntry);

}  // namespace lmx
