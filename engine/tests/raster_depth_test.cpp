// Depth tests of the rasteriser where two planes cross inside a row: every sample shows
// the nearer primitive, whether its pixel is whole, split by an edge, or on the crossing,
// and whether the primitives are triangles or quads.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "job_fixture.h"

namespace lmx::engine::test {
namespace {

constexpr int kWidth = 64, kHeight = 5;
constexpr Packed kRed = 0xC00000, kBlue = 0x0000C0;

// 1 / distance along x: the rising plane passes the falling one at x = 32.3, away from
// every sample position.
float Rising(float x) { return 0.1f + 0.01f * x; }
float Falling(float x) { return 0.746f - 0.01f * x; }

// Two triangles over more than the frame, their diagonal crossing every row; or the
// quad they make, drawn as one.
void DrawCover(SampleFrame& frame, Packed colour, float (*depth)(float), bool asQuad) {
  ScreenVertex corners[4];
  const float xs[4] = {-1, kWidth + 1.0f, kWidth + 1.0f, -1}, ys[4] = {-1, -1, kHeight + 1.0f, kHeight + 1.0f};
  for (int i = 0; i < 4; ++i) corners[i].x = xs[i], corners[i].y = ys[i], corners[i].invW = depth(xs[i]);
  Material material;
  material.flat = colour;
  if (asQuad) return frame.DrawQuad(corners, material);
  const ScreenVertex first[3] = {corners[0], corners[1], corners[2]}, second[3] = {corners[0], corners[2], corners[3]};
  frame.DrawTriangle(first, material);
  frame.DrawTriangle(second, material);
}

TEST(RasterDepth, CrossingPlanesShowTheNearerAtEverySample) {
  for (int samples : {1, 2, 4, 8}) {
    for (int order = 0; order < 4; ++order) {
      const bool risingFirst = order % 2 == 0, asQuads = order >= 2;
      const std::vector<SampleSum> sums = DrawSums(kWidth, kHeight, samples, 0x00FF00, [&](SampleFrame& frame) {
        DrawCover(frame, risingFirst ? kRed : kBlue, risingFirst ? Rising : Falling, asQuads);
        DrawCover(frame, risingFirst ? kBlue : kRed, risingFirst ? Falling : Rising, asQuads);
      });
      SampleFrame probe;
      probe.Reset(kWidth, kHeight, samples);
      int wrong = 0;
      for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
          uint32_t red = 0, blue = 0;
          for (int s = 0; s < samples; ++s) {
            const float at = x + probe.sampleX()[s];
            (Rising(at) > Falling(at) ? red : blue) += 0xC0;
          }
          const SampleSum* sum = &sums[(static_cast<size_t>(y) * kWidth + x) * kSumLanes];
          wrong += sum[0] != blue || sum[1] != 0 || sum[2] != red;
        }
      }
      EXPECT_EQ(wrong, 0) << samples << " samples, " << (risingFirst ? "rising" : "falling") << " plane first"
                          << (asQuads ? ", quads" : ", triangles");
    }
  }
}

}  // namespace
}  // namespace lmx::engine::test
