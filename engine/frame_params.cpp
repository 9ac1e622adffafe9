#include "frame_params.h"

#include <cmath>

namespace lmx::engine {

float Clamped(float v, float lo, float hi, float fallback) {
  if (std::isnan(v)) return fallback;
  if (v < lo) return lo;
  if (v > hi) return hi;
  return v;
}

namespace {

int ClampedInt(float v, int lo, int hi) {
  return static_cast<int>(Clamped(v, static_cast<float>(lo), static_cast<float>(hi), static_cast<float>(lo)));
}

bool Flag(float v) { return !std::isnan(v) && v != 0.0f; }

// An angle in degrees wrapped into [0, 360); anything not finite is 0.
float Angle(float v) {
  if (!std::isfinite(v)) return 0.0f;
  float a = std::fmod(v, 360.0f);
  return a < 0 ? a + 360.0f : a;
}

}  // namespace

float FrameParams::Option(int tag, float fallback, float lo, float hi) const {
  if (tag < 0 || tag >= kMaxTag || !present[tag]) return fallback;
  return Clamped(option[tag], lo, hi, fallback);
}

FrameParams ReadFrameParams(const EffectSettings& s) {
  const float* g = s.generalValues;
  FrameParams p;
  p.flyOn = Clamped(g[Direction], 0, 1, 0) >= 0.5f;
  p.renderMode = ClampedInt(g[RenderMode], 0, 2);
  p.bestQuality = Flag(g[Quality]);
  p.bestImage = Flag(g[ImageQuality]);
  p.antiAliasing = ClampedInt(g[AntiAliasing], 0, 8);
  p.lighting = Flag(g[Lighting]);
  p.shadows = Flag(g[Shadows]);
  p.blurPercent = Clamped(g[BlurPercent], 0, 100, 0) / 100.0f;
  p.blurCount = ClampedInt(g[BlurCount], 0, kMaxBlurCount);
  p.centerObjects = Flag(g[CenterObjects]);
  p.lightDirection = Angle(g[LightDirection]);
  p.filterFrames = ClampedInt(g[FilterFrames], 0, 100000);
  p.transitionPeriod = Clamped(g[TransitionPeriod], 0, 100, 0) / 100.0f;
  p.frameField = ClampedInt(g[FrameField], 0, 2);
  for (int o = 0; o < kMaxObjects; ++o) {
    const float* v = s.objectValues[o];
    ObjectParams& op = p.objects[o];
    op.shine = Clamped(v[Shine], 0, 100, 0) / 100.0f;
    op.transparency = Clamped(v[Transparency], 0, 100, 0) / 100.0f;
    op.luminosity = Clamped(v[Luminosity], 0, 100, 0) / 100.0f;
    op.trailCount = ClampedInt(v[TrailCount], 0, 20);
    op.changePeriod = Clamped(v[ChangePeriod], 0, 100, 0) / 100.0f;
    op.pathRotation = Angle(v[PathRotation]);
    op.rotatesWithPath = Flag(v[RotatesWithPath]);
    op.trailSpacing = ClampedInt(v[TrailSpacing], 0, 20);
  }
  uint32_t count = s.specialCount < static_cast<uint32_t>(kSpecialSlots) ? s.specialCount : kSpecialSlots;
  for (uint32_t i = 0; i < count; ++i) {
    const SpecialValue& sv = s.specialValues[i];
    if (sv.tag >= FrameParams::kMaxTag || std::isnan(sv.value)) continue;
    p.option[sv.tag] = sv.value;
    p.present[sv.tag] = true;
  }
  return p;
}

}  // namespace lmx::engine
