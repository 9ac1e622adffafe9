// The four filter-mode values that the Filter page edits, as its controls hold them.
#pragma once

#include <cstdint>

#include "model/effect_settings.h"

namespace lmx {

struct FilterValues {
  int32_t source = -1;  // index of the selected source object; -1 when none is selected
  int32_t percent = 0;
  int32_t frames = 0;
  bool centerObjects = false;
};

// The block's values truncated toward zero.
FilterValues ReadFilterValues(const EffectSettings* block);
// Writes percent, frames and centring, and the source only when one is selected.
void StoreFilterValues(EffectSettings* block, const FilterValues& values);

}  // namespace lmx
