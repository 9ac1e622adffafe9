#include "lmx_render.h"

#include <algorithm>

#include "render_frame.h"

// The third argument is always 1 and carries nothing. The result is 0 for a rendered
// frame, 1 when stopped, -1 when the job cannot be rendered: there is nothing to render
// into, its last position is negative (no transition to place a frame on), or there is
// no memory. A position outside 0..lastPosition is drawn at the nearer end.
extern "C" int32_t __cdecl LMX_Render(lmx::EffectSettings* settings, lmx::RenderJob* job, int32_t /*flags*/) {
  if (job == nullptr || job->lastPosition < 0) return lmx::engine::kNoTarget;
  static const lmx::EffectSettings kEmpty{};
  lmx::RenderJob bounded = *job;
  bounded.position = std::clamp(job->position, 0, job->lastPosition);
  try {
    return lmx::engine::RenderFrame(settings ? *settings : kEmpty, bounded);
  } catch (...) {
    // Nothing escapes into the caller's thread; a frame that could not be finished
    // (no memory) is reported like one without a target.
    return lmx::engine::kNoTarget;
  }
}
