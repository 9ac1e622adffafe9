// Drawing a packed DIB block, as LoadDib makes it, for every page and box that shows one.
#pragma once

#include <windows.h>

#include "platform/movable_memory.h"

namespace lmx {

// Stretches the whole picture over `to`. Top-down pictures (negative height) draw
// upright like the others. A block too small for the header, colour table and rows it
// describes is not drawn.
void DrawDibBlock(HDC dc, const RECT& to, platform::MemoryHandle block);

}  // namespace lmx
