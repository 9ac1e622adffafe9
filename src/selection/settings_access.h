// Bounded accessors of the host's EffectSettings block. Indices are unsigned: a negative
// index is out of range. Out-of-range reads give 0.0, writes are ignored.
#pragma once

#include <cstdint>

#include "model/effect_settings.h"

namespace lmx {

void GetEffectName(const EffectSettings* block, char* out);  // out: at least 12 bytes; "" without a block
void SetEffectName(EffectSettings* block, const char* name);  // at most 11 characters are kept
float GetGeneral(const EffectSettings* block, int index);
void SetGeneral(EffectSettings* block, int index, float value);
float GetObjectValue(const EffectSettings* block, int object, int column);
void SetObjectValue(EffectSettings* block, int object, int column, float value);
uint32_t GetSpecialCount(const EffectSettings* block);
void SetSpecialCount(EffectSettings* block, uint32_t count);  // above 10: ignored
void SetSpecial(EffectSettings* block, int slot, const SpecialValue& value);  // slot below the count only

}  // namespace lmx
