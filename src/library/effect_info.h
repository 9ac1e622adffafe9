// Fills the host's effect information from an effect file.
#pragma once

#include "model/effect_info.h"

namespace lmx {

// Reads the effect of the given short name and fills info. A missing or damaged file
// fills what was read before the damage and zeros and "" for the rest; a failure to get
// memory fills an all-empty structure.
void FillEffectInfo(const char* name, EffectInfo* info);

}  // namespace lmx
