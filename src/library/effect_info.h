// The host's effect information from an effect file.
#pragma once

#include "library/effect_record.h"
#include "model/effect_info.h"

namespace lmx {

// Reads the effect file at path and fills info. A missing (or null) or damaged file fills
// what was read before the damage and zeros and "" for the rest; a failure to get memory
// fills an all-empty structure.
void FillEffectInfoFromFile(const char* path, EffectInfo* info);
// The same from a record already read.
void FillEffectInfoFromRecord(const EffectRecord& record, EffectInfo* info);

}  // namespace lmx
