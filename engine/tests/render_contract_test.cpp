// The engine's contract with the front end: what lands in the target, and only there;
// stopping; blocks and jobs that make no sense; buffers and threads, and their progress.
#include <gtest/gtest.h>

#include <limits>
#include <thread>
#include <vector>

#include "job_fixture.h"
#include "lmx_render.h"

namespace lmx::engine::test {
namespace {

std::vector<int> g_progress;
int16_t __cdecl RecordProgress(int32_t percent) {
  g_progress.push_back(percent);
  return 0;
}

TEST(RenderContract, HostileValuesRenderWithoutFault) {
  const float inf = std::numeric_limits<float>::infinity();
  for (float bad : {std::numeric_limits<float>::quiet_NaN(), inf, -inf, -1e30f, 1e30f, -5.0f}) {
    JobFixture f(37, 23);
    for (float& g : f.settings().generalValues) g = bad;
    for (int column = 0; column < kObjectColumns; ++column) f.EveryObject(column, bad);
    f.settings().specialCount = 0xFFFFFFFFu;
    for (auto& sv : f.settings().specialValues) sv = {0, 3, bad};
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
  // A position beyond either end is drawn at that end.
  for (auto [outside, at] : {std::pair{-7, 0}, {1000, 10}}) {
    JobFixture beyond(16, 12), inside(16, 12);
    beyond.SetPosition(outside, 10);
    inside.SetPosition(at, 10);
    ASSERT_EQ(beyond.Render(), 0);
    ASSERT_EQ(inside.Render(), 0);
    EXPECT_EQ(beyond.Snapshot(), inside.Snapshot()) << outside;
  }
  // One pixel, and textures far larger than the frame.
  JobFixture tiny(1, 1, 256);
  tiny.general(AntiAliasing) = 8;
  tiny.SetPosition(3, 7);
  EXPECT_EQ(tiny.Render(), 0);
  EXPECT_TRUE(tiny.GuardsIntact());
  // Refused, nothing written: a negative last position places no frame; no target; a
  // target claiming more than it can be, or pixels of another size.
  f.job().target.pixels = nullptr;
  EXPECT_EQ(f.Render(), -1);
  EXPECT_EQ(LMX_Render(nullptr, nullptr, 1), -1);
  JobFixture refused(8, 8), claims(8, 8);
  refused.SetPosition(5, -3);
  EXPECT_EQ(refused.Render(), -1);
  claims.job().target.width = 100000;
  EXPECT_EQ(claims.Render(), -1);
  claims.job().target.width = 8;
  claims.job().target.bytesPerPixel = 3;
  EXPECT_EQ(claims.Render(), -1);
  EXPECT_TRUE(refused.Untouched());
  EXPECT_TRUE(claims.Untouched());
}

TEST(RenderContract, IdenticalInputsGiveIdenticalPixels) {
  JobFixture a(48, 40), b(48, 40), other(5, 3);
  a.SetPosition(6, 19);
  b.SetPosition(6, 19);
  ASSERT_EQ(a.Render(), 0);
  // Calls in between, of another size and with more samples, leave nothing behind.
  other.general(AntiAliasing) = 8;
  other.general(Shadows) = 1;
  ASSERT_EQ(other.Render(), 0);
  ASSERT_EQ(b.Render(), 0);
  EXPECT_EQ(a.Snapshot(), b.Snapshot());
}

int g_polls = 0;
int g_stopAt = 0;
int16_t __cdecl StopAtPoll() { return ++g_polls >= g_stopAt ? 1 : 0; }

TEST(RenderContract, AbortIsPolledEverySubFrameAndHonouredAtOnce) {
  for (int stopAt : {1 << 30, 3}) {
    JobFixture f(40, 40);
    f.general(BlurPercent) = 100;
    f.general(BlurCount) = 10;
    f.general(FrameField) = 2;
    f.job().abortCallback = &StopAtPoll;
    f.SetPosition(5, 20);
    g_polls = 0, g_stopAt = stopAt;
    if (stopAt > 3) {
      // Never stopping: at least one poll per sub-frame of each field.
      ASSERT_EQ(f.Render(), 0);
      EXPECT_GE(g_polls, 22);
    } else {
      // Stopping at the third poll: no further poll, no pixel written.
      EXPECT_EQ(f.Render(), 1);
      EXPECT_EQ(g_polls, 3);
      EXPECT_TRUE(f.Untouched());
    }
  }
}

// A caller's own buffers give the pixels the shared ones give, also while another thread
// renders with its own at the same time (plugin instances on threads of their own).
TEST(RenderContract, OwnBuffersRenderWhatTheSharedOnesRender) {
  auto settingsOf = [](JobFixture& f, int position) {
    f.general(AntiAliasing) = 4, f.general(BlurPercent) = 50, f.general(BlurCount) = 3, f.general(Shadows) = 1;
    f.SetPosition(position, 20);
  };
  JobFixture shared(64, 48), first(64, 48), second(64, 48);
  std::vector<std::vector<uint8_t>> want;
  for (int position : {5, 12}) {
    settingsOf(shared, position);
    ASSERT_EQ(shared.RenderKind(MotionKind::Tiles), 0);
    want.push_back(shared.Snapshot());
  }
  settingsOf(first, 5);
  settingsOf(second, 12);
  RenderScratch scratchA, scratchB;
  for (int round = 0; round < 3; ++round) {  // the buffers are kept between frames
    int32_t resultA = -2, resultB = -2;
    std::thread a([&] { resultA = first.RenderKind(MotionKind::Tiles, 0, 1, &scratchA); });
    std::thread b([&] { resultB = second.RenderKind(MotionKind::Tiles, 0, 1, &scratchB); });
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
  JobFixture f(96, 67);  // the tiles do not divide the rows evenly
  f.general(AntiAliasing) = 4, f.general(BlurCount) = 5, f.general(Shadows) = 1, f.general(FrameField) = 2;
  f.EveryObject(TrailCount, 2);
  f.job().progressCallback = &RecordProgress;
  f.SetPosition(30, 100);
  // Each row drawn once, or summed over its sub-frames; then wire mode, lines drawn pixel
  // by pixel, that land in the rows of their tile only.
  for (auto [blur, mode] : {std::pair{0.0f, 0.0f}, {80.0f, 0.0f}, {0.0f, 2.0f}}) {
    f.general(BlurPercent) = blur;
    f.general(RenderMode) = mode;
    std::vector<uint8_t> first;
    for (int threads : {1, 2, 3, 4}) {
      g_progress.clear();
      ASSERT_EQ(f.RenderKind(MotionKind::Tiles, 0, threads), 0);
      if (threads == 1) first = f.Snapshot();
      EXPECT_EQ(f.Snapshot(), first) << threads << " threads, blur " << blur << ", mode " << mode;
      // Progress runs from 0 to 100 and never back, whichever thread reports it.
      ASSERT_GE(g_progress.size(), 2u);
      EXPECT_EQ(g_progress.front(), 0);
      EXPECT_EQ(g_progress.back(), 100);
      EXPECT_TRUE(std::is_sorted(g_progress.begin(), g_progress.end()));
    }
  }
  // Stopped once the helpers have started: they are told to stop, nothing is written
  // outside.
  f.general(RenderMode) = 0;
  f.SetPosition(60, 100);
  f.job().abortCallback = &StopLater;
  g_stopAfter = 1;
  EXPECT_EQ(f.RenderKind(MotionKind::Tiles, 0, 4), 1);
  EXPECT_TRUE(f.GuardsIntact());
}

}  // namespace
}  // namespace lmx::engine::test
