// The transition's parameters as every host sees them: the frei0r plugin and the MLT
// service take the same names and values, and lmxlib writes the editors' descriptions
// (MLT's YAML, Kdenlive's compositions) from this one table. Numbers are doubles in 0..1;
// an editor shows value x factor in the unit (or the value itself when factor is 0).
// Header only, so that lmxlib reads the table without linking the plugin.
#pragma once

#include <cmath>
#include <cstring>

#include "model/effect_option.h"

namespace lumorafx {

enum class ParamType { String, Double, Bool };

struct ParamInfo {
  const char* name;
  ParamType type;
  const char* title;
  const char* explanation;
  double defaultValue;  // numbers only
  double factor;        // 0: shown as it is
  const char* unit;     // of the shown value; "" for none
};

// Options of the effect itself: slot i is the effect file's option i.
inline constexpr int kOptionSlots = 10;

enum Param : int {
  kLibrary,
  kEffect,
  kPosition,
  kDirection,
  kQuality,
  kBilinear,
  kAntiAliasing,
  kLighting,
  kLightAngle,
  kShadows,
  kBlur,
  kBlurSamples,
  kBackdrop,
  kOption1,
  kParamCount = kOption1 + kOptionSlots
};

// The effect used when none is named.
inline constexpr const char* kDefaultEffect = "CUBE";
// An option slot below 0 leaves the effect's own default.
inline constexpr double kEffectDefault = -1;

#define LUMORAFX_OPTION(n)                                                                             \
  {"option" #n, ParamType::Double, "Option " #n,                                                      \
   "The effect's option " #n " across its range (0: its minimum, 1: its maximum); below 0: its default", \
   kEffectDefault, 0, ""}

inline constexpr ParamInfo kParams[kParamCount] = {
    {"library", ParamType::String, "Effect library",
     "Folder of the effect library holding EFFECTS and TEXTURES; empty: $LUMORAFX_LIBRARY or the installed one", 0, 0,
     ""},
    {"effect", ParamType::String, "Effect", "Short name of the effect, its file name in EFFECTS without .LMI", 0, 0,
     ""},
    {"position", ParamType::Double, "Position", "Transition position: 0 shows clip A, 1 clip B; animate it", 0, 100,
     "%"},
    {"direction", ParamType::Bool, "Fly on", "Off: clip A's pieces fly off over B; on: B's pieces fly on over A", 0, 0,
     ""},
    {"quality", ParamType::Bool, "Best quality", "Finer meshes and perspective-correct textures", 1, 0, ""},
    {"bilinear", ParamType::Bool, "Smooth textures", "Bilinear texture filtering (off: nearest texel)", 1, 0, ""},
    {"antialiasing", ParamType::Double, "Antialiasing", "Samples per pixel divided by 8 (0: one, 1: eight)", 0.25, 8,
     "samples"},
    {"lighting", ParamType::Bool, "Lighting", "Light the pieces from the light angle", 0, 0, ""},
    {"lightangle", ParamType::Double, "Light angle",
     "Light direction as a share of 360 degrees (0 from the right, 0.25 from the top)", 0.375, 360, "degrees"},
    {"shadows", ParamType::Bool, "Shadows", "The pieces cast shadows onto what lies behind them", 0, 0, ""},
    {"blur", ParamType::Double, "Motion blur", "The share of a frame interval the exposure spans (0: none)", 0, 100,
     "%"},
    {"blursamples", ParamType::Double, "Blur steps", "Sub-frames of the motion blur beyond the first, divided by 10",
     0.4, 10, "sub-frames"},
    {"backdrop", ParamType::Bool, "Library backdrop",
     "On: the library's texture 03 behind a turning cube; off: black", 0, 0, ""},
    LUMORAFX_OPTION(1), LUMORAFX_OPTION(2), LUMORAFX_OPTION(3), LUMORAFX_OPTION(4), LUMORAFX_OPTION(5),
    LUMORAFX_OPTION(6), LUMORAFX_OPTION(7), LUMORAFX_OPTION(8), LUMORAFX_OPTION(9), LUMORAFX_OPTION(10),
};
#undef LUMORAFX_OPTION

// The range an effect option's value runs over: a slider's minimum to maximum, a check
// box's 0 to 1, a list's first to last choice.
struct OptionSpan {
  float low, high;
};

inline OptionSpan SpanOf(const lmx::EffectOption& option) {
  switch (option.kind) {
    case 1: return {0, 1};
    case 3: {
      float last = 0;
      for (size_t i = 0; i < sizeof option.choices && option.choices[i] != '\0'; ++i) last += option.choices[i] == ',';
      return {0, last};
    }
    default: break;
  }
  if (!std::isfinite(option.minimum)) return {0, 0};
  if (!std::isfinite(option.maximum) || option.maximum < option.minimum) return {option.minimum, option.minimum};
  return {option.minimum, option.maximum};
}

}  // namespace lumorafx
