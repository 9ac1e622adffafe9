// One preview frame: the settings block and the job in, the job's target out.
#pragma once

#include <cstdint>

#include "preview/render_job.h"

namespace lmx::engine {

enum RenderResult : int32_t {
  kRendered = 0,
  kStopped = 1,     // the abort callback asked to stop; the target holds a partial frame
  kNoTarget = -1,   // the target has no usable pixels; nothing was written
};

int32_t RenderFrame(const EffectSettings& settings, const RenderJob& job);

}  // namespace lmx::engine
