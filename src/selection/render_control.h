// The arithmetic of the preview that needs no window: how many frames a preview has,
// which position of the effect each frame shows, the playback interval, what the
// progress bar and the Render button show, and the texture names per quality.
#pragma once

#include <cstdint>

#include "model/effect_settings.h"

namespace lmx {

// The frame counts a preview can have: 1, or from 6 to this many. "Prev_Frames" is used
// as stored up to this bound (the Settings page offers 1 to 60).
inline constexpr int32_t kMaxPreviewFrames = 60;
// Frames per second of playback when "Prev_Speed" is 0 (or missing).
inline constexpr uint32_t kDefaultPreviewSpeed = 10;

// 1 in filter mode and below 6; else the stored count, at most kMaxPreviewFrames.
int32_t PreviewFrameCount(uint32_t storedFrames, bool filterMode);
// The speed that applies: the stored one, or kDefaultPreviewSpeed for 0.
uint32_t EffectivePreviewSpeed(uint32_t storedSpeed);
// Playback timer interval in milliseconds: 1000 / speed (integer division).
uint32_t PlaybackIntervalMs(uint32_t speed);

struct PreviewQuality {
  uint32_t width;
  uint32_t height;
  const char* texturePrefix;
};
// 0, 1, 2: 32, 64, 128 pixels square; any other value keeps `previous`.
PreviewQuality QualityFor(uint32_t quality, const PreviewQuality& previous);
inline constexpr PreviewQuality kFirstQuality = {32, 32, "PREVS_"};
// "<prefix><nn>" for texture index 0 to 19 (nn from 01); out needs 16 bytes.
void TextureName(char* out, const char* prefix, int index);

struct FramePosition {
  int32_t position;
  int32_t lastPosition;
};
// The filter frame's count when the block gives none: a FilterFrames of 0 becomes it when
// the sheet opens, and the preview takes any count below 1 as it.
inline constexpr int32_t kDefaultFilterFrames = 100;

// The position and last position handed to the engine for frame k, the position always
// within 0..lastPosition whatever the block or the effect holds. Filter mode: the
// FilterPercent share of FilterFrames (kDefaultFilterFrames for a count below 1); one
// frame: bestPosition out of 100, mirrored for Direction 1.0; otherwise k out of
// frameCount - 1.
FramePosition PositionForFrame(int32_t k, int32_t frameCount, bool filterMode, const EffectSettings& block,
                               float bestPosition);

// The progress bar: (renderFrame + 1) / frameCount x 100 while frames 1 and later
// render, 0 otherwise.
int32_t ProgressPercent(int32_t renderFrame, int32_t frameCount);

enum class RenderCaption { Render, Stop, Wait };
RenderCaption RenderButtonCaption(int32_t renderFrame, int32_t frameCount, bool stopRequested);
const char* RenderCaptionText(RenderCaption caption);

}  // namespace lmx
