// State that lives as long as the module is loaded.
#pragma once

#include <windows.h>

#include <cstdint>

#include "library/organization.h"

namespace lmx {

struct ModuleState {
  HINSTANCE instance = nullptr;
  bool useCtl3d = false;
  char helpFilePath[256] = {};
  char enginePath[128] = {};
  Organization organization;
  char currentOrgName[16] = {};
  uint32_t effDisplay = 0;      // Eff_Display switch: 0 icons, 1 names, 2 both
  uint32_t effAutoreverse = 0;  // Eff_Autoreverse switch
};

ModuleState& Module();

}  // namespace lmx
