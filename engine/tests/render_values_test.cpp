// What each general and per-object value does to the picture.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "job_fixture.h"

namespace lmx::engine::test {
namespace {

using Tweak = std::function<void(EffectSettings&)>;

void EveryObject(EffectSettings& s, int column, float value) {
  for (auto& row : s.objectValues) row[column] = value;
}

// Renders the kind at position/20 with and without `setup`.
struct Pair {
  JobFixture plain{64, 64}, changed{64, 64};
  Pair(MotionKind kind, int position, const Tweak& setup, const Tweak& common = nullptr) {
    if (common) {
      common(plain.settings());
      common(changed.settings());
    }
    setup(changed.settings());
    plain.SetPosition(position, 20);
    changed.SetPosition(position, 20);
    EXPECT_EQ(plain.RenderKind(kind), 0);
    EXPECT_EQ(changed.RenderKind(kind), 0);
  }
  int DifferingPixels(int tolerance = 2) const {
    int n = 0;
    for (int y = 0; y < 64; ++y)
      for (int x = 0; x < 64; ++x) {
        Rgb8 a = plain.TargetPixel(x, y), b = changed.TargetPixel(x, y);
        if (std::abs(a.r - b.r) > tolerance || std::abs(a.g - b.g) > tolerance || std::abs(a.b - b.b) > tolerance) ++n;
      }
    return n;
  }
};

TEST(ObjectValues, FullTransparencyHidesTheObjects) {
  for (MotionKind kind : {MotionKind::Plane, MotionKind::Tiles, MotionKind::Page}) {
    JobFixture f(64, 64);
    EveryObject(f.settings(), Transparency, 100);
    for (int position : {0, 6, 14}) {
      f.SetPosition(position, 20);
      ASSERT_EQ(f.RenderKind(kind), 0);
      EXPECT_LT(f.MeanDifferenceTo(1), 1.0) << static_cast<int>(kind) << " at " << position;
    }
  }
  // A picture of the frame's size shows through texel for pixel.
  JobFixture same(48, 48, 48);
  EveryObject(same.settings(), Transparency, 100);
  same.SetPosition(6, 20);
  ASSERT_EQ(same.RenderKind(MotionKind::Tiles), 0);
  EXPECT_EQ(same.PixelsDifferingFrom(1, 0), 0);
  // Half transparency shows both clips at rest.
  JobFixture half(64, 64);
  EveryObject(half.settings(), Transparency, 50);
  half.SetPosition(0, 20);
  ASSERT_EQ(half.RenderKind(MotionKind::Plane), 0);
  EXPECT_GT(half.MeanDifferenceTo(0), 30.0);
  EXPECT_GT(half.MeanDifferenceTo(1), 30.0);
}

TEST(ObjectValues, OnlyTheObjectsRowsOwnValuesApply) {
  // Two objects: tile i takes row i % 2; hiding row 1 hides every other tile.
  JobFixture f(64, 64);
  f.settings().objectValues[1][Transparency] = 100;
  f.SetPosition(0, 20);
  ASSERT_EQ(f.RenderKind(MotionKind::Tiles, 2), 0);
  int incoming = 64 * 64 - f.PixelsDifferingFrom(1, 8);
  EXPECT_NEAR(incoming, 64 * 64 / 2, 64 * 4);
}

TEST(GeneralValues, WireModeTouchesOnlyEdges) {
  JobFixture f(64, 64);
  f.settings().generalValues[RenderMode] = 2;
  f.SetPosition(0, 20);
  ASSERT_EQ(f.RenderKind(MotionKind::Tiles), 0);
  // At rest the 4 x 4 tiles' outlines are lines every 16 pixels: everything else shows
  // the incoming clip.
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) {
      bool nearLine = x % 16 <= 1 || x % 16 == 15 || y % 16 <= 1 || y % 16 == 15 || x >= 62 || y >= 62;
      if (nearLine) continue;
      Rgb8 a = f.TargetPixel(x, y), b = f.TexturePixelAt(1, x, y);
      ASSERT_TRUE(a.r == b.r && a.g == b.g && a.b == b.b) << x << "," << y;
    }
  EXPECT_GT(f.PixelsDifferingFrom(1, 8), 64 * 4);
}

TEST(GeneralValues, FlatModeGivesEachFaceOneColour) {
  JobFixture f(64, 64);
  f.settings().generalValues[RenderMode] = 1;
  f.SetPosition(0, 20);
  ASSERT_EQ(f.RenderKind(MotionKind::Tiles), 0);
  // Inside one tile's triangle the colour does not vary, while the clip does.
  Rgb8 a = f.TargetPixel(4, 9), b = f.TargetPixel(9, 12);
  EXPECT_TRUE(a.r == b.r && a.g == b.g && a.b == b.b);
  Rgb8 ta = f.TexturePixelAt(0, 4, 9), tb = f.TexturePixelAt(0, 9, 12);
  EXPECT_FALSE(ta.g == tb.g);
  EXPECT_GT(f.MeanDifferenceTo(0), 2.0);
}

TEST(GeneralValues, ShadowsOnlyDarken) {
  for (MotionKind kind : {MotionKind::Tiles, MotionKind::Doors, MotionKind::Cube, MotionKind::Plane}) {
    Pair p(kind, 7, [](EffectSettings& s) { s.generalValues[Shadows] = 1; });
    int darker = 0;
    for (int y = 0; y < 64; ++y)
      for (int x = 0; x < 64; ++x) {
        Rgb8 a = p.plain.TargetPixel(x, y), b = p.changed.TargetPixel(x, y);
        ASSERT_LE(b.r, a.r);
        ASSERT_LE(b.g, a.g);
        ASSERT_LE(b.b, a.b);
        if (b.r + b.g + b.b + 6 < a.r + a.g + a.b) ++darker;
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
    f->settings().generalValues[Lighting] = 1;
    f->settings().generalValues[LightDirection] = degrees;
    f->SetPosition(5, 20);
    EXPECT_EQ(f->RenderKind(MotionKind::Doors), 0);
    return f;
  };
  auto fromLeft = render(180), fromRight = render(0);
  EXPECT_GT(fromLeft->MeanBrightness(0, 32), fromRight->MeanBrightness(0, 32) + 5);
  EXPECT_GT(fromRight->MeanBrightness(32, 64), fromLeft->MeanBrightness(32, 64) + 5);
}

// Values without a test of their own below: each at least changes the picture.
TEST(GeneralValues, EachValueChangesTheMidFrame) {
  struct Case {
    const char* name;
    MotionKind kind;
    Tweak setup;
  };
  const Case cases[] = {
      {"Quality", MotionKind::Plane, [](EffectSettings& s) { s.generalValues[Quality] = 1; }},
      {"ImageQuality", MotionKind::Plane, [](EffectSettings& s) { s.generalValues[ImageQuality] = 1; }},
      {"PathRotation", MotionKind::Tiles, [](EffectSettings& s) { EveryObject(s, PathRotation, 180); }},
      {"RotatesWithPath", MotionKind::Shards, [](EffectSettings& s) { EveryObject(s, RotatesWithPath, 1); }},
      {"TrailCount", MotionKind::Tiles,
       [](EffectSettings& s) { EveryObject(s, TrailCount, 5), EveryObject(s, TrailSpacing, 4); }},
  };
  for (const Case& c : cases) {
    Pair p(c.kind, 8, c.setup);
    EXPECT_GT(p.DifferingPixels(), 30) << c.name;
  }
}

TEST(GeneralValues, LuminosityAndShineBrighten) {
  Pair lum(MotionKind::Plane, 4, [](EffectSettings& s) { EveryObject(s, Luminosity, 100); });
  EXPECT_GT(lum.changed.MeanBrightness(), lum.plain.MeanBrightness() + 10);
  Pair shine(MotionKind::Plane, 0, [](EffectSettings& s) { EveryObject(s, Shine, 100); });
  EXPECT_GT(shine.changed.MeanBrightness(), shine.plain.MeanBrightness() + 1);
}

TEST(GeneralValues, AntiAliasingSoftensEdges) {
  auto mixed = [](int aa) {
    JobFixture f(64, 64);
    f.FillTexture(0, {0, 0, 0});
    f.FillTexture(1, {250, 250, 250});
    f.settings().generalValues[AntiAliasing] = static_cast<float>(aa);
    f.SetPosition(6, 20);
    EXPECT_EQ(f.RenderKind(MotionKind::Shards), 0);
    int n = 0;
    for (int y = 0; y < 64; ++y)
      for (int x = 0; x < 64; ++x) {
        int v = f.TargetPixel(x, y).g;
        if (v > 20 && v < 230) ++n;
      }
    return n;
  };
  int none = mixed(0), eight = mixed(8);
  EXPECT_LT(none, 40);  // only shading steps on turned faces
  EXPECT_GT(eight, none + 40);
}

TEST(GeneralValues, ChangePeriodDelaysTheObject) {
  // With the longest change period the object has not moved at 70% of the transition.
  JobFixture f(48, 48);
  EveryObject(f.settings(), ChangePeriod, 100);
  f.SetPosition(14, 20);
  ASSERT_EQ(f.RenderKind(MotionKind::Plane), 0);
  EXPECT_LT(f.MeanDifferenceTo(0), 3.0);
}

TEST(GeneralValues, TransitionPeriodHoldsBothEnds) {
  JobFixture f(48, 48);
  f.settings().generalValues[TransitionPeriod] = 50;
  f.SetPosition(4, 20);
  ASSERT_EQ(f.RenderKind(MotionKind::Tiles), 0);
  EXPECT_LT(f.MeanDifferenceTo(0), 3.0);
  f.SetPosition(16, 20);
  ASSERT_EQ(f.RenderKind(MotionKind::Tiles), 0);
  EXPECT_LT(f.MeanDifferenceTo(1), 3.0);
}

TEST(GeneralValues, FieldRenderingDrawsOneFieldAtTheFrameTime) {
  for (int field : {1, 2}) {
    Pair p(MotionKind::Plane, 8, [field](EffectSettings& s) { s.generalValues[FrameField] = static_cast<float>(field); });
    // The first field (odd: the 1st, 3rd, ... line from the top) is the frame itself.
    int same[2] = {0, 0}, rows[2] = {0, 0};
    for (int y = 0; y < 64; ++y) {
      int fromTop = 63 - y;
      int parity = (fromTop % 2 == 0) == (field == 1) ? 0 : 1;
      bool equal = true;
      for (int x = 0; x < 64; ++x) {
        Rgb8 a = p.plain.TargetPixel(x, y), b = p.changed.TargetPixel(x, y);
        equal = equal && a.r == b.r && a.g == b.g && a.b == b.b;
      }
      same[parity] += equal;
      ++rows[parity];
    }
    EXPECT_EQ(same[0], rows[0]) << field;
    EXPECT_LT(same[1], rows[1] / 2) << field;
  }
}

TEST(GeneralValues, MotionBlurSpreadsOverTheFrameInterval) {
  Pair p(MotionKind::Plane, 10, [](EffectSettings& s) { s.generalValues[BlurPercent] = 100, s.generalValues[BlurCount] = 6; });
  // Blended pixels between the clips appear along the moving edges.
  EXPECT_GT(p.DifferingPixels(20), 40);
  // No blur count, or no percentage: no blur.
  Pair none(MotionKind::Plane, 10, [](EffectSettings& s) { s.generalValues[BlurPercent] = 100; });
  EXPECT_EQ(none.DifferingPixels(0), 0);
  Pair zero(MotionKind::Plane, 10, [](EffectSettings& s) { s.generalValues[BlurCount] = 10; });
  EXPECT_EQ(zero.DifferingPixels(0), 0);
}

int16_t __cdecl NoProgress(int32_t) { return 0; }

TEST(GeneralValues, CenterObjectsActsInFilterModeOnly) {
  Pair outside(MotionKind::Plane, 10, [](EffectSettings& s) { s.generalValues[CenterObjects] = 1; });
  EXPECT_EQ(outside.DifferingPixels(0), 0);
  JobFixture plain(64, 64), centred(64, 64);
  centred.settings().generalValues[CenterObjects] = 1;
  for (JobFixture* f : {&plain, &centred}) {
    f->job().progressCallback = &NoProgress;
    f->SetPosition(50, 100);
    ASSERT_EQ(f->RenderKind(MotionKind::Plane), 0);
  }
  // The plane flies off to the right; centred, it stays over the middle.
  EXPECT_LT(centred.MeanDifferenceTo(1), plain.MeanDifferenceTo(1) - 5);
}

}  // namespace
}  // namespace lmx::engine::test
