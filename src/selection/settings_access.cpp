#include "selection/settings_access.h"

#include <cstring>

namespace lmx {

void GetEffectName(const EffectSettings* block, char* out) {
  if (!out) return;
  if (!block) {
    out[0] = '\0';
    return;
  }
  // A host name that fills all 12 bytes without a zero gives its first 11 characters.
  const size_t n = strnlen(block->effectName, sizeof block->effectName - 1);
  std::memcpy(out, block->effectName, n);
  out[n] = '\0';
}

void SetEffectName(EffectSettings* block, const char* name) {
  if (!block) return;
  const size_t n = name ? strnlen(name, sizeof block->effectName - 1) : 0;
  if (n) std::memcpy(block->effectName, name, n);
  block->effectName[n] = '\0';
}

float GetGeneral(const EffectSettings* block, int index) {
  if (!block || static_cast<unsigned>(index) >= unsigned(kGeneralCount)) return 0.0f;
  return block->generalValues[index];
}

void SetGeneral(EffectSettings* block, int index, float value) {
  if (!block || static_cast<unsigned>(index) >= unsigned(kGeneralCount)) return;
  block->generalValues[index] = value;
}

float GetObjectValue(const EffectSettings* block, int object, int column) {
  if (!block || static_cast<unsigned>(object) >= unsigned(kObjectRows) ||
      static_cast<unsigned>(column) >= unsigned(kObjectColumns))
    return 0.0f;
  return block->objectValues[object][column];
}

void SetObjectValue(EffectSettings* block, int object, int column, float value) {
  if (!block || static_cast<unsigned>(object) >= unsigned(kObjectRows) ||
      static_cast<unsigned>(column) >= unsigned(kObjectColumns))
    return;
  block->objectValues[object][column] = value;
}

uint32_t GetSpecialCount(const EffectSettings* block) { return block ? block->specialCount : 0; }

void SetSpecialCount(EffectSettings* block, uint32_t count) {
  if (block && count <= uint32_t(kSpecialSlots)) block->specialCount = count;
}

void SetSpecial(EffectSettings* block, int slot, const SpecialValue& value) {
  // The count may come from the host unchecked; no slot beyond the table is ever written.
  if (!block || static_cast<unsigned>(slot) >= block->specialCount ||
      static_cast<unsigned>(slot) >= unsigned(kSpecialSlots))
    return;
  block->specialValues[slot] = value;
}

}  // namespace lmx
