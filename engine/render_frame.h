// One preview frame: the settings block and the job in, the job's target out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "effect_source.h"
#include "frame_params.h"
#include "motion.h"
#include "model/render_job.h"
#include "sampling.h"
#include "scene.h"
#include "visible_span.h"

namespace lmx::engine {

enum RenderResult : int32_t {
  kRendered = 0,
  kStopped = 1,     // the abort callback asked to stop; the frame is unfinished (the tiles
                    // done so far may be in the target; a frame of one tile is not written)
  kNoTarget = -1,   // the target has no usable pixels; nothing was written
};

// Counters of the work done by one call, for the benchmark.
struct RenderStats {
  int passes = 0;
  uint64_t triangles = 0;
  uint64_t shadedFragments = 0;
  uint64_t writtenSamples = 0;
};

// One pass: the moment of the paths drawn and the rows it draws (all, or one field's).
struct Pass {
  float tau;
  int firstRow, rowStep;
};

// Everything a frame's passes share: the pieces, the clips, the background, the passes.
// Holds pointers into itself: made in place and never copied.
struct FrameSetup {
  FrameSetup() = default;
  FrameSetup(const FrameSetup&) = delete;
  FrameSetup& operator=(const FrameSetup&) = delete;

  Layout layout;
  Sampler clips[2];
  Sampler backdrop;
  const Sampler* behind = nullptr;  // what the pieces fly over
  int backgroundTexture = 1;        // its index among the job's textures
  SceneContext context;
  std::vector<Pass> passes;
  int passesPerRow = 1;
};

// Fills `setup` for the job's target size and position. The target must be valid. The
// passes' moments are spread over the stretch in which pieces are in view, found through
// `spans` when given (kept between calls) or afresh.
void PrepareFrame(const FrameParams& params, const EffectShape& shape, const RenderJob& job, FrameSetup& setup,
                  VisibleSpanCache* spans = nullptr);

// The buffers and caches of a render, owned by a caller that renders many frames in a row
// on a thread of its own (a plugin instance). One render at a time per object. Without
// one, calls share the process's buffers, and a call that finds them in use makes its own.
class RenderScratch {
 public:
  RenderScratch();
  ~RenderScratch();
  RenderScratch(const RenderScratch&) = delete;
  RenderScratch& operator=(const RenderScratch&) = delete;

  struct Buffers;  // laid out by the renderer
  Buffers& buffers() { return *buffers_; }
  // Bytes the buffers hold between frames.
  size_t heldBytes() const;

 private:
  std::unique_ptr<Buffers> buffers_;
};

// Reads the effect named in the block from the installation and renders.
int32_t RenderFrame(const EffectSettings& settings, const RenderJob& job);
// `threads` for a frame drawn on one thread per core, preview or not.
inline constexpr int kThreadPerCore = -1;
// Renders with the shape given (no file is read) on `threads` threads: 0 for the
// default, one per core for a filter frame (progress callback given) and one for a
// preview frame. With `scratch`, the caller's buffers are used instead of the shared ones.
int32_t RenderShape(const FrameParams& params, const EffectShape& shape, const RenderJob& job,
                    RenderStats* stats = nullptr, int threads = 0, RenderScratch* scratch = nullptr);

}  // namespace lmx::engine
