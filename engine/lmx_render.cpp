#include "lmx_render.h"

#include "render_frame.h"

// The third argument is always 1 and carries nothing. The result is 0 for a rendered
// frame, 1 when stopped, -1 when there was nothing to render into.
extern "C" int32_t __cdecl LMX_Render(lmx::EffectSettings* settings, lmx::RenderJob* job, int32_t /*flags*/) {
  if (job == nullptr) return lmx::engine::kNoTarget;
  static const lmx::EffectSettings kEmpty{};
  try {
    return lmx::engine::RenderFrame(settings ? *settings : kEmpty, *job);
  } catch (...) {
    // Nothing escapes into the caller's thread; a frame that could not be finished
    // (no memory) is reported like one without a target.
    return lmx::engine::kNoTarget;
  }
}
