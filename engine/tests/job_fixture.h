// A RenderJob over owned pixel buffers, with guard bands around the target, for tests.
#pragma once

#include <cstdint>
#include <vector>

#include "motion_kinds.h"
#include "model/render_job.h"

namespace lmx::engine::test {

inline constexpr size_t kGuardBytes = 256;
inline constexpr uint8_t kGuardByte = 0xA5;

struct Rgb8 {
  uint8_t b, g, r;
};

class JobFixture {
 public:
  // Textures 0 and 1 are side x side pictures; the target is width x height.
  JobFixture(int width, int height, int textureSide = 32);

  RenderJob& job() { return job_; }
  EffectSettings& settings() { return settings_; }
  // Sets frame k of a preview of `frames` frames.
  void SetPosition(int position, int lastPosition);
  // Renders through `entry`: the linked engine, or LMX_Render of the loaded DLL.
  int32_t Render(RenderEntryFn entry = nullptr);
  // Renders the given motion kind without reading an effect file.
  int32_t RenderKind(MotionKind kind, uint32_t objectCount = 0);

  Rgb8 TargetPixel(int x, int y) const;
  // Pixel of texture i at the target position (x, y), nearest sampling.
  Rgb8 TexturePixelAt(int texture, int x, int y) const;
  // Mean absolute difference per channel between the target and texture i.
  double MeanDifferenceTo(int texture) const;
  bool GuardsIntact() const;
  // Mean of (blue + green + red) / 3 over the target, or over columns [x0, x1).
  double MeanBrightness(int x0 = 0, int x1 = -1) const;
  // Pixels of the target that differ from texture i by more than `tolerance` in a channel.
  int PixelsDifferingFrom(int texture, int tolerance) const;
  std::vector<uint8_t> Snapshot() const { return target_; }
  int width() const { return width_; }
  int height() const { return height_; }
  const std::vector<uint8_t>& targetBytes() const { return target_; }
  // Replaces texture i by one colour everywhere.
  void FillTexture(int texture, Rgb8 colour);
  void ClearTexture(int texture);

 private:
  int width_, height_, side_;
  EffectSettings settings_{};
  RenderJob job_{};
  std::vector<std::vector<uint8_t>> textures_;
  std::vector<uint8_t> target_;  // guard, pixels, guard
};

}  // namespace lmx::engine::test
