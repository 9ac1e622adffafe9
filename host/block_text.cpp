#include "block_text.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace lmx::host {
namespace {

std::string Number(float v) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", static_cast<double>(v));
  return text;
}

// A radio group's value as the page shows it: the name of the checked button, or the raw
// number when it names none (the host may hold anything there).
std::string Choice(float v, std::initializer_list<const char*> names) {
  int i = 0;
  for (const char* name : names) {
    if (v == static_cast<float>(i)) return name;
    ++i;
  }
  return Number(v);
}

std::string OnOff(float v) {
  if (v == 0.0f) return "off";
  if (v == 1.0f) return "on";
  return Number(v);
}

const char* const kGeneralNames[kGeneralCount] = {
    "Direction", "RenderMode", "Quality", "ImageQuality", "AntiAliasing", "Lighting", "Shadows",
    "BlurPercent", "BlurCount", "(9)", "CenterObjects", "LightDirection", "FilterFrames",
    "FilterPercent", "FilterSource", "TransitionPeriod", "FrameField", "(17)", "(18)", "(19)",
    "(20)", "(21)", "(22)", "(23)", "(24)", "(25)", "(26)", "(27)", "(28)", "(29)"};

}  // namespace

std::string EffectNameOf(const EffectSettings& block) {
  const void* end = std::memchr(block.effectName, 0, sizeof block.effectName);
  size_t length = end ? static_cast<size_t>(static_cast<const char*>(end) - block.effectName)
                      : sizeof block.effectName;
  return std::string(block.effectName, length);
}

std::vector<std::pair<std::string, std::string>> MainValues(const EffectSettings& block) {
  const float* g = block.generalValues;
  return {
      {"Type", Choice(g[Direction], {"Fly-Off", "Fly-On"})},
      {"Render", Choice(g[RenderMode], {"Smooth", "Flat", "Wire"})},
      {"Quality", Choice(g[Quality], {"Fastest", "Best"})},
      {"Image quality", Choice(g[ImageQuality], {"Fastest", "Best"})},
      {"Antialiasing", Number(g[AntiAliasing])},
      {"Lighting", OnOff(g[Lighting])},
      {"Shadows", OnOff(g[Shadows])},
      {"Blur", Number(g[BlurPercent]) + "%, " + Number(g[BlurCount]) + " copies"},
      {"Light direction", Number(g[LightDirection]) + " degrees"},
      {"Transition period", Number(g[TransitionPeriod])},
      {"Frame/field", Choice(g[FrameField], {"Frame", "Odd", "Even"})},
  };
}

std::string DumpBlock(const EffectSettings& block) {
  std::string out = "effectName: \"" + EffectNameOf(block) + "\"\n";
  for (const auto& [label, value] : MainValues(block)) out += label + ": " + value + "\n";

  out += "\ngeneralValues:\n";
  for (int i = 0; i < kGeneralCount; ++i) {
    out += "  [" + std::to_string(i) + "] " + kGeneralNames[i] + " = " + Number(block.generalValues[i]) + "\n";
  }

  out += "\nobjectValues (Shine Transparency Luminosity TrailCount ChangePeriod PathRotation "
         "RotatesWithPath TrailSpacing (8) (9)), rows that hold anything:\n";
  for (int row = 0; row < kObjectRows; ++row) {
    bool any = false;
    for (float v : block.objectValues[row]) any = any || v != 0.0f;
    if (!any) continue;
    out += "  object " + std::to_string(row) + ":";
    for (float v : block.objectValues[row]) out += " " + Number(v);
    out += "\n";
  }

  out += "\nspecialCount: " + std::to_string(block.specialCount) + "\n";
  // The count comes from outside: never read past the ten slots, however large it is.
  uint32_t shown = block.specialCount < kSpecialSlots ? block.specialCount : kSpecialSlots;
  for (uint32_t s = 0; s < shown; ++s) {
    const SpecialValue& v = block.specialValues[s];
    out += "  slot " + std::to_string(s) + ": tag " + std::to_string(v.tag) + ", value " + Number(v.value);
    if (v.reserved != 0) out += ", reserved " + std::to_string(v.reserved);
    out += "\n";
  }
  return out;
}

}  // namespace lmx::host
