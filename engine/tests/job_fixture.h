// A RenderJob over owned pixel buffers, with guard bands around the target, and the
// rasteriser's sample sums, for tests.
#pragma once

#include <cstdint>
#include <vector>

#include "model/render_job.h"
#include "motion_kinds.h"
#include "raster.h"
#include "render_frame.h"

namespace lmx::engine::test {

inline constexpr size_t kGuardBytes = 256;
inline constexpr uint8_t kGuardByte = 0xA5;

struct Rgb8 {
  uint8_t b, g, r;
  bool operator==(const Rgb8& o) const { return b == o.b && g == o.g && r == o.r; }
};

// A progress callback that only marks a render as a filter frame.
inline int16_t __cdecl QuietProgress(int32_t) { return 0; }

// Every pixel's sample sums after `draw` on a frame of one background colour.
template <typename DrawFn>
std::vector<SampleSum> DrawSums(int width, int height, int samples, Packed background, DrawFn draw) {
  SampleFrame frame;
  frame.Reset(width, height, samples);
  const std::vector<Packed> behind(static_cast<size_t>(width) * height, background);  // kept by the frame
  frame.SetBackground(behind);
  frame.BeginPass();
  draw(frame);
  std::vector<SampleSum> sums(static_cast<size_t>(width) * height * kSumLanes, 0);
  frame.Accumulate(sums);
  return sums;
}

class JobFixture {
 public:
  // Textures 0 and 1 are side x side pictures; the target is width x height.
  JobFixture(int width, int height, int textureSide = 32);

  RenderJob& job() { return job_; }
  EffectSettings& settings() { return settings_; }
  float& general(int index) { return settings_.generalValues[index]; }
  void EveryObject(int column, float value);
  void SetPosition(int position, int lastPosition);
  // Renders through `entry`: the linked engine, or LMX_Render of the loaded DLL.
  int32_t Render(RenderEntryFn entry = nullptr);
  // Renders the given motion kind without reading an effect file.
  int32_t RenderKind(MotionKind kind, uint32_t objectCount = 0, int threads = 0, RenderScratch* scratch = nullptr);
  // RenderKind at frame `position` of 0 .. `last`.
  int32_t RenderAt(MotionKind kind, int position, int last = 20, uint32_t objectCount = 0);

  Rgb8 TargetPixel(int x, int y) const;
  // Pixel of texture i at the target position (x, y), nearest sampling.
  Rgb8 TexturePixelAt(int texture, int x, int y) const;
  // Mean absolute difference per channel between the target and texture i.
  double MeanDifferenceTo(int texture) const;
  bool GuardsIntact() const;
  // Nothing written: the target holds guard bytes only.
  bool Untouched() const { return target_ == std::vector<uint8_t>(target_.size(), kGuardByte); }
  // Mean of (blue + green + red) / 3 over the target's columns [x0, x1).
  double MeanBrightness(int x0, int x1) const;
  // Pixels of the target that differ from texture i (or another fixture's target) by more
  // than `tolerance` in a channel.
  int PixelsDifferingFrom(int texture, int tolerance) const;
  int PixelsDifferingFrom(const JobFixture& other, int tolerance) const;
  std::vector<uint8_t> Snapshot() const { return target_; }
  int width() const { return width_; }
  int height() const { return height_; }
  void FillTexture(int texture, Rgb8 colour);
  void ClearTexture(int texture);

 private:
  // Over every pixel: the pixels differing from other(x, y) by more than `tolerance` in a
  // channel, or with a tolerance below 0 the sum of the channels' differences.
  template <typename OtherFn>
  double SumOverPixels(OtherFn other, int tolerance) const;

  int width_, height_, side_;
  EffectSettings settings_{};
  RenderJob job_{};
  std::vector<std::vector<uint8_t>> textures_;
  std::vector<uint8_t> target_;  // guard, pixels, guard
};

}  // namespace lmx::engine::test
