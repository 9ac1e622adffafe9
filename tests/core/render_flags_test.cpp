#include "selection/render_flags.h"

#include <gtest/gtest.h>

namespace lmx {
namespace {

// The flags step by step; every interleaving of them with render threads is explored in
// tests/threads.
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

TEST(RenderFlagsTest, NoRestartWhileClosing) {
  RenderFlags flags;
  flags.renderBusy = true;
  flags.restartRequested = true;
  flags.closing = true;
  EXPECT_FALSE(RestartBeforeRelease(flags));
  EXPECT_FALSE(flags.renderBusy);
  EXPECT_FALSE(RestartAfterRelease(flags));
}

}  // namespace
}  // namespace lmx
