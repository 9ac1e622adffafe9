// The host's 1016-byte settings block: which effect was chosen and how it is rendered.
// The host, the engine and the defaults file share it byte for byte.
#pragma once

#include <cstddef>
#include <cstdint>

namespace lmx {

struct SpecialValue {
  uint16_t reserved;  // 0 when filled from an effect
  uint16_t tag;       // the option's tag (bytes 106 and 107 of its entry)
  float value;        // the option's value in the terms of its kind
};
static_assert(sizeof(SpecialValue) == 8);

inline constexpr int kGeneralCount = 30;
inline constexpr int kObjectRows = 20;
inline constexpr int kObjectColumns = 10;
inline constexpr int kSpecialSlots = 10;

struct EffectSettings {
  char effectName[12];
  float generalValues[kGeneralCount];
  float objectValues[kObjectRows][kObjectColumns];
  uint32_t specialCount;
  SpecialValue specialValues[kSpecialSlots];
};
static_assert(sizeof(EffectSettings) == 1016);
static_assert(offsetof(EffectSettings, effectName) == 0);
static_assert(offsetof(EffectSettings, generalValues) == 12);
static_assert(offsetof(EffectSettings, objectValues) == 132);
static_assert(offsetof(EffectSettings, specialCount) == 932);
static_assert(offsetof(EffectSettings, specialValues) == 936);

// Indices of generalValues. Slots 9 and 17 to 29 are carried as found.
enum General : int {
  Direction = 0,         // 0 Fly-Off, 1 Fly-On
  RenderMode = 1,        // 0 smooth, 1 flat, 2 wire
  Quality = 2,           // 0 fastest, 1 best
  ImageQuality = 3,      // 0 fastest, 1 best
  AntiAliasing = 4,      // 0 to 8
  Lighting = 5,          // 0, 1
  Shadows = 6,           // 0, 1
  BlurPercent = 7,       // 0 to 100
  BlurCount = 8,         // 0 to 10
  CenterObjects = 10,    // 0, 1 (filter mode)
  LightDirection = 11,   // 0 to 360 degrees
  FilterFrames = 12,     // 10 to 200
  FilterPercent = 13,    // 0 to 100
  FilterSource = 14,     // index into the effect's object names
  TransitionPeriod = 15, // 0 to 100
  FrameField = 16,       // 0 frame, 1 odd field, 2 even field
};

// Columns of objectValues. Columns 8 and 9 are carried as found.
enum ObjectColumn : int {
  Shine = 0,            // 0 to 100
  Transparency = 1,     // 0 to 100
  Luminosity = 2,       // 0 to 100
  TrailCount = 3,       // 0 to 20
  ChangePeriod = 4,     // 0 to 100
  PathRotation = 5,     // 0 to 360 degrees
  RotatesWithPath = 6,  // 0, 1
  TrailSpacing = 7,     // 0 to 20
};

}  // namespace lmx
