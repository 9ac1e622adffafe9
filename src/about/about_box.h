// The about box: a picture, the product title, a release line and a logo.
#pragma once

#include <windows.h>

#include <cstdint>

namespace lmx {

// Runs dialog 101 modally. title and release replace "Lumora FX" and "Release 2" when
// given; texts of 256 characters or more are cut to 255. Loads LMX.BMP and CRVLOGO.BMP
// from the installation directory afresh each time. 0 when the box was shown and
// closed, 2 when it cannot be created.
int16_t ShowAboutBox(HWND parent, const char* title, const char* release);

}  // namespace lmx
