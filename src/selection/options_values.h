// The twelve general values that the Options page edits, as its controls hold them.
#pragma once

#include <cstdint>

#include "model/effect_settings.h"
#include "selection/selection.h"

namespace lmx {

struct OptionsValues {
  int32_t direction = 0;     // radio index of "Fly-Off" / "Fly-On"
  int32_t renderMode = 0;    // "Smooth" / "Flat" / "Wire"
  int32_t quality = 0;       // "Fastest" / "Best"
  int32_t imageQuality = 0;  // "Fastest" / "Best"
  int32_t frameField = 0;    // "Frame" / "Odd" / "Even"
  bool lighting = false;
  bool shadows = false;
  int32_t antiAliasing = 0;
  int32_t blurPercent = 0;
  int32_t blurCount = 0;
  int32_t lightDirection = 0;
  int32_t transitionPeriod = 0;
};

// The block's values truncated toward zero; check boxes are on for a non-zero value.
OptionsValues ReadOptionsValues(const EffectSettings* block);

// Writes all twelve values. A Direction that differs from the block's first exchanges
// objects 0 and 1 when autoReverse is on and the selected effect is of type 1.
void StoreOptionsValues(const OptionsValues& values, const SelectionState& selection, EffectSettings* block,
                        bool autoReverse);

}  // namespace lmx
