// The settings block of a preview as an author writes it: NAME=VALUE for any general
// value, any per-object value (for every object, or NAME[i] for object i) and any of the
// effect's option tags by name.
#pragma once

#include <string>

#include "model/effect_settings.h"

namespace lmxlib {

// Applies one NAME=VALUE; false with a reason in *error for an unknown name, an option
// tag the effect has no slot for (the slots come from its options), a malformed object
// index or one at or above objectCount (the effect's objects), or a value that is not a
// whole number.
bool ApplySetting(lmx::EffectSettings& settings, const std::string& assignment, std::string* error,
                  int objectCount = lmx::kObjectRows);

// Applies a settings file: a 1016-byte settings block (the defaults file), or lines of
// NAME=VALUE with '#' comments and blank lines.
bool ApplySettingsFile(lmx::EffectSettings& settings, const std::string& path, std::string* error,
                       int objectCount = lmx::kObjectRows);

}  // namespace lmxlib
