#include "parameters.h"

#include <dlfcn.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>

namespace lumorafx {

namespace {

bool On(double v) { return UnitValue(v) >= 0.5; }

float Whole(double v) { return static_cast<float>(std::lround(v)); }

}  // namespace

const ParamInfo& ParamAt(int index) { return kParams[index]; }

Options::Options() {
  for (int i = 0; i < kParamCount; ++i) values[i] = kParams[i].defaultValue;
}

double UnitValue(double v) {
  if (!(v >= 0)) return 0;  // NaN and negatives
  return v > 1 ? 1 : v;
}

double PositionOf(const Options& options) { return UnitValue(options.values[kPosition]); }

lmx::EffectSettings SettingsFor(const Options& options, const lmx::EffectSettings& picked,
                                const std::vector<lmx::EffectOption>& effectOptions) {
  lmx::EffectSettings s = picked;
  const double* v = options.values;
  float* g = s.generalValues;
  g[lmx::Direction] = On(v[kDirection]) ? 1.0f : 0.0f;
  g[lmx::Quality] = On(v[kQuality]) ? 1.0f : 0.0f;
  g[lmx::ImageQuality] = On(v[kBilinear]) ? 1.0f : 0.0f;
  g[lmx::AntiAliasing] = Whole(UnitValue(v[kAntiAliasing]) * 8);
  g[lmx::Lighting] = On(v[kLighting]) ? 1.0f : 0.0f;
  g[lmx::LightDirection] = static_cast<float>(UnitValue(v[kLightAngle]) * 360);
  g[lmx::Shadows] = On(v[kShadows]) ? 1.0f : 0.0f;
  g[lmx::BlurPercent] = static_cast<float>(UnitValue(v[kBlur]) * 100);
  g[lmx::BlurCount] = Whole(UnitValue(v[kBlurSamples]) * 10);
  const size_t slots = std::min<size_t>({size_t{s.specialCount}, effectOptions.size(), size_t{kOptionSlots}});
  for (size_t i = 0; i < slots; ++i) {
    const double value = v[kOption1 + i];
    if (!(value >= 0)) continue;  // the effect's default (NaN too)
    const OptionSpan span = SpanOf(effectOptions[i]);
    s.specialValues[i].value = Whole(span.low + UnitValue(value) * (span.high - span.low));
  }
  return s;
}

bool BackdropFromLibrary(const Options& options) { return On(options.values[kBackdrop]); }

std::string DefaultLibrary() {
  namespace fs = std::filesystem;
  if (const char* env = std::getenv("LUMORAFX_LIBRARY"); env != nullptr && *env != '\0') return env;
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&DefaultLibrary), &info) != 0 && info.dli_fname != nullptr) {
    // The module's real file: hosts may load it through a link.
    std::error_code ec;
    fs::path dir = fs::canonical(info.dli_fname, ec).parent_path();
    for (int up = 0; up < 4 && !ec && dir.has_relative_path(); ++up, dir = dir.parent_path()) {
      fs::path candidate = dir / "share" / "lumorafx";
      std::error_code missing;
      if (fs::is_directory(candidate / "EFFECTS", missing)) return candidate.string();
    }
  }
  return LUMORAFX_INSTALLED_LIBRARY;
}

}  // namespace lumorafx
