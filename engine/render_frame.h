// One preview frame: the settings block and the job in, the job's target out.
#pragma once

#include <cstdint>

#include "effect_source.h"
#include "frame_params.h"
#include "preview/render_job.h"

namespace lmx::engine {

enum RenderResult : int32_t {
  kRendered = 0,
  kStopped = 1,     // the abort callback asked to stop; the target was not written
  kNoTarget = -1,   // the target has no usable pixels; nothing was written
};

// Counters of the work done by one call, for the benchmark.
struct RenderStats {
  int passes = 0;
  uint64_t triangles = 0;
  uint64_t shadedFragments = 0;
  uint64_t writtenSamples = 0;
};

// Reads the effect named in the block from the installation and renders.
int32_t RenderFrame(const EffectSettings& settings, const RenderJob& job);
// Renders with the shape given (no file is read).
int32_t RenderShape(const FrameParams& params, const EffectShape& shape, const RenderJob& job,
                    RenderStats* stats = nullptr);

}  // namespace lmx::engine
