// What each general and per-object value does to the picture. Values whose only rule is
// that they change the picture (flat mode, anti-aliasing, luminosity, shine, partial
// transparency) are held by the reference frames.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "job_fixture.h"

namespace lmx::engine::test {
namespace {

using Tweak = std::function<void(JobFixture&)>;

// Renders the kind at position/20 with and without `setup`.
struct Pair {
  JobFixture plain{64, 64}, changed{64, 64};
  Pair(MotionKind kind, int position, const Tweak& setup) {
    setup(changed);
    EXPECT_EQ(plain.RenderAt(kind, position), 0);
    EXPECT_EQ(changed.RenderAt(kind, position), 0);
  }
  int DifferingPixels(int tolerance = 2) const { return plain.PixelsDifferingFrom(changed, tolerance); }
};

TEST(ObjectValues, FullTransparencyHidesTheObjects) {
  for (MotionKind kind : {MotionKind::Plane, MotionKind::Tiles, MotionKind::Page}) {
    JobFixture f(64, 64);
    f.EveryObject(Transparency, 100);
    for (int position : {0, 6, 14}) {
      ASSERT_EQ(f.RenderAt(kind, position), 0);
      EXPECT_LT(f.MeanDifferenceTo(1), 1.0) << static_cast<int>(kind) << " at " << position;
    }
  }
  // A picture of the frame's size shows through texel for pixel.
  JobFixture same(48, 48, 48);
  same.EveryObject(Transparency, 100);
  ASSERT_EQ(same.RenderAt(MotionKind::Tiles, 6), 0);
  EXPECT_EQ(same.PixelsDifferingFrom(1, 0), 0);
}

TEST(ObjectValues, OnlyTheObjectsRowsOwnValuesApply) {
  // Two objects: tile i takes row i % 2; hiding row 1 hides every other tile.
  JobFixture f(64, 64);
  f.settings().objectValues[1][Transparency] = 100;
  ASSERT_EQ(f.RenderAt(MotionKind::Tiles, 0, 20, 2), 0);
  EXPECT_NEAR(64 * 64 - f.PixelsDifferingFrom(1, 8), 64 * 64 / 2, 64 * 4);
}

TEST(GeneralValues, WireModeTouchesOnlyEdges) {
  JobFixture f(64, 64);
  f.general(RenderMode) = 2;
  ASSERT_EQ(f.RenderAt(MotionKind::Tiles, 0), 0);
  // At rest the 4 x 4 tiles' outlines are lines every 16 pixels: everything else shows
  // the incoming clip.
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) {
      bool nearLine = x % 16 <= 1 || x % 16 == 15 || y % 16 <= 1 || y % 16 == 15 || x >= 62 || y >= 62;
      if (nearLine) continue;
      ASSERT_TRUE(f.TargetPixel(x, y) == f.TexturePixelAt(1, x, y)) << x << "," << y;
    }
  EXPECT_GT(f.PixelsDifferingFrom(1, 8), 64 * 4);
}

TEST(GeneralValues, ShadowsOnlyDarken) {
  for (MotionKind kind : {MotionKind::Tiles, MotionKind::Doors, MotionKind::Cube, MotionKind::Plane}) {
    Pair p(kind, 7, [](JobFixture& f) { f.general(Shadows) = 1; });
    int darker = 0;
    for (int y = 0; y < 64; ++y)
      for (int x = 0; x < 64; ++x) {
        Rgb8 a = p.plain.TargetPixel(x, y), b = p.changed.TargetPixel(x, y);
        ASSERT_TRUE(b.r <= a.r && b.g <= a.g && b.b <= a.b) << x << "," << y;
        darker += b.r + b.g + b.b + 6 < a.r + a.g + a.b;
      }
    EXPECT_GT(darker, 20) << static_cast<int>(kind);
  }
}

TEST(GeneralValues, LightingFollowsTheLightDirection) {
  // Vertical doors halfway open: the left door faces left, the right door faces right.
  auto render = [](float degrees) {
    auto f = std::make_unique<JobFixture>(64, 64);
    f->FillTexture(0, {160, 160, 160});
    f->FillTexture(1, {0, 0, 0});
    f->general(Lighting) = 1;
    f->general(LightDirection) = degrees;
    EXPECT_EQ(f->RenderAt(MotionKind::Doors, 5), 0);
    return f;
  };
  auto fromLeft = render(180), fromRight = render(0);
  EXPECT_GT(fromLeft->MeanBrightness(0, 32), fromRight->MeanBrightness(0, 32) + 5);
  EXPECT_GT(fromRight->MeanBrightness(32, 64), fromLeft->MeanBrightness(32, 64) + 5);
}

TEST(GeneralValues, PeriodsHoldTheObjectsAtAnEnd) {
  // The longest change period keeps the object unmoved at 70% of the transition; a
  // transition period of half holds the outgoing clip early and the incoming one late.
  struct Case {
    const char* name;
    Tweak setup;
    MotionKind kind;
    int position, shows;
  };
  const Tweak changePeriod = [](JobFixture& f) { f.EveryObject(ChangePeriod, 100); };
  const Tweak transitionPeriod = [](JobFixture& f) { f.general(TransitionPeriod) = 50; };
  for (const Case& c : {Case{"change period", changePeriod, MotionKind::Plane, 14, 0},
                        Case{"transition period, early", transitionPeriod, MotionKind::Tiles, 4, 0},
                        Case{"transition period, late", transitionPeriod, MotionKind::Tiles, 16, 1}}) {
    JobFixture f(48, 48);
    c.setup(f);
    ASSERT_EQ(f.RenderAt(c.kind, c.position), 0);
    EXPECT_LT(f.MeanDifferenceTo(c.shows), 3.0) << c.name;
  }
}

TEST(GeneralValues, FieldRenderingDrawsOneFieldAtTheFrameTime) {
  for (int field : {1, 2}) {
    Pair p(MotionKind::Plane, 8, [field](JobFixture& f) { f.general(FrameField) = static_cast<float>(field); });
    // The first field (odd: the 1st, 3rd, ... line from the top) is the frame itself.
    int same[2] = {0, 0}, rows[2] = {0, 0};
    for (int y = 0; y < 64; ++y) {
      const int parity = ((63 - y) % 2 == 0) == (field == 1) ? 0 : 1;
      bool equal = true;
      for (int x = 0; x < 64; ++x) equal = equal && p.plain.TargetPixel(x, y) == p.changed.TargetPixel(x, y);
      same[parity] += equal;
      ++rows[parity];
    }
    EXPECT_EQ(same[0], rows[0]) << field;
    EXPECT_LT(same[1], rows[1] / 2) << field;
  }
}

TEST(GeneralValues, MotionBlurSpreadsOverTheFrameInterval) {
  Pair p(MotionKind::Plane, 10, [](JobFixture& f) { f.general(BlurPercent) = 100, f.general(BlurCount) = 6; });
  // Blended pixels between the clips appear along the moving edges.
  EXPECT_GT(p.DifferingPixels(20), 40);
  // No blur count, or no percentage: no blur.
  Pair none(MotionKind::Plane, 10, [](JobFixture& f) { f.general(BlurPercent) = 100; });
  EXPECT_EQ(none.DifferingPixels(0), 0);
  Pair zero(MotionKind::Plane, 10, [](JobFixture& f) { f.general(BlurCount) = 10; });
  EXPECT_EQ(zero.DifferingPixels(0), 0);
}

TEST(GeneralValues, CenterObjectsActsInFilterModeOnly) {
  Pair outside(MotionKind::Plane, 10, [](JobFixture& f) { f.general(CenterObjects) = 1; });
  EXPECT_EQ(outside.DifferingPixels(0), 0);
  JobFixture plain(64, 64), centred(64, 64);
  centred.general(CenterObjects) = 1;
  for (JobFixture* f : {&plain, &centred}) {
    f->job().progressCallback = &QuietProgress;
    ASSERT_EQ(f->RenderAt(MotionKind::Plane, 50, 100), 0);
  }
  // The plane flies off to the right; centred, it stays over the middle.
  EXPECT_LT(centred.MeanDifferenceTo(1), plain.MeanDifferenceTo(1) - 5);
}

}  // namespace
}  // namespace lmx::engine::test
