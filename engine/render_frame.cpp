#include "render_frame.h"

#include <algorithm>
#include <cmath>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

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

void Background(const Sampler& sampler, int width, int height, std::vector<Packed>& out) {
  out.resize(static_cast<size_t>(width) * height);
  const ImageView& image = sampler.image;
  if (image.valid() && image.width == width && image.height == height) {
    // A picture of the frame's size lies on it texel for pixel: copied, not sampled.
    for (size_t i = 0; i < out.size(); ++i) out[i] = Sampler::Word(image.pixels + i * 4) & 0xFFFFFF;
    return;
  }
  const TexelFetch fetch(&sampler);
  Packed* row = out.data();
  for (int y = 0; y < height; ++y, row += width) {
    const float v = (y + 0.5f) / height;
    for (int x = 0; x < width; ++x) row[x] = fetch.At((x + 0.5f) / width, v);
  }
}

constexpr int kMaxThreads = 16;
constexpr int kMinBandRows = 16;  // a band of fewer rows is not worth a thread

// Rows of a frame that one thread draws, with what it draws them with.
struct Band {
  SampleFrame frame;
  DrawLists lists;
  uint64_t triangles = 0;
};

// Draws pass i of the frame into the band's rows and adds them to `sums`.
void DrawPass(const FrameSetup& setup, size_t i, Band& band, std::vector<SampleSum>& sums) {
  const std::vector<Pass>& passes = setup.passes;
  const Pass& pass = passes[i];
  SampleFrame& frame = band.frame;
  // A sub-frame at the same moment as the one before (the blur window reaches back
  // past the start of the transition) is the same picture: it is counted again.
  bool repeat = i > 0 && pass.tau == passes[i - 1].tau && pass.firstRow == passes[i - 1].firstRow;
  if (!repeat) {
    DrawLists& lists = band.lists;
    BuildPass(setup.context, pass.tau, lists);
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
    band.triangles += lists.opaque.size() + lists.translucent.size();
  }
  frame.Accumulate(sums);
}

// The threads drawing the other bands: each reports how many passes it has drawn; all
// are told to stop and joined when this goes out of scope.
class Helpers {
 public:
  explicit Helpers(int count) : done_(std::make_unique<std::atomic<size_t>[]>(static_cast<size_t>(count))) {
    for (int i = 0; i < count; ++i) done_[static_cast<size_t>(i)].store(0);
    threads_.reserve(static_cast<size_t>(count));
  }
  ~Helpers() {
    stop_.store(true);
    for (std::thread& t : threads_) t.join();
  }
  Helpers(const Helpers&) = delete;
  Helpers& operator=(const Helpers&) = delete;

  template <class Work>
  void Start(Work work) {
    size_t index = threads_.size();
    threads_.emplace_back([this, index, work] {
      try {
        work();
      } catch (...) {
        failed_.store(true);
      }
      done_[index].store(kFinished, std::memory_order_release);
    });
  }
  bool stopping() const { return stop_.load(std::memory_order_relaxed); }
  void Done(int index, size_t passes) { done_[static_cast<size_t>(index)].store(passes, std::memory_order_release); }
  // Waits until every helper has drawn `passes` passes; false when one failed.
  bool WaitFor(size_t passes) {
    for (size_t i = 0; i < threads_.size(); ++i) {
      while (done_[i].load(std::memory_order_acquire) < passes) std::this_thread::yield();
    }
    return !failed_.load();
  }

 private:
  static constexpr size_t kFinished = SIZE_MAX;
  std::unique_ptr<std::atomic<size_t>[]> done_;
  std::vector<std::thread> threads_;
  std::atomic<bool> stop_{false}, failed_{false};
};

// The buffers of a render, kept from one call to the next: a preview renders many frames
// of one size in a row. A call that finds them in use (another thread rendering) makes
// its own.
struct Scratch {
  std::vector<Band> bands;
  std::vector<Packed> background;
  std::vector<SampleSum> sums;
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
  std::vector<Packed>& background = scratch.background;
  Background(*setup.behind, width, height, background);
  const std::vector<Pass>& passes = setup.passes;
  std::vector<SampleSum>& sums = scratch.sums;
  sums.assign(static_cast<size_t>(width) * height * kSumLanes, 0);

  // The preview draws on the caller's thread; a filter frame splits the rows into bands,
  // one per core (each a set of stripes across the frame), each drawing every pass of
  // its rows.
  int bandCount = 1;
  if (filterMode) {
    int cores = threads > 0 ? threads : static_cast<int>(std::thread::hardware_concurrency());
    bandCount = std::clamp(std::min(cores, height / kMinBandRows), 1, kMaxThreads);
  }
  if (static_cast<int>(scratch.bands.size()) < bandCount) scratch.bands.resize(static_cast<size_t>(bandCount));
  const int samples = std::clamp(params.antiAliasing, 1, kMaxSamples);
  for (int b = 0; b < bandCount; ++b) {
    Band& band = scratch.bands[static_cast<size_t>(b)];
    band.frame.Reset(width, height, samples);
    band.frame.SetBand(b, bandCount);
    band.frame.SetBackground(background);
    band.triangles = 0;
  }

  Helpers helpers(bandCount - 1);
  for (int b = 1; b < bandCount; ++b) {
    helpers.Start([&, b] {
      Band& band = scratch.bands[static_cast<size_t>(b)];
      for (size_t i = 0; i < passes.size() && !helpers.stopping(); ++i) {
        DrawPass(setup, i, band, sums);
        helpers.Done(b - 1, i + 1);
      }
    });
  }
  Band& own = scratch.bands[0];
  for (size_t i = 0; i < passes.size(); ++i) {
    if (Stopped(job)) return kStopped;
    DrawPass(setup, i, own, sums);
    if (!helpers.WaitFor(i + 1)) return kNoTarget;  // a helper could not finish (no memory)
    if (filterMode) job.progressCallback(static_cast<int32_t>((i + 1) * 100 / passes.size()));
  }

  // Every row got the same number of passes: those of its field.
  uint32_t perPixel = static_cast<uint32_t>(samples) * static_cast<uint32_t>(setup.passesPerRow);
  static_assert(kSumLanes == 4);
  static_assert(kMaxSamples * (kMaxBlurCount + 1) <= kMaxSumCount, "a pixel's sums must fit their lanes");
  MeanColours(sums.data(), perPixel, target.pixels, static_cast<size_t>(width) * height);
  if (stats) {
    stats->passes += static_cast<int>(passes.size());
    for (int b = 0; b < bandCount; ++b) {
      const Band& band = scratch.bands[static_cast<size_t>(b)];
      stats->triangles += band.triangles;
      stats->shadedFragments += band.frame.shadedFragments();
      stats->writtenSamples += band.frame.writtenSamples();
    }
  }
  return kRendered;
}

}  // namespace lmx::engine
