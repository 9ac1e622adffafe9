#include "selection/render_control.h"
#include "selection/render_flags.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <tuple>
#include <utility>

namespace lmx {
namespace {

EffectSettings Block() {
  EffectSettings block;
  std::memset(&block, 0, sizeof block);
  return block;
}

TEST(RenderControlTest, FrameCountsAndPlaybackIntervals) {
  // One frame, or six and more within the bound; a filter shows one.
  for (auto [frames, filter, count] : {std::tuple{0u, false, 1}, {5u, false, 1}, {6u, false, 6}, {10u, false, 10},
                                       {30u, true, 1}, {60u, false, 60}, {61u, false, kMaxPreviewFrames},
                                       {0xFFFFFFFFu, false, kMaxPreviewFrames}})
    EXPECT_EQ(PreviewFrameCount(frames, filter), count) << frames << (filter ? " filter" : "");
  // A speed of 0 is the default: the interval never divides by zero.
  for (auto [speed, ms] : {std::pair{7u, 142u}, {30u, 33u}, {1u, 1000u}, {0u, 1000u / kDefaultPreviewSpeed}})
    EXPECT_EQ(PlaybackIntervalMs(speed), ms) << speed;
  EXPECT_EQ(EffectivePreviewSpeed(0), kDefaultPreviewSpeed);
  EXPECT_EQ(EffectivePreviewSpeed(12), 12u);
}

TEST(RenderControlTest, QualityTableAndUnknownValuesKeepThePrevious) {
  // Each value in turn, starting from the first quality; 7 and 3 are unknown.
  PreviewQuality q = kFirstQuality;
  for (auto [value, side, prefix] : {std::tuple{7u, 32u, "PREVS_"}, {1u, 64u, "PREVM_"}, {3u, 64u, "PREVM_"},
                                     {2u, 128u, "PREVL_"}}) {
    q = QualityFor(value, q);
    EXPECT_EQ(q.width, side) << value;
    EXPECT_EQ(q.height, side) << value;
    EXPECT_STREQ(q.texturePrefix, prefix) << value;
  }
  char name[16];
  TextureName(name, "PREVM_", 0);
  EXPECT_STREQ(name, "PREVM_01");
  TextureName(name, "PREVS_", 19);
  EXPECT_STREQ(name, "PREVS_20");
}

// One frame shows bestPosition, mirrored only for Direction exactly 1.0; a filter shows
// FilterPercent % of FilterFrames. Whatever a host's block or a damaged effect file holds,
// the position stays within 0..lastPosition, and a filter frame count below 1 is the default.
TEST(RenderControlTest, PositionsByMode) {
  const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
  struct Case {
    bool filter;
    float direction, best, frames, percent;
    int32_t position, last;
  };
  for (Case c : {Case{false, 0, 30, 0, 0, 30, 100}, Case{false, 1, 30, 0, 0, 70, 100}, Case{false, 1, 30.9f, 0, 0, 70, 100},
                 Case{false, 0.5f, 30, 0, 0, 30, 100}, Case{false, 0, inf, 0, 0, 100, 100}, Case{false, 1, inf, 0, 0, 0, 100},
                 Case{false, 0, -1e20f, 0, 0, 0, 100}, Case{false, 1, -1e20f, 0, 0, 100, 100},
                 Case{true, 1, 30, 100, 25, 25, 100}, Case{true, 0, 30, 10, 33, 3, 10}, Case{true, 0, 0, -5, 1e9f, 100, 100},
                 Case{true, 0, 0, 1e9f, 1e9f, 1000000000, 1000000000}, Case{true, 0, 0, nan, 1e30f, 100, 100},
                 Case{true, 0, 0, 0, 25, 25, 100}, Case{true, 0, 0, 50, -20, 0, 50}, Case{true, 0, 0, 50, nan, 0, 50}}) {
    SCOPED_TRACE(testing::Message() << (c.filter ? "filter " : "") << c.direction << " direction, best " << c.best
                                    << ", " << c.frames << " frames, " << c.percent << " %");
    EffectSettings block = Block();
    block.generalValues[Direction] = c.direction;
    block.generalValues[FilterFrames] = c.frames;
    block.generalValues[FilterPercent] = c.percent;
    FramePosition p = PositionForFrame(0, 1, c.filter, block, c.best);
    EXPECT_EQ(p.position, c.position);
    EXPECT_EQ(p.lastPosition, c.last);
  }
  // Many frames: k out of frameCount - 1; whole percents of 100 come out whole.
  EffectSettings block = Block();
  block.generalValues[FilterFrames] = 100.0f;
  for (int k = 0; k <= 100; ++k) {
    EXPECT_EQ(PositionForFrame(k, 101, false, block, 55.0f).position, k);
    EXPECT_EQ(PositionForFrame(k, 101, false, block, 55.0f).lastPosition, 100);
    block.generalValues[FilterPercent] = float(k);
    EXPECT_EQ(PositionForFrame(0, 1, true, block, 0.0f).position, k);
  }
}

TEST(RenderControlTest, ProgressAndButtonFollowTheFrame) {
  for (auto [frame, count, percent] : {std::tuple{4, 10, 50}, {0, 10, 0}, {10, 10, 0}, {-1, 10, 0}, {1, 6, 33},
                                       {9, 10, 100}})
    EXPECT_EQ(ProgressPercent(frame, count), percent) << frame << " of " << count;
  // Render when no render runs, Stop while one does, Wait while a change restarts it.
  for (auto [frame, restarting, caption] :
       {std::tuple{-1, false, "Render"}, {-2, true, "Render"}, {10, false, "Render"}, {0, false, "Stop"},
        {3, true, "Wait..."}})
    EXPECT_STREQ(RenderCaptionText(RenderButtonCaption(frame, 10, restarting)), caption) << frame;
  EXPECT_TRUE(RenderInProgress(0, 1));
  EXPECT_FALSE(RenderInProgress(1, 1));
  EXPECT_FALSE(RenderInProgress(-1, 1));
}

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
