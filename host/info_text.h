// The fields of an EffectInfo as text, one per line.
#pragma once

#include <string>

#include "model/effect_info.h"

namespace lmx::host {

// Each text field ends at its zero or at the end of the field, whichever comes first, so a
// structure without its zeros still prints safely.
std::string DescribeEffectInfo(const EffectInfo& info);

// The long name when there is one, else the short name, else "".
std::string DisplayName(const EffectInfo& info);

}  // namespace lmx::host
