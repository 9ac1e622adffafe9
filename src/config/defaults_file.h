// The defaults file Work\Defaults.LRI: one raw 1016-byte EffectSettings image.
#pragma once

#include "model/effect_settings.h"

namespace lmx {

// Writes the block; each failure is shown under the caption "Could not save defaults".
void SaveDefaults(const EffectSettings* block);
// Replaces the whole block when 1016 bytes can be read; silent otherwise.
void LoadDefaults(EffectSettings* block);

}  // namespace lmx
