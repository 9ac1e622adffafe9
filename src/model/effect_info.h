// What LMXGUI_GetEffectInfo hands the host about one effect: a fixed 60-byte structure.
#pragma once

#include <cstddef>
#include <cstdint>

namespace lmx {

#pragma pack(push, 1)
struct EffectInfo {
  uint32_t effectType;
  char shortName[9];
  char longName[43];  // at most 42 characters; longer names are cut
  uint32_t objectCount;
};
#pragma pack(pop)
static_assert(sizeof(EffectInfo) == 60);
static_assert(offsetof(EffectInfo, effectType) == 0);
static_assert(offsetof(EffectInfo, shortName) == 4);
static_assert(offsetof(EffectInfo, longName) == 13);
static_assert(offsetof(EffectInfo, objectCount) == 56);

}  // namespace lmx
