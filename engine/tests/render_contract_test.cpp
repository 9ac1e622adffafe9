// The engine's contract with the front end: what lands in the target, and only there;
// stopping; progress; blocks and jobs that make no sense.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <thread>
#include <vector>

#include "job_fixture.h"
#include "lmx_render.h"
#include "render_frame.h"

namespace lmx::engine::test {
namespace {

std::vector<int> g_progress;
int16_t __cdecl RecordProgress(int32_t percent) {
  g_progress.push_back(percent);
  return 0;
}

TEST(RenderContract, ReportsProgressFromZeroToHundred) {
  JobFixture f(32, 32);
  g_progress.clear();
  f.job().progressCallback = &RecordProgress;
  ASSERT_EQ(f.Render(), 0);
  ASSERT_GE(g_progress.size(), 2u);
  EXPECT_EQ(g_progress.front(), 0);
  EXPECT_EQ(g_progress.back(), 100);
  for (size_t i = 1; i < g_progress.size(); ++i) EXPECT_GE(g_progress[i], g_progress[i - 1]);
}

TEST(RenderContract, HostileValuesRenderWithoutFault) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  for (float bad : {nan, inf, -inf, -1e30f, 1e30f, -5.0f}) {
    JobFixture f(37, 23);
    for (float& g : f.settings().generalValues) g = bad;
    for (auto& row : f.settings().objectValues)
      for (float& v : row) v = bad;
    f.settings().specialCount = 0xFFFFFFFFu;
    for (auto& sv : f.settings().specialValues) {
      sv.tag = 3;
      sv.value = bad;
    }
    f.SetPosition(7, 19);
    EXPECT_EQ(f.Render(), 0) << bad;
    EXPECT_TRUE(f.GuardsIntact()) << bad;
  }
}

TEST(RenderContract, OddJobsNeverWriteOutside) {
  JobFixture f(5, 3);
  f.ClearTexture(0);
  f.ClearTexture(1);
  for (auto [pos, last] : {std::pair{0, 0}, {-7, 10}, {1000, 10}, {INT32_MIN, INT32_MAX}}) {
    f.SetPosition(pos, last);
    EXPECT_EQ(f.Render(), 0);
    EXPECT_TRUE(f.GuardsIntact());
  }
  // A position beyond either end is drawn at that end; a negative last position places
  // no frame: refused, nothing written.
  for (auto [outside, at] : {std::pair{-7, 0}, {1000, 10}}) {
    JobFixture beyond(16, 12), inside(16, 12);
    beyond.SetPosition(outside, 10);
    inside.SetPosition(at, 10);
    ASSERT_EQ(beyond.Render(), 0);
    ASSERT_EQ(inside.Render(), 0);
    EXPECT_EQ(beyond.Snapshot(), inside.Snapshot()) << outside;
  }
  JobFixture refused(5, 3);
  refused.SetPosition(5, -3);
  EXPECT_EQ(refused.Render(), -1);
  EXPECT_EQ(refused.targetBytes(), std::vector<uint8_t>(refused.targetBytes().size(), kGuardByte));
  f.job().target.pixels = nullptr;
  EXPECT_EQ(f.Render(), -1);
  EXPECT_EQ(LMX_Render(nullptr, nullptr, 1), -1);

  // One pixel, and textures far larger than the frame.
  JobFixture tiny(1, 1, 256);
  tiny.settings().generalValues[AntiAliasing] = 8;
  tiny.SetPosition(3, 7);
  EXPECT_EQ(tiny.Render(), 0);
  EXPECT_TRUE(tiny.GuardsIntact());
  // A target claiming more than it can be, or pixels of another size: nothing written.
  JobFixture claims(8, 8);
  claims.job().target.width = 100000;
  EXPECT_EQ(claims.Render(), -1);
  claims.job().target.width = 8;
  claims.job().target.bytesPerPixel = 3;
  EXPECT_EQ(claims.Render(), -1);
  EXPECT_EQ(claims.targetBytes(), std::vector<uint8_t>(claims.targetBytes().size(), kGuardByte));
}

TEST(RenderContract, IdenticalInputsGiveIdenticalPixels) {
  JobFixture a(48, 40), b(48, 40), other(5, 3);
  a.SetPosition(6, 19);
  b.SetPosition(6, 19);
  ASSERT_EQ(a.Render(), 0);
  // Calls in between, of another size and with more samples, leave nothing behind.
  other.settings().generalValues[AntiAliasing] = 8;
  other.settings().generalValues[Shadows] = 1;
  ASSERT_EQ(other.Render(), 0);
  ASSERT_EQ(b.Render(), 0);
  EXPECT_EQ(a.targetBytes(), b.targetBytes());
}

int g_polls = 0;
int g_stopAt = 0;
int16_t __cdecl StopAtPoll() {
  ++g_polls;
  return g_polls >= g_stopAt ? 1 : 0;
}

TEST(RenderContract, AbortIsPolledEverySubFrameAndHonouredAtOnce) {
  JobFixture f(40, 40);
  f.settings().generalValues[BlurPercent] = 100;
  f.settings().generalValues[BlurCount] = 10;
  f.settings().generalValues[FrameField] = 2;
  f.job().abortCallback = &StopAtPoll;
  f.SetPosition(5, 20);
  // Never stopping: at least one poll per sub-frame of each field.
  g_polls = 0, g_stopAt = 1 << 30;
  ASSERT_EQ(f.Render(), 0);
  EXPECT_GE(g_polls, 22);
  // Stopping at the third poll: no further poll, no pixel written.
  std::vector<uint8_t> before(f.targetBytes().size(), kGuardByte);
  JobFixture g(40, 40);
  g.settings() = f.settings();
  g.job().abortCallback = &StopAtPoll;
  g.SetPosition(5, 20);
  g_polls = 0, g_stopAt = 3;
  EXPECT_EQ(g.Render(), 1);
  EXPECT_EQ(g_polls, 3);
  EXPECT_EQ(g.targetBytes(), before);
}

std::vector<int> g_steps;
int16_t __cdecl RecordStep(int32_t percent) {
  g_steps.push_back(percent);
  return 0;
}

TEST(RenderContract, FilterModeProgressStepsWithTheSubFrames) {
  JobFixture f(24, 24);
  f.settings().generalValues[BlurPercent] = 50;
  f.settings().generalValues[BlurCount] = 3;
  f.job().progressCallback = &RecordStep;
  f.SetPosition(25, 100);
  g_steps.clear();
  ASSERT_EQ(f.Render(), 0);
  EXPECT_EQ(g_steps, (std::vector<int>{0, 25, 50, 75, 100}));
}

// A caller's own buffers give the pixels the shared ones give, also while another thread
// renders with its own at the same time (plugin instances on threads of their own).
TEST(RenderContract, OwnBuffersRenderWhatTheSharedOnesRender) {
  auto settingsOf = [](JobFixture& f, int position) {
    float* g = f.settings().generalValues;
    g[AntiAliasing] = 4, g[BlurPercent] = 50, g[BlurCount] = 3, g[Shadows] = 1;
    f.SetPosition(position, 20);
  };
  EffectShape shape;
  shape.kind = MotionKind::Tiles;
  JobFixture shared(64, 48), first(64, 48), second(64, 48);
  std::vector<std::vector<uint8_t>> want;
  for (int position : {5, 12}) {
    settingsOf(shared, position);
    ASSERT_EQ(RenderShape(ReadFrameParams(shared.settings()), shape, shared.job()), 0);
    want.push_back(shared.Snapshot());
  }
  settingsOf(first, 5);
  settingsOf(second, 12);
  RenderScratch scratchA, scratchB;
  for (int round = 0; round < 3; ++round) {  // the buffers are kept between frames
    int32_t resultA = -2, resultB = -2;
    std::thread a([&] { resultA = RenderShape(ReadFrameParams(first.settings()), shape, first.job(), nullptr, 1, &scratchA); });
    std::thread b([&] { resultB = RenderShape(ReadFrameParams(second.settings()), shape, second.job(), nullptr, 1, &scratchB); });
    a.join();
    b.join();
    ASSERT_EQ(resultA, 0);
    ASSERT_EQ(resultB, 0);
    EXPECT_EQ(first.Snapshot(), want[0]) << "round " << round;
    EXPECT_EQ(second.Snapshot(), want[1]) << "round " << round;
  }
}

int g_stopAfter = 0;
int16_t __cdecl StopLater() { return --g_stopAfter < 0 ? 1 : 0; }

TEST(RenderContract, FilterFrameIsTheSameOnAnyNumberOfThreads) {
  JobFixture f(96, 67);  // the bands' stripes do not divide the rows evenly
  float* g = f.settings().generalValues;
  g[AntiAliasing] = 4, g[BlurPercent] = 80, g[BlurCount] = 5, g[Shadows] = 1, g[FrameField] = 2;
  for (auto& row : f.settings().objectValues) row[TrailCount] = 2;
  f.job().progressCallback = &RecordStep;
  f.SetPosition(30, 100);
  FrameParams params = ReadFrameParams(f.settings());
  EffectShape shape;
  shape.kind = MotionKind::Tiles;
  std::vector<uint8_t> first;
  std::vector<int> firstSteps;
  for (int threads : {1, 2, 3, 4}) {
    g_steps.clear();
    ASSERT_EQ(RenderShape(params, shape, f.job(), nullptr, threads), 0);
    if (threads == 1) {
      first = f.Snapshot(), firstSteps = g_steps;
      continue;
    }
    EXPECT_EQ(f.Snapshot(), first) << threads << " threads";
    EXPECT_EQ(g_steps, firstSteps) << threads << " threads";
  }
  EXPECT_EQ(firstSteps.size(), 13u);  // 0, then one per sub-frame (6) of both fields

  // Stopped halfway on four threads: nothing written, the helpers told to stop.
  f.SetPosition(60, 100);
  f.job().abortCallback = &StopLater;
  g_stopAfter = 6;
  EXPECT_EQ(RenderShape(params, shape, f.job(), nullptr, 4), 1);
  EXPECT_EQ(f.Snapshot(), first);
  EXPECT_TRUE(f.GuardsIntact());

  // Wire mode: lines, drawn pixel by pixel, land in the rows of their band only.
  f.job().abortCallback = nullptr;
  FrameParams wire = params;
  wire.renderMode = 2;
  ASSERT_EQ(RenderShape(wire, shape, f.job(), nullptr, 1), 0);
  const std::vector<uint8_t> wireFirst = f.Snapshot();
  ASSERT_EQ(RenderShape(wire, shape, f.job(), nullptr, 3), 0);
  EXPECT_EQ(f.Snapshot(), wireFirst);
}

}  // namespace
}  // namespace lmx::engine::test
