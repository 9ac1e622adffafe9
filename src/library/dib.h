// Windows bitmap files (with or without their 14-byte file header, 40- or 12-byte info
// header, 24 or more bits per pixel) read into one movable block holding a packed DIB:
// the 40-byte BITMAPINFOHEADER, the colour table, then the bits.
#pragma once

#include <cstdint>

#include "platform/movable_memory.h"

namespace lmx {

// The block (the caller frees it with FreeMovable / GlobalFree), or null.
platform::MemoryHandle LoadDib(const char* path);

// Colour-table entries of a 12- or 40-byte header.
uint16_t DibColorCount(const void* header);
// Colour-table size in bytes: entries x 3 for a 12-byte header, x 4 for a 40-byte one.
uint16_t DibPaletteSize(const void* header);

}  // namespace lmx
