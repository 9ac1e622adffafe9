#include "render_frame.h"

#include <algorithm>
#include <cmath>
#include <atomic>
#include <functional>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "frame_threads.h"
#include "image_view.h"
#include "motion.h"
#include "raster.h"
#include "sample_ops.h"
#include "scene.h"
#include "visible_span.h"

namespace lmx::engine {

namespace {

bool Stopped(const RenderJob& job) { return job.abortCallback != nullptr && job.abortCallback() != 0; }

// The moment of the transition (0..1) that a position stands for, and the length of one
// frame interval on the same scale.
struct Timing {
  float tau;
  float interval;
};

Timing TimingOf(const FrameParams& params, const RenderJob& job) {
  double last = job.lastPosition > 0 ? static_cast<double>(job.lastPosition) : 0.0;
  double t = last > 0 ? std::clamp(static_cast<double>(job.position) / last, 0.0, 1.0) : 0.0;
  double interval = last > 0 ? 1.0 / last : 0.01;
  // TransitionPeriod: the share of the preview in the middle of which the motion runs;
  // 0 stands for the whole preview.
  double share = params.transitionPeriod > 0 ? std::max(0.05, static_cast<double>(params.transitionPeriod)) : 1.0;
  double tau = std::clamp((t - (1 - share) / 2) / share, 0.0, 1.0);
  return {static_cast<float>(tau), static_cast<float>(interval / share)};
}

// Rows first .. first + rows - 1 of the picture behind everything, one pixel a texel.
void Background(const Sampler& sampler, int width, int height, int first, int rows, std::vector<Packed>& out) {
  out.resize(static_cast<size_t>(width) * rows);
  const ImageView& image = sampler.image;
  if (image.valid() && image.width == width && image.height == height) {
    // A picture of the frame's size lies on it texel for pixel: copied, not sampled.
    const uint8_t* texels = image.pixels + static_cast<size_t>(first) * width * 4;
    for (size_t i = 0; i < out.size(); ++i) out[i] = Sampler::Word(texels + i * 4) & 0xFFFFFF;
    return;
  }
  const TexelFetch fetch(&sampler);
  Packed* row = out.data();
  for (int y = first; y < first + rows; ++y, row += width) {
    const float v = (y + 0.5f) / height;
    for (int x = 0; x < width; ++x) row[x] = fetch.At((x + 0.5f) / width, v);
  }
}

constexpr int kMaxThreads = 16;
// A frame is drawn in tiles: runs of whole rows, each drawn through every pass and then
// written to the target, so that a thread's buffers cover one tile, whatever the frame's
// size. A tile's buffers take at most kTileBytes, were every pixel split.
constexpr size_t kTileBytes = size_t{3} << 20;
// Tiles of fewer rows repeat too much of each primitive's setup.
constexpr int kMinTileRows = 8;
// With several threads, at least this many tiles each, so that they finish together.
constexpr int kTilesPerThread = 4;

// The rows of a tile for a frame of width x height at `samples` on `threads` threads.
int TileRows(int width, int height, int samples, int threads) {
  // Per pixel: the tile's buffers, its sums and its background.
  const size_t perPixel = SampleFrame::PixelBytes(samples) + kSumLanes * sizeof(SampleSum) + sizeof(Packed);
  int rows = static_cast<int>(std::max<size_t>(1, kTileBytes / (perPixel * static_cast<size_t>(width))));
  if (threads > 1) {
    const int shared = (height + threads * kTilesPerThread - 1) / (threads * kTilesPerThread);
    rows = std::min(rows, std::max(kMinTileRows, shared));
  }
  return std::clamp(rows, 1, height);
}

// One thread's buffers: a tile's samples, background and sums.
struct Worker {
  SampleFrame frame;
  std::vector<Packed> background;
  std::vector<SampleSum> sums;
};

// A sub-frame at the same moment as the one before (the blur window reaches back past the
// start of the transition) is the same picture: it is not drawn again, only counted again.
bool RepeatsPrevious(const std::vector<Pass>& passes, size_t i) {
  return i > 0 && passes[i].tau == passes[i - 1].tau && passes[i].firstRow == passes[i - 1].firstRow;
}

// Draws pass i of the frame into the tile.
void DrawPass(const FrameSetup& setup, size_t i, const std::vector<DrawLists>& all, Worker& worker) {
  const std::vector<Pass>& passes = setup.passes;
  const Pass& pass = passes[i];
  SampleFrame& frame = worker.frame;
  if (!RepeatsPrevious(passes, i)) {
    const DrawLists& lists = all[i];
    frame.SetRows(pass.firstRow, pass.rowStep);
    frame.BeginPass();
    for (const DrawShadow& s : lists.shadows) {
      if (s.corners == 4) frame.DrawShadowQuad(s.v, s.keep);
      else frame.DrawShadow(s.v, s.keep);
    }
    auto draw = [&frame](const DrawTriangle& t) {
      if (t.corners == 4) frame.DrawQuad(t.v, t.material);
      else frame.DrawTriangle(t.v, t.material);
    };
    for (const DrawTriangle& t : lists.opaque) draw(t);
    for (const DrawTriangle& t : lists.translucent) draw(t);
    for (const DrawLine& l : lists.lines) frame.DrawLine(l.x0, l.y0, l.x1, l.y1, l.colour);
  }
}

// The buffers of a render, kept from one call to the next: a preview renders many frames
// of one size in a row. A call that finds them in use (another thread rendering) makes
// its own. They cover one tile per thread, so they stay small after a large frame.
struct Scratch {
  std::vector<Worker> workers;
  std::vector<DrawLists> lists;
  VisibleSpanCache span;
};

class ScratchLease {
 public:
  ScratchLease() : held_(SharedLock().try_lock()) {}
  ~ScratchLease() {
    if (held_) SharedLock().unlock();
  }
  ScratchLease(const ScratchLease&) = delete;
  ScratchLease& operator=(const ScratchLease&) = delete;
  Scratch& get() { return held_ ? Shared() : own_; }

