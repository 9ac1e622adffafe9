// One call of the selection sheet the way a host makes it: the sheet edits a copy of the
// block, and the copy becomes the host's block only when the user confirms with OK.
#pragma once

#include <windows.h>

#include <cstdint>

#include "gui_library.h"

namespace lmx::host {

// The sheet's result: 0 OK (block replaced), 1 cancelled, 2 the sheet cannot be created
// (block unchanged in both).
// `select` is the module's LMXGUI_Select.
int16_t ChooseTransition(SelectFn select, HWND owner, EffectSettings* block, bool filterMode);

// "OK", "cancelled", ... for a result of LMXGUI_Select.
const char* DescribeSelectResult(int16_t result);

}  // namespace lmx::host
