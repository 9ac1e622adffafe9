// The plugin's parameters as frei0r describes them, and what each sets. Numbers are
// frei0r's doubles in 0..1 (switches: below 0.5 off); MLT animates any of them with
// keyframes, the position in particular.
#pragma once

#include <string>

#include "model/effect_settings.h"

namespace lumorafx {

enum class ParamType { String, Double, Bool };

struct ParamInfo {
  const char* name;
  ParamType type;
  const char* explanation;
};

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
  kParamCount
};

// Entry i of the table, i in 0..kParamCount-1.
const ParamInfo& ParamAt(int index);

// The values of one instance.
struct Options {
  std::string library;
  std::string effect;
  double values[kParamCount] = {};  // the numeric parameters by index; strings unused

  Options();
};

// A value MLT or another host sent, made finite and kept within 0..1 (NaN gives 0).
double UnitValue(double v);

// The transition position in 0..1.
double PositionOf(const Options& options);

// The effect's picked block (its name and option defaults) with the general values the
// options set.
lmx::EffectSettings SettingsFor(const Options& options, const lmx::EffectSettings& picked);

// Whether the backdrop is the library's texture 03 (else black).
bool BackdropFromLibrary(const Options& options);

}  // namespace lumorafx
