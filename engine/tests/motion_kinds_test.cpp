// Every motion kind: a fly-off starts on the outgoing clip and ends on the incoming one,
// a fly-on does the same the other way round along the mirrored path, halfway the picture
// is neither clip, and the motion lasts to the end.
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
  float direction;
  int width, height;
};
constexpr DirectionCase kDirections[] = {{0, 64, 48}, {1, 48, 64}};

TEST_P(EveryKind, EachDirectionRunsFromOutgoingToIncoming) {
  for (const DirectionCase& c : kDirections) {
    SCOPED_TRACE(c.direction == 0 ? "Fly-Off" : "Fly-On");
    JobFixture f(c.width, c.height);
    f.general(Direction) = c.direction;
    ASSERT_EQ(f.RenderAt(kind(), 0), 0);
    EXPECT_LT(f.MeanDifferenceTo(0), 3.0);
    ASSERT_EQ(f.RenderAt(kind(), 20), 0);
    EXPECT_LT(f.MeanDifferenceTo(1), 3.0);
    ASSERT_EQ(f.RenderAt(kind(), 10), 0);
    EXPECT_GT(f.PixelsDifferingFrom(0, 30), c.width * c.height / 10);
    EXPECT_GT(f.PixelsDifferingFrom(1, 30), c.width * c.height / 10);
    EXPECT_TRUE(f.GuardsIntact());
    // Pieces that leave the view do so at the last frame (arrive at the first, flying on):
    // the frame next to that end still shows some of them.
    const bool off = c.direction == 0;
    ASSERT_EQ(f.RenderAt(kind(), off ? 19 : 1), 0);
    EXPECT_GT(f.PixelsDifferingFrom(off ? 1 : 0, 30), 0);
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
  on.general(Direction) = 1;
  ASSERT_EQ(off.RenderAt(kind(), 7), 0);
  ASSERT_EQ(on.RenderAt(kind(), cube ? 7 : 13), 0);
  int differing = 0;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 40; ++x) {
      differing += std::abs(off.TargetPixel(x, y).r - on.TargetPixel(cube ? 39 - x : x, y).r) > 40;
    }
  EXPECT_LT(differing, 40 * 40 / 50);
}

INSTANTIATE_TEST_SUITE_P(Kinds, EveryKind, ::testing::Range<uint32_t>(1, kMotionKindCount));

TEST(MotionKinds, UnknownKindsRenderAsPlane) {
  EXPECT_EQ(KnownKind(0), MotionKind::Plane);
  EXPECT_EQ(KnownKind(kMotionKindCount), MotionKind::Plane);
  EXPECT_EQ(KnownKind(0xFFFFFFFFu), MotionKind::Plane);
  EXPECT_EQ(KnownKind(static_cast<uint32_t>(MotionKind::Page)), MotionKind::Page);
  JobFixture a(32, 32), b(32, 32);
  ASSERT_EQ(a.RenderAt(static_cast<MotionKind>(77), 5, 10), 0);
  ASSERT_EQ(b.RenderAt(MotionKind::Plane, 5, 10), 0);
  EXPECT_EQ(a.Snapshot(), b.Snapshot());
}

}  // namespace
}  // namespace lmx::engine::test
