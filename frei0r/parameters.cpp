#include "parameters.h"

#include <cmath>

namespace lumorafx {

namespace {

const ParamInfo kParams[kParamCount] = {
    {"library", ParamType::String, "Folder of the effect library (the installation holding EFFECTS and TEXTURES)"},
    {"effect", ParamType::String, "Short name of the effect, its file name in EFFECTS without .LMI (e.g. CUBE)"},
    {"position", ParamType::Double, "Transition position: 0 shows clip A, 1 clip B; animate it (\"0=0;-1=1\")"},
    {"direction", ParamType::Bool, "Off: clip A's pieces fly off over B; on: B's pieces fly on over A"},
    {"quality", ParamType::Bool, "Finer meshes and perspective-correct textures"},
    {"bilinear", ParamType::Bool, "Bilinear texture filtering (off: nearest texel)"},
    {"antialiasing", ParamType::Double, "Samples per pixel divided by 8 (0: one, 1: eight)"},
    {"lighting", ParamType::Bool, "Light the pieces from the light angle"},
    {"lightangle", ParamType::Double,
     "Light direction as a share of 360 degrees (0 from the right, 0.25 from the top)"},
    {"shadows", ParamType::Bool, "The pieces cast shadows onto what lies behind them"},
    {"blur", ParamType::Double, "Motion blur: the share of a frame interval the exposure spans (0: none)"},
    {"blursamples", ParamType::Double, "Sub-frames of the motion blur beyond the first, divided by 10"},
    {"backdrop", ParamType::Bool, "On: the library's texture 03 behind a turning cube; off: black"},
};

bool On(double v) { return UnitValue(v) >= 0.5; }

}  // namespace

const ParamInfo& ParamAt(int index) { return kParams[index]; }

Options::Options() {
  values[kBilinear] = 1;
  values[kAntiAliasing] = 0.25;  // two samples: smooth edges at little cost
  values[kLightAngle] = 0.375;   // from the upper left
  values[kBlurSamples] = 0.4;
  values[kBackdrop] = 1;
}

double UnitValue(double v) {
  if (!(v >= 0)) return 0;  // NaN and negatives
  return v > 1 ? 1 : v;
}

double PositionOf(const Options& options) { return UnitValue(options.values[kPosition]); }

lmx::EffectSettings SettingsFor(const Options& options, const lmx::EffectSettings& picked) {
  lmx::EffectSettings s = picked;
  const double* v = options.values;
  float* g = s.generalValues;
  g[lmx::Direction] = On(v[kDirection]) ? 1.0f : 0.0f;
  g[lmx::Quality] = On(v[kQuality]) ? 1.0f : 0.0f;
  g[lmx::ImageQuality] = On(v[kBilinear]) ? 1.0f : 0.0f;
  g[lmx::AntiAliasing] = static_cast<float>(std::lround(UnitValue(v[kAntiAliasing]) * 8));
  g[lmx::Lighting] = On(v[kLighting]) ? 1.0f : 0.0f;
  g[lmx::LightDirection] = static_cast<float>(UnitValue(v[kLightAngle]) * 360);
  g[lmx::Shadows] = On(v[kShadows]) ? 1.0f : 0.0f;
  g[lmx::BlurPercent] = static_cast<float>(UnitValue(v[kBlur]) * 100);
  g[lmx::BlurCount] = static_cast<float>(std::lround(UnitValue(v[kBlurSamples]) * 10));
  return s;
}

bool BackdropFromLibrary(const Options& options) { return On(options.values[kBackdrop]); }

}  // namespace lumorafx
