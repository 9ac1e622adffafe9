// The eight values of one object that the Objects page edits, as its controls hold them.
#pragma once

#include <cstdint>

#include "model/effect_settings.h"
#include "selection/selection.h"

namespace lmx {

struct ObjectValues {
  int32_t luminosity = 0;
  int32_t shine = 0;
  int32_t transparency = 0;
  int32_t changePeriod = 0;
  int32_t pathRotation = 0;
  bool rotatesWithPath = false;
  int32_t trailCount = 0;
  int32_t trailSpacing = 0;
};

// Row `object` truncated toward zero (rows from 20 up read as zeros).
ObjectValues ReadObjectValues(const EffectSettings* block, int object);
// Writes the eight columns of row `object`; columns 8 and 9 are left alone.
void StoreObjectValues(EffectSettings* block, int object, const ObjectValues& values);

// The object the page shows when it becomes active: with autoReverse on and an effect
// of type 1, object 1 for a non-zero Direction and object 0 otherwise; else the
// selection's current object.
int32_t ObjectOnActivation(const SelectionState& selection, const EffectSettings* block, bool autoReverse);

}  // namespace lmx
