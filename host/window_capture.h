// Pictures of windows as they stand on the screen, read back from their drawing surface.
#pragma once

#include <windows.h>

#include "image.h"

namespace lmx::host {

// The client area of a window, as it stands on the screen. Empty on failure. Only the
// client area: under Wine the border and caption may belong to the window manager and
// are not in the window's surface.
Image CaptureClient(HWND window);

}  // namespace lmx::host
