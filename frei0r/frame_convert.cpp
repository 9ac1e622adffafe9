#include "frame_convert.h"

#include <cstddef>

namespace lumorafx {

namespace {

// Swaps red and blue and turns the rows over: the same step in both directions.
void SwapAndFlip(const uint8_t* in, int width, int height, uint8_t* out) {
  const size_t row = static_cast<size_t>(width) * 4;
  for (int y = 0; y < height; ++y) {
    const uint8_t* p = in + static_cast<size_t>(y) * row;
    uint8_t* q = out + static_cast<size_t>(height - 1 - y) * row;
    for (size_t x = 0; x < row; x += 4) {
      q[x] = p[x + 2];
      q[x + 1] = p[x + 1];
      q[x + 2] = p[x];
      q[x + 3] = p[x + 3];
    }
  }
}

}  // namespace

void FrameToEngine(const uint32_t* rgba, int width, int height, uint8_t* bgra) {
  SwapAndFlip(reinterpret_cast<const uint8_t*>(rgba), width, height, bgra);
}

void EngineToFrame(const uint8_t* bgra, int width, int height, uint32_t* rgba) {
  SwapAndFlip(bgra, width, height, reinterpret_cast<uint8_t*>(rgba));
}

}  // namespace lumorafx
