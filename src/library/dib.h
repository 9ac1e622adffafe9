// Windows bitmap files (with or without their 14-byte file header, 40- or 12-byte info
// header, 24 or 32 bits per pixel) read into one movable block holding a packed DIB:
// the 40-byte BITMAPINFOHEADER, the colour table, then the bits.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/movable_memory.h"

namespace lmx {

// The 40-byte information header as it stands in a file and at the start of a block
// (the layout of BITMAPINFOHEADER).
struct DibInfoHeader {
  uint32_t size;
  int32_t width;
  int32_t height;
  uint16_t planes;
  uint16_t bitCount;
  uint32_t compression;
  uint32_t sizeImage;
  int32_t xPelsPerMeter;
  int32_t yPelsPerMeter;
  uint32_t clrUsed;
  uint32_t clrImportant;
};
static_assert(sizeof(DibInfoHeader) == 40);
static_assert(offsetof(DibInfoHeader, bitCount) == 14);
static_assert(offsetof(DibInfoHeader, sizeImage) == 20);
static_assert(offsetof(DibInfoHeader, clrUsed) == 32);

inline constexpr uint32_t kDibInfoHeaderSize = 40;
inline constexpr uint32_t kDibCoreHeaderSize = 12;

// The largest image (the bits alone) a bitmap may claim. Icons and the about pictures
// are far below it; a header claiming more is refused rather than allocated.
inline constexpr uint64_t kMaxDibImageBytes = 64u << 20;
// The largest colour table whose size in bytes still fits DibPaletteSize's 16 bits.
inline constexpr uint32_t kMaxDibColors = 0xFFFF / 4;

// The block (the caller frees it with FreeMovable / GlobalFree), or null.
platform::MemoryHandle LoadDib(const char* path);

// 24 and 32 bits per pixel, the only ones the module draws (and loads).
bool DibBitCountDrawable(uint16_t bitCount);

// Colour-table entries of a 12- or 40-byte header.
uint16_t DibColorCount(const void* header);
// Colour-table size in bytes: entries x 3 for a 12-byte header, x 4 for a 40-byte one.
uint16_t DibPaletteSize(const void* header);

// Bytes of the image by the row size rule: each row's bits rounded up to whole 32-bit
// words, times the number of rows (the height's magnitude, so a top-down bitmap with its
// negative height counts as many rows). False when the width is negative or the image
// would exceed kMaxDibImageBytes.
bool DibImageSize(int32_t width, int32_t height, uint16_t bitCount, uint32_t* bytes);

}  // namespace lmx
