#include "selection/render_control.h"
#include "selection/render_flags.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

namespace lmx {
namespace {

EffectSettings Block() {
  EffectSettings block;
  std::memset(&block, 0, sizeof block);
  return block;
}

TEST(RenderControlTest, FrameCountIsOneOrSixAndMoreWithinTheBound) {
  EXPECT_EQ(PreviewFrameCount(0, false), 1);
  EXPECT_EQ(PreviewFrameCount(5, false), 1);
  EXPECT_EQ(PreviewFrameCount(6, false), 6);
  EXPECT_EQ(PreviewFrameCount(10, false), 10);
  EXPECT_EQ(PreviewFrameCount(30, true), 1);
  EXPECT_EQ(PreviewFrameCount(60, false), 60);
  EXPECT_EQ(PreviewFrameCount(61, false), kMaxPreviewFrames);
  EXPECT_EQ(PreviewFrameCount(0xFFFFFFFFu, false), kMaxPreviewFrames);
}

TEST(RenderControlTest, PlaybackIntervalNeverDividesByZero) {
  EXPECT_EQ(PlaybackIntervalMs(7), 142u);
  EXPECT_EQ(PlaybackIntervalMs(30), 33u);
  EXPECT_EQ(PlaybackIntervalMs(1), 1000u);
  EXPECT_EQ(PlaybackIntervalMs(0), 1000u / kDefaultPreviewSpeed);
  EXPECT_EQ(EffectivePreviewSpeed(0), kDefaultPreviewSpeed);
  EXPECT_EQ(EffectivePreviewSpeed(12), 12u);
}

TEST(RenderControlTest, QualityTableAndUnknownValuesKeepThePrevious) {
  PreviewQuality q = QualityFor(7, kFirstQuality);
  EXPECT_EQ(q.width, 32u);
  EXPECT_STREQ(q.texturePrefix, "PREVS_");
  q = QualityFor(1, q);
  EXPECT_EQ(q.width, 64u);
  EXPECT_EQ(q.height, 64u);
  EXPECT_STREQ(q.texturePrefix, "PREVM_");
  q = QualityFor(3, q);
  EXPECT_EQ(q.width, 64u);
  q = QualityFor(2, q);
  EXPECT_EQ(q.height, 128u);
  EXPECT_STREQ(q.texturePrefix, "PREVL_");
  char name[16];
  TextureName(name, "PREVM_", 0);
  EXPECT_STREQ(name, "PREVM_01");
  TextureName(name, "PREVS_", 19);
  EXPECT_STREQ(name, "PREVS_20");
}

TEST(RenderControlTest, PositionsByMode) {
  EffectSettings block = Block();
  // Many frames: k out of frameCount - 1.
  for (int k = 0; k < 10; ++k) {
    FramePosition p = PositionForFrame(k, 10, false, block, 55.0f);
    EXPECT_EQ(p.position, k);
    EXPECT_EQ(p.lastPosition, 9);
  }
  // One frame: bestPosition, mirrored only for Direction exactly 1.0.
  FramePosition p = PositionForFrame(0, 1, false, block, 30.0f);
  EXPECT_EQ(p.position, 30);
  EXPECT_EQ(p.lastPosition, 100);
  block.generalValues[Direction] = 1.0f;
  EXPECT_EQ(PositionForFrame(0, 1, false, block, 30.0f).position, 70);
  EXPECT_EQ(PositionForFrame(0, 1, false, block, 30.9f).position, 70);
  block.generalValues[Direction] = 0.5f;
  EXPECT_EQ(PositionForFrame(0, 1, false, block, 30.0f).position, 30);
  // Filter mode: FilterPercent % of FilterFrames.
  block.generalValues[FilterFrames] = 100.0f;
  block.generalValues[FilterPercent] = 25.0f;
  p = PositionForFrame(0, 1, true, block, 30.0f);
  EXPECT_EQ(p.position, 25);
  EXPECT_EQ(p.lastPosition, 100);
  block.generalValues[FilterFrames] = 10.0f;
  block.generalValues[FilterPercent] = 33.0f;
  p = PositionForFrame(0, 1, true, block, 30.0f);
  EXPECT_EQ(p.position, 3);
  EXPECT_EQ(p.lastPosition, 10);
  // Whole percents of 100 come out whole.
  block.generalValues[FilterFrames] = 100.0f;
  for (int percent = 0; percent <= 100; ++percent) {
    block.generalValues[FilterPercent] = float(percent);
    EXPECT_EQ(PositionForFrame(0, 1, true, block, 0.0f).position, percent);
  }
}

// Whatever a host's block or a damaged effect file holds, the position stays within
// 0..lastPosition, and a filter frame count below 1 is the default.
TEST(RenderControlTest, HostileValuesGiveAPositionWithinTheLast) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  struct Case {
    float frames, percent;
    int32_t position, last;
  };
  EffectSettings block = Block();
  for (Case c : {Case{-5, 1e9f, 100, 100}, Case{1e9f, 1e9f, 1000000000, 1000000000}, Case{nan, 1e30f, 100, 100},
                 Case{0, 25, 25, 100}, Case{50, -20, 0, 50}, Case{50, nan, 0, 50}}) {
    SCOPED_TRACE(std::to_string(c.frames) + " frames, " + std::to_string(c.percent) + " %");
    block.generalValues[FilterFrames] = c.frames;
    block.generalValues[FilterPercent] = c.percent;
    FramePosition p = PositionForFrame(0, 1, true, block, 0.0f);
    EXPECT_EQ(p.position, c.position);
    EXPECT_EQ(p.lastPosition, c.last);
  }
  for (float direction : {0.0f, 1.0f}) {
    block.generalValues[Direction] = direction;
    const int32_t mirrored = direction == 1.0f ? 100 : 0;
    EXPECT_EQ(PositionForFrame(0, 1, false, block, std::numeric_limits<float>::infinity()).position, 100 - mirrored);
    EXPECT_EQ(PositionForFrame(0, 1, false, block, -1e20f).position, mirrored);
  }
}

TEST(RenderControlTest, ProgressAndButtonFollowTheFrame) {
  EXPECT_EQ(ProgressPercent(4, 10), 50);
  EXPECT_EQ(ProgressPercent(0, 10), 0);
  EXPECT_EQ(ProgressPercent(10, 10), 0);
  EXPECT_EQ(ProgressPercent(-1, 10), 0);
  EXPECT_EQ(ProgressPercent(1, 6), 33);
  EXPECT_EQ(ProgressPercent(9, 10), 100);

  EXPECT_EQ(RenderButtonCaption(-1, 10, false), RenderCaption::Render);
  EXPECT_EQ(RenderButtonCaption(-2, 10, true), RenderCaption::Render);
  EXPECT_EQ(RenderButtonCaption(10, 10, false), RenderCaption::Render);
  EXPECT_EQ(RenderButtonCaption(0, 10, false), RenderCaption::Stop);
  EXPECT_EQ(RenderButtonCaption(3, 10, true), RenderCaption::Wait);
  EXPECT_STREQ(RenderCaptionText(RenderCaption::Wait), "Wait...");
  EXPECT_STREQ(RenderCaptionText(RenderCaption::Stop), "Stop");
  EXPECT_STREQ(RenderCaptionText(RenderCaption::Render), "Render");
  EXPECT_TRUE(RenderInProgress(0, 1));
  EXPECT_FALSE(RenderInProgress(1, 1));
  EXPECT_FALSE(RenderInProgress(-1, 1));
}

}  // namespace
}  // namespace lmx
