#include "selection/render_flags.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace lmx {
namespace {

TEST(RenderFlagsTest, ChangeWithoutARenderStartsOne) {
  RenderFlags flags;
  flags.renderFrame = 6;
  EXPECT_TRUE(ClaimRenderForChange(flags));
  EXPECT_TRUE(flags.renderBusy);
  EXPECT_FALSE(flags.restartRequested);
  EXPECT_FALSE(flags.stopRequested);
  EXPECT_EQ(flags.renderFrame, -1);
}

TEST(RenderFlagsTest, ChangesDuringARenderGiveOneRestart) {
  RenderFlags flags;
  flags.renderBusy = true;
  flags.renderFrame = 3;
  EXPECT_FALSE(ClaimRenderForChange(flags));
  EXPECT_FALSE(ClaimRenderForChange(flags));
  EXPECT_TRUE(flags.stopRequested) << "the running render ends early";
  EXPECT_EQ(flags.renderFrame, 3) << "left to the render thread";
  // The render ends: it goes again once, then finishes.
  EXPECT_TRUE(RestartBeforeRelease(flags));
  EXPECT_FALSE(flags.stopRequested);
  EXPECT_TRUE(flags.renderBusy);
  EXPECT_FALSE(RestartBeforeRelease(flags));
  EXPECT_FALSE(flags.renderBusy);
  EXPECT_FALSE(RestartAfterRelease(flags));
}

TEST(RenderFlagsTest, ChangeArrivingAsTheRenderEndsIsTakenOver) {
  RenderFlags flags;
  flags.renderBusy = true;
  // The render thread has found no restart and released renderBusy...
  EXPECT_FALSE(RestartBeforeRelease(flags));
  // ...the change saw it busy a moment before, and only asked for a restart.
  flags.restartRequested = true;
  flags.stopRequested = true;
  EXPECT_TRUE(RestartAfterRelease(flags));
  EXPECT_TRUE(flags.renderBusy);
  EXPECT_FALSE(flags.restartRequested);
  EXPECT_FALSE(flags.stopRequested);
}

TEST(RenderFlagsTest, ChangeThatStartedItsOwnRenderIsNotTakenOverTwice) {
  RenderFlags flags;
  flags.renderBusy = true;
  EXPECT_FALSE(RestartBeforeRelease(flags));
  // The change comes after renderBusy fell: it starts a render itself...
  EXPECT_TRUE(ClaimRenderForChange(flags));
  // ...so the ending thread leaves it alone.
  EXPECT_FALSE(RestartAfterRelease(flags));
  EXPECT_TRUE(flags.renderBusy);
}

TEST(RenderFlagsTest, NoRestartWhileClosing) {
  RenderFlags flags;
  flags.renderBusy = true;
  flags.restartRequested = true;
  flags.closing = true;
  EXPECT_FALSE(RestartBeforeRelease(flags));
  EXPECT_FALSE(flags.renderBusy);
  EXPECT_FALSE(RestartAfterRelease(flags));
}

// Many changes racing with many render ends: every change is rendered by exactly one
// owner, and never by two at once.
TEST(RenderFlagsTest, RacingChangesNeverLoseARenderNorDoubleIt) {
  for (int round = 0; round < 200; ++round) {
    RenderFlags flags;
    std::atomic<int> owners{0};
    std::atomic<int> maxOwners{0};
    std::atomic<int> renders{0};
    std::atomic<bool> changed{false};
    auto render = [&] {
      int now = ++owners;
      for (int seen = maxOwners; now > seen && !maxOwners.compare_exchange_weak(seen, now);) {
      }
      for (;;) {
        changed = false;
        ++renders;
        bool again = RestartBeforeRelease(flags);
        if (!again) --owners;
        if (again) continue;
        if (RestartAfterRelease(flags)) {
          ++owners;
          continue;
        }
        return;
      }
    };
    ASSERT_TRUE(ClaimRenderForChange(flags));
    std::thread first(render);
    std::thread second;
    changed = true;
    if (ClaimRenderForChange(flags)) second = std::thread(render);
    first.join();
    if (second.joinable()) second.join();
    EXPECT_FALSE(flags.renderBusy);
    EXPECT_FALSE(changed) << "the last change was rendered, round " << round;
    EXPECT_LE(maxOwners, 1) << "round " << round;
  }
}

}  // namespace
}  // namespace lmx
