#include "ui/dib_draw.h"

#include <cstdint>

#include "library/bytes.h"
#include "library/dib.h"

namespace lmx {

void DrawDibBlock(HDC dc, const RECT& to, platform::MemoryHandle block) {
  if (!dc || !block) return;
  platform::LockedBlock locked(block);
  const auto* base = static_cast<const uint8_t*>(locked.data());
  const size_t size = platform::MovableSize(block);
  if (!base || size < sizeof(BITMAPINFOHEADER) || LoadU32(base) != kDibInfoHeaderSize) return;
  const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(base);
  uint32_t image = 0;
  if (!DibImageSize(header->biWidth, header->biHeight, header->biBitCount, &image)) return;
  const size_t bitsAt = size_t{kDibInfoHeaderSize} + DibPaletteSize(base);
  if (bitsAt > size || size - bitsAt < image) return;
  // The source rectangle is measured in rows whatever their order: a negative height
  // here would draw a top-down picture upside down.
  const LONG rows = header->biHeight < 0 ? -header->biHeight : header->biHeight;
  StretchDIBits(dc, to.left, to.top, to.right - to.left, to.bottom - to.top, 0, 0, header->biWidth, rows,
                base + bitsAt, reinterpret_cast<const BITMAPINFO*>(base), DIB_RGB_COLORS, SRCCOPY);
}

}  // namespace lmx