 private:
  static std::mutex& SharedLock() {
    static std::mutex lock;
    return lock;
  }
  static Scratch& Shared() {
    static Scratch scratch;
    return scratch;
  }
  bool held_;
  Scratch own_;
};

// Sub-frames spread over the share BlurPercent of the frame interval before the frame,
// narrowing to nothing at the end of the transition; with field rendering every
// sub-frame is drawn once per field, the second field half an interval later.
std::vector<Pass> PassesOf(const FrameParams& params, const Timing& timing, int height) {
  int subFrames = params.blurPercent > 0 ? std::clamp(params.blurCount, 0, kMaxBlurCount) + 1 : 1;
  float window = params.blurPercent * timing.interval * std::min(1.0f, (1 - timing.tau) / timing.interval);
  std::vector<Pass> passes;
  int fields = params.frameField == 0 ? 1 : 2;
  for (int f = 0; f < fields; ++f) {
    // The odd field holds the 1st, 3rd, ... lines from the top; rows here count from the bottom.
    int topParity = params.frameField == 2 ? 1 - f : f;
    int firstRow = fields == 1 ? 0 : ((height - 1 - topParity) % 2 + 2) % 2;
    float shift = f == 0 ? 0.0f : timing.interval / 2;
    for (int j = 0; j < subFrames; ++j) {
      float back = subFrames > 1 ? window * j / (subFrames - 1) : 0.0f;
      passes.push_back({std::clamp(timing.tau + shift - back, 0.0f, 1.0f), firstRow, fields});
    }
  }
  return passes;
}

}  // namespace

struct RenderScratch::Buffers {
  Scratch scratch;
};
RenderScratch::RenderScratch() : buffers_(std::make_unique<Buffers>()) {}
RenderScratch::~RenderScratch() = default;

size_t RenderScratch::heldBytes() const {
  const Scratch& s = buffers_->scratch;
  size_t bytes = 0;
  for (const Worker& w : s.workers) {
    bytes += w.frame.heldBytes() + w.background.capacity() * sizeof(Packed) + w.sums.capacity() * sizeof(SampleSum);
  }
  for (const DrawLists& l : s.lists) {
    bytes += (l.opaque.capacity() + l.translucent.capacity()) * sizeof(DrawTriangle) +
             l.shadows.capacity() * sizeof(DrawShadow) + l.lines.capacity() * sizeof(DrawLine);
  }
  return bytes;
}

int32_t RenderFrame(const EffectSettings& settings, const RenderJob& job) {
  if (!ViewTarget(job.target).valid()) return kNoTarget;
  FrameParams params = ReadFrameParams(settings);
  EffectShape shape = ReadEffectShape(settings.effectName);
  return RenderShape(params, shape, job);
}

void PrepareFrame(const FrameParams& params, const EffectShape& shape, const RenderJob& job, FrameSetup& setup,
                  VisibleSpanCache* spans) {
  TargetView target = ViewTarget(job.target);
  const int width = target.width, height = target.height;
  const float aspect = static_cast<float>(width) / height;
  MotionKind kind = KnownKind(static_cast<uint32_t>(shape.kind));
  setup.layout = BuildLayout(kind, ReadKindOptions(kind, params), aspect, params.flyOn, params.bestQuality ? 2 : 1);
  setup.clips[0] = MakeSampler(ViewTexture(job.textures[0]), 0, params.bestImage);
  setup.clips[1] = MakeSampler(ViewTexture(job.textures[1]), 1, params.bestImage);
  setup.backdrop = MakeSampler(ViewTexture(job.textures[2]), 2, params.bestImage);
  setup.backgroundTexture = setup.layout.background == 2 ? 2 : (setup.layout.background == 0 ? 0 : 1);
  setup.behind = setup.backgroundTexture == 2 ? &setup.backdrop : &setup.clips[setup.backgroundTexture];

  SceneContext& context = setup.context;
  context.layout = &setup.layout;
  context.params = &params;
  context.clips[0] = &setup.clips[0];
  context.clips[1] = &setup.clips[1];
  uint32_t objects = shape.objectCount > 0 ? shape.objectCount : job.objectCount;
  context.objectCount = static_cast<int>(std::clamp<uint32_t>(objects, 1, kMaxObjects));
  context.filterMode = job.progressCallback != nullptr;
  context.width = width;
  context.height = height;

  setup.passes = PassesOf(params, TimingOf(params, job), height);
  VisibleSpan span = spans != nullptr ? spans->Get(context) : FindVisibleSpan(context);
  for (Pass& pass : setup.passes) pass.tau = span.At(pass.tau);
  setup.passesPerRow = static_cast<int>(setup.passes.size()) / (params.frameField == 0 ? 1 : 2);
}

int32_t RenderShape(const FrameParams& params, const EffectShape& shape, const RenderJob& job, RenderStats* stats,
                    int threads, RenderScratch* caller) {
  TargetView target = ViewTarget(job.target);
  if (!target.valid()) return kNoTarget;
  if (Stopped(job)) return kStopped;
  const bool filterMode = job.progressCallback != nullptr;
  if (filterMode) job.progressCallback(0);

  const int width = target.width, height = target.height;
  std::optional<ScratchLease> lease;
  if (!caller) lease.emplace();
  Scratch& scratch = caller ? caller->buffers().scratch : lease->get();
  FrameSetup setup;
  PrepareFrame(params, shape, job, setup, &scratch.span);
  const std::vector<Pass>& passes = setup.passes;
  const int samples = std::clamp(params.antiAliasing, 1, kMaxSamples);

  // The preview draws on the caller's thread; a filter frame, or a caller that asks for
  // more, on one thread per core (or as many as asked), each taking the next tile.
  const int cores = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  int wanted = threads > 0 ? threads : (threads == kThreadPerCore || filterMode ? cores : 1);
  wanted = std::clamp(wanted, 1, kMaxThreads);
  const int tileRows = TileRows(width, height, samples, wanted);
  const int tiles = (height + tileRows - 1) / tileRows;
  const int workers = std::min(wanted, tiles);
  if (static_cast<int>(scratch.workers.size()) < workers) scratch.workers.resize(static_cast<size_t>(workers));
  for (int w = 0; w < workers; ++w) scratch.workers[static_cast<size_t>(w)].frame.Reset(width, height, samples, tileRows);
  // What each pass draws, built once for every tile and thread, here, before the helpers
  // start: they share the lists without a lock.
  std::vector<DrawLists>& lists = scratch.lists;
  if (lists.size() < passes.size()) lists.resize(passes.size());
  uint64_t triangles = 0;
  for (size_t i = 0; i < passes.size(); ++i) {
    if (RepeatsPrevious(passes, i)) continue;
    BuildPass(setup.context, passes[i].tau, lists[i]);
    triangles += lists[i].opaque.size() + lists[i].translucent.size();
  }

  // Every row gets the same number of passes: those of its field.
  const uint32_t perPixel = static_cast<uint32_t>(samples) * static_cast<uint32_t>(setup.passesPerRow);
  static_assert(kSumLanes == 4);
  static_assert(kMaxSamples * (kMaxBlurCount + 1) <= kMaxSumCount, "a pixel's sums must fit their lanes");
  std::atomic<int> nextTile{0};
  std::atomic<size_t> passesDone{0};  // over all tiles
  std::atomic<bool> stop{false};
  const size_t allPasses = passes.size() * static_cast<size_t>(tiles);
  int reported = 0;
  // Before each pass: the caller's thread asks the abort callback (until it says stop)
  // and reports progress; every thread stops once it has said stop.
  auto goOn = [&](int w) {
    if (w == 0 && !stop.load()) {
      if (Stopped(job)) {
        stop.store(true);
      } else if (filterMode) {
        const int percent = static_cast<int>(passesDone.load() * 100 / allPasses);
        if (percent > reported) job.progressCallback(reported = percent);
      }
    }
    return !stop.load(std::memory_order_relaxed);
  };
  // Rows drawn in one pass each (no motion blur) go from the samples to the target
  // directly; others add up their passes first.
  const bool onePass = setup.passesPerRow == 1;
  FrameThreads helpers;
  const std::function<void(int)> drawTiles = [&](int w) {
    Worker& worker = scratch.workers[static_cast<size_t>(w)];
    for (int tile = nextTile++; tile < tiles; tile = nextTile++) {
      const int first = tile * tileRows, rows = std::min(tileRows, height - first);
      uint8_t* const out = target.pixels + static_cast<size_t>(first) * width * 4;
      worker.frame.SetTile(first, rows);
      Background(*setup.behind, width, height, first, rows, worker.background);
      worker.frame.SetBackground(worker.background);
      if (!onePass) worker.sums.assign(static_cast<size_t>(width) * rows * kSumLanes, 0);
      for (size_t i = 0; i < passes.size(); ++i) {
        if (!goOn(w)) return;
        DrawPass(setup, i, lists, worker);
        if (onePass) worker.frame.Resolve(out);
        else worker.frame.Accumulate(worker.sums);
        ++passesDone;
        if (w > 0) helpers.Report();
      }
      if (!onePass) MeanColours(worker.sums.data(), perPixel, out, static_cast<size_t>(width) * rows);
    }
  };
  helpers.Start(workers, drawTiles);
  goOn(0);  // once the helpers have started, whatever tiles this thread gets
  bool failed = false;
  try {
    drawTiles(0);
  } catch (...) {  // no memory: the helpers are told to stop
    failed = true;
    stop.store(true);
  }
  // Until the helpers have drawn their last tiles: the abort callback and the progress
  // after each of their passes.
  while (helpers.Wait()) goOn(0);
  failed = failed || helpers.failed();
  for (int w = 0; w < workers; ++w) scratch.workers[static_cast<size_t>(w)].frame.TrimSamples();
  if (failed) return kNoTarget;  // a thread could not finish (no memory)
  if (stop.load()) return kStopped;
  if (filterMode && reported < 100) job.progressCallback(100);
  if (stats) {
    stats->passes += static_cast<int>(passes.size());
    stats->triangles += triangles;
    for (int w = 0; w < workers; ++w) {
      const SampleFrame& frame = scratch.workers[static_cast<size_t>(w)].frame;
      stats->shadedFragments += frame.shadedFragments();
      stats->writtenSamples += frame.writtenSamples();
    }
  }
  return kRendered;
}

}  // namespace lmx::engine
