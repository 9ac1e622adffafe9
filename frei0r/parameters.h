// The values of one transition instance and what each sets in the engine's block. Numbers
// are doubles in 0..1 (switches: below 0.5 off) as the table in param_table.h describes
// them; hosts animate any of them, the position in particular.
#pragma once

#include <string>
#include <vector>

#include "model/effect_option.h"
#include "model/effect_settings.h"
#include "param_table.h"

namespace lumorafx {

// Entry i of the table, i in 0..kParamCount-1.
const ParamInfo& ParamAt(int index);

// The values of one instance.
struct Options {
  std::string library;                  // empty: DefaultLibrary()
  std::string effect = kDefaultEffect;  // empty: kDefaultEffect
  double values[kParamCount] = {};  // the numeric parameters by index; strings unused

  Options();
};

// A value a host sent, made finite and kept within 0..1 (NaN gives 0).
double UnitValue(double v);

// The transition position in 0..1.
double PositionOf(const Options& options);

// The effect's picked block (its name and option defaults) with the general values and the
// effect options the parameters set; options[i] is the effect file's option i.
lmx::EffectSettings SettingsFor(const Options& options, const lmx::EffectSettings& picked,
                                const std::vector<lmx::EffectOption>& effectOptions);

// Whether the backdrop is the library's texture 03 (else black).
bool BackdropFromLibrary(const Options& options);

// The library used when the parameter is empty: $LUMORAFX_LIBRARY when set, else
// share/lumorafx in a folder above the loaded module (the installed library, wherever the
// package was unpacked), else the one under the configured prefix.
std::string DefaultLibrary();

}  // namespace lumorafx
