// The headers of an uncompressed 24-bit bitmap file, rows bottom-up: what the FX page and
// the about box draw, and what the host's screenshots are saved as.
#pragma once

#include <cstdint>
#include <vector>

namespace lmx {

// Bytes of one row of 24-bit pixels, padded to a multiple of four.
inline uint32_t Bmp24RowBytes(uint32_t width) { return (width * 3 + 3) & ~3u; }

// Appends the 14-byte file header and the 40-byte information header of a width x height
// picture (72 dots per inch); its rows follow, the bottom row first.
inline void AppendBmp24Headers(std::vector<uint8_t>& out, uint32_t width, uint32_t height) {
  const uint32_t bits = Bmp24RowBytes(width) * height;
  auto put = [&out](uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
  };
  out.push_back('B');
  out.push_back('M');
  put(14 + 40 + bits, 4);
  put(0, 4);        // reserved
  put(14 + 40, 4);  // offset of the bits
  put(40, 4);
  put(width, 4);
  put(height, 4);   // positive: rows bottom-up
  put(1, 2);        // planes
  put(24, 2);
  put(0, 4);        // BI_RGB, uncompressed
  put(bits, 4);
  put(2835, 4);     // 72 dots per inch
  put(2835, 4);
  put(0, 4);        // colours used
  put(0, 4);        // colours important
}

}  // namespace lmx
