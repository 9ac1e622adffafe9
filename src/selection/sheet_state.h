// What a run of the selection sheet was given: the host's block, the mode, the engine's
// entry, and the icons the FX page shows. Portable; one run's session holds it.
#pragma once

#include <cstdint>

#include "model/effect_settings.h"
#include "model/render_job.h"
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

}  // namespace lmx
