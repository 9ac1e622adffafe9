// One extra option of an effect: the layout of an "OPTS" payload entry, which is also
// its layout in memory.
#pragma once

#include <cstddef>
#include <cstdint>

namespace lmx {

struct EffectOption {
  char label[24];
  uint32_t kind;  // 0 slider, 1 check box, 3 drop-down list
  char choices[64];
  float defaultValue;
  float minimum;
  float maximum;
  uint16_t unused;
  uint16_t tag;
};
static_assert(sizeof(EffectOption) == 108);
static_assert(offsetof(EffectOption, label) == 0);
static_assert(offsetof(EffectOption, kind) == 24);
static_assert(offsetof(EffectOption, choices) == 28);
static_assert(offsetof(EffectOption, defaultValue) == 92);
static_assert(offsetof(EffectOption, minimum) == 96);
static_assert(offsetof(EffectOption, maximum) == 100);
static_assert(offsetof(EffectOption, unused) == 104);
static_assert(offsetof(EffectOption, tag) == 106);

}  // namespace lmx
