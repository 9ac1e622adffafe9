// Readable forms of the settings block: the main values a host shows next to the chosen
// transition, and a full dump of every field.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "model/effect_settings.h"

namespace lmx::host {

// The effect name as stored: at most 11 characters, also when the field lacks its zero.
std::string EffectNameOf(const EffectSettings& block);

// (label, value) pairs of the values the pages edit most: type, render mode, quality,
// antialiasing, lighting, shadows, blur, light direction, transition period, frame/field.
std::vector<std::pair<std::string, std::string>> MainValues(const EffectSettings& block);

// Every field of the block, one per line: the main values first, then all general values
// by index, the object rows that hold anything, and the special values.
std::string DumpBlock(const EffectSettings& block);

}  // namespace lmx::host
