// Pictures of windows as they stand on the screen, read back from their drawing surface.
#pragma once

#include <windows.h>

#include "image.h"

namespace lmx::host {

// The client area of a window (no border or caption). Empty on failure.
Image CaptureClient(HWND window);

// The whole window, border and caption included. Empty on failure.
Image CaptureWindow(HWND window);

}  // namespace lmx::host
