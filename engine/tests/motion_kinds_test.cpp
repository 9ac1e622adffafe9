// Every motion kind: a fly-off starts on the outgoing clip and ends on the incoming one,
// a fly-on does the same the other way round along the mirrored path, and halfway the
// picture is neither clip.
#include <gtest/gtest.h>

#include "job_fixture.h"
#include "motion.h"

namespace lmx::engine::test {
namespace {

class EveryKind : public ::testing::TestWithParam<uint32_t> {
 protected:
  MotionKind kind() const { return static_cast<MotionKind>(GetParam()); }
};

// Both directions, each on a target of its own shape: wider than high, higher than wide.
struct DirectionCase {
  const char* name;
  float direction;
  int width, height;
};
constexpr DirectionCase kDirections[] = {{"Fly-Off", 0, 64, 48}, {"Fly-On", 1, 48, 64}};

TEST_P(EveryKind, EachDirectionRunsFromOutgoingToIncoming) {
  for (const DirectionCase& c : kDirections) {
    SCOPED_TRACE(c.name);
    JobFixture f(c.width, c.height);
    f.settings().generalValues[Direction] = c.direction;
    f.SetPosition(0, 20);
    ASSERT_EQ(f.RenderKind(kind()), 0);
    EXPECT_LT(f.MeanDifferenceTo(0), 3.0);
    f.SetPosition(20, 20);
    ASSERT_EQ(f.RenderKind(kind()), 0);
    EXPECT_LT(f.MeanDifferenceTo(1), 3.0);
    f.SetPosition(10, 20);
    ASSERT_EQ(f.RenderKind(kind()), 0);
    EXPECT_GT(f.PixelsDifferingFrom(0, 30), c.width * c.height / 10);
    EXPECT_GT(f.PixelsDifferingFrom(1, 30), c.width * c.height / 10);
    EXPECT_TRUE(f.GuardsIntact());
  }
}

// Fly-On mirrors Fly-Off: at the same distance from its end, the clip in motion stands
// where the Fly-Off had it, so the part of the picture it covers matches.
// The cube keeps its time and turns the other way instead: the same moment seen in a
// mirror.
TEST_P(EveryKind, FlyOnMirrorsFlyOffInCoverage) {
  const bool cube = kind() == MotionKind::Cube;
  JobFixture off(40, 40), on(40, 40);
  // One colour per clip, so that coverage alone is compared.
  off.FillTexture(0, {0, 0, 250});
  off.FillTexture(1, {250, 0, 0});
  on.FillTexture(0, cube ? Rgb8{0, 0, 250} : Rgb8{250, 0, 0});
  on.FillTexture(1, cube ? Rgb8{250, 0, 0} : Rgb8{0, 0, 250});
  on.settings().generalValues[Direction] = 1;
  off.SetPosition(7, 20);
  on.SetPosition(cube ? 7 : 13, 20);
  ASSERT_EQ(off.RenderKind(kind()), 0);
  ASSERT_EQ(on.RenderKind(kind()), 0);
  int differing = 0;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 40; ++x) {
      Rgb8 a = off.TargetPixel(x, y), b = on.TargetPixel(cube ? 39 - x : x, y);
      if (std::abs(a.r - b.r) > 40) ++differing;
    }
  EXPECT_LT(differing, 40 * 40 / 50);
}

TEST_P(EveryKind, KindsDifferFromEachOtherHalfway) {
  JobFixture a(48, 48), b(48, 48);
  a.SetPosition(8, 20);
  b.SetPosition(8, 20);
  ASSERT_EQ(a.RenderKind(kind()), 0);
  MotionKind other = kind() == MotionKind::Tiles ? MotionKind::Doors : MotionKind::Tiles;
  ASSERT_EQ(b.RenderKind(other), 0);
  EXPECT_NE(a.targetBytes(), b.targetBytes());
}

INSTANTIATE_TEST_SUITE_P(Kinds, EveryKind, ::testing::Range<uint32_t>(1, kMotionKindCount));

TEST_P(EveryKind, MotionLastsThroughTheWholePreview) {
  // Pieces that leave the view do so at the last frame (arrive at the first, flying on):
  // the frame before the end still shows some of them.
  for (int direction : {0, 1}) {
    JobFixture f(48, 48);
    f.settings().generalValues[Direction] = static_cast<float>(direction);
    f.SetPosition(direction == 0 ? 18 : 1, 19);
    ASSERT_EQ(f.RenderKind(kind()), 0);
    EXPECT_GT(f.PixelsDifferingFrom(direction == 0 ? 1 : 0, 30), 0) << "direction " << direction;
  }
}

TEST(MotionKinds, UnknownKindsRenderAsPlane) {
  EXPECT_EQ(KnownKind(0), MotionKind::Plane);
  EXPECT_EQ(KnownKind(kMotionKindCount), MotionKind::Plane);
  EXPECT_EQ(KnownKind(0xFFFFFFFFu), MotionKind::Plane);
  EXPECT_EQ(KnownKind(static_cast<uint32_t>(MotionKind::Page)), MotionKind::Page);
  JobFixture a(32, 32), b(32, 32);
  a.SetPosition(5, 10);
  b.SetPosition(5, 10);
  ASSERT_EQ(a.RenderKind(static_cast<MotionKind>(77)), 0);
  ASSERT_EQ(b.RenderKind(MotionKind::Plane), 0);
  EXPECT_EQ(a.targetBytes(), b.targetBytes());
}

}  // namespace
}  // namespace lmx::engine::test
