// The state of one run of the selection sheet, valid from the start of RunSelectionSheet
// to its end. At most one sheet runs at a time. Portable: pages, preview and the sheet share it.
#pragma once

#include <cstdint>

#include "model/effect_settings.h"
#include "model/render_job.h"
#include "platform/movable_memory.h"
#include "selection/selection.h"

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

}  // namespace lmx
