#include "selection/render_control.h"

#include <algorithm>
#include <cstdio>

#include "selection/whole_number.h"

namespace lmx {

int32_t PreviewFrameCount(uint32_t storedFrames, bool filterMode) {
  if (filterMode || storedFrames < 6) return 1;
  if (storedFrames > uint32_t(kMaxPreviewFrames)) return kMaxPreviewFrames;
  return static_cast<int32_t>(storedFrames);
}

uint32_t EffectivePreviewSpeed(uint32_t storedSpeed) {
  return storedSpeed == 0 ? kDefaultPreviewSpeed : storedSpeed;
}

uint32_t PlaybackIntervalMs(uint32_t speed) { return 1000u / EffectivePreviewSpeed(speed); }

PreviewQuality QualityFor(uint32_t quality, const PreviewQuality& previous) {
  switch (quality) {
    case 0: return {32, 32, "PREVS_"};
    case 1: return {64, 64, "PREVM_"};
    case 2: return {128, 128, "PREVL_"};
    default: return previous;
  }
}

void TextureName(char* out, const char* prefix, int index) {
  std::snprintf(out, 16, "%s%02d", prefix, index + 1);
}

FramePosition PositionForFrame(int32_t k, int32_t frameCount, bool filterMode, const EffectSettings& block,
                               float bestPosition) {
  if (filterMode) {
    int32_t last = WholeNumber(block.generalValues[FilterFrames]);
    if (last < 1) last = kDefaultFilterFrames;
    // Multiplied before dividing, in double precision: a whole percent of a whole frame
    // count lands exactly (53 % of 100 is 53, where the share 0.53 taken first gives 52).
    double position = double(block.generalValues[FilterPercent]) * double(last) / 100.0;
    position = position >= 0.0 ? std::min(position, double(last)) : 0.0;  // NaN gives 0
    return {static_cast<int32_t>(position), last};
  }
  if (frameCount == 1) {
    int32_t position = std::clamp(WholeNumber(bestPosition), 0, 100);
    if (block.generalValues[Direction] == 1.0f) position = 100 - position;
    return {position, 100};
  }
  return {k, frameCount - 1};
}

int32_t ProgressPercent(int32_t renderFrame, int32_t frameCount) {
  if (renderFrame <= 0 || renderFrame == frameCount || frameCount <= 0) return 0;
  double percent = (double(renderFrame) + 1.0) / double(frameCount) * 100.0;
  return static_cast<int32_t>(percent);
}

RenderCaption RenderButtonCaption(int32_t renderFrame, int32_t frameCount, bool stopRequested) {
  if (renderFrame >= 0 && renderFrame != frameCount) return stopRequested ? RenderCaption::Wait : RenderCaption::Stop;
  return RenderCaption::Render;
}

const char* RenderCaptionText(RenderCaption caption) {
  switch (caption) {
    case RenderCaption::Stop: return "Stop";
    case RenderCaption::Wait: return "Wait...";
    default: return "Render";
  }
}

}  // namespace lmx
