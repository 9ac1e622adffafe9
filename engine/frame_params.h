// The settings block read into checked, clamped render parameters. The block comes from
// the host or the defaults file and may hold anything: NaN, infinities, negative or huge
// values. Every value here is finite and within its range.
#pragma once

#include <cstdint>

#include "model/effect_settings.h"

namespace lmx::engine {

inline constexpr int kMaxObjects = kObjectRows;

struct ObjectParams {
  float shine = 0;          // 0..1, specular strength
  float transparency = 0;   // 0..1
  float luminosity = 0;     // 0..1, self-illumination
  int trailCount = 0;       // 0..20
  float changePeriod = 0;   // 0..1, when in the transition the object moves
  float pathRotation = 0;   // degrees, 0..360
  bool rotatesWithPath = false;
  int trailSpacing = 0;     // 0..20
};

inline constexpr int kMaxBlurCount = 10;

struct FrameParams {
  bool flyOn = false;
  int renderMode = 0;       // 0 smooth, 1 flat, 2 wire
  bool bestQuality = false; // geometry: finer tessellation, smooth shading
  bool bestImage = false;   // textures: bilinear filtering instead of nearest
  int antiAliasing = 0;     // 0..8
  bool lighting = false;
  bool shadows = false;
  float blurPercent = 0;    // 0..1 share of a frame interval
  int blurCount = 0;        // 0..kMaxBlurCount extra sub-frames
  bool centerObjects = false;
  float lightDirection = 0; // degrees 0..360
  int filterFrames = 0;
  float transitionPeriod = 0; // 0..1
  int frameField = 0;       // 0 frame, 1 odd, 2 even
  ObjectParams objects[kMaxObjects];
  // Option values by tag (the effect's own options); present[tag] tells whether given.
  static constexpr int kMaxTag = 64;
  float option[kMaxTag] = {};
  bool present[kMaxTag] = {};

  // The option of that tag clamped to [lo, hi], or fallback when absent.
  float Option(int tag, float fallback, float lo, float hi) const;
};

// A finite value clamped to [lo, hi]; NaN gives fallback.
float Clamped(float v, float lo, float hi, float fallback);

FrameParams ReadFrameParams(const EffectSettings& settings);

}  // namespace lmx::engine
