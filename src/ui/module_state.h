// State that lives as long as the module is loaded.
#pragma once

#include <windows.h>

#include <cstdint>

#include "library/organization.h"
#include "selection/render_control.h"

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
  // The quality the last preview was built with: a Prev_Quality other than 0, 1 or 2
  // keeps it, also into the next sheet.
  PreviewQuality previewQuality = kFirstQuality;
};

ModuleState& Module();

// Process attach: instance, 3-D controls on NT, help and engine paths, the organization
// ("OrgFile", else "DEFAULT") and the two display switches. Never fails.
void AttachModule(HINSTANCE instance);
// Process detach: 3-D controls unregistered and unloaded, the organization released.
void DetachModule();

}  // namespace lmx
