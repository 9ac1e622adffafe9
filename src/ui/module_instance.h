// The module's own instance handle, given by the loader: pages and dialogs are created
// from this module's resources with it.
#pragma once

#include <windows.h>

namespace lmx {

HINSTANCE ModuleInstance();
void SetModuleInstance(HINSTANCE instance);

}  // namespace lmx
