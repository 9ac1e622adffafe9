// A small animated GIF writer for previews: a fixed 6 x 7 x 6 colour cube as the global
// palette, LZW-coded frames, looping forever.
#pragma once

#include <cstdint>
#include <vector>

namespace lmxlib {

struct GifFrame {
  std::vector<uint8_t> bgra;  // width x height x 4, rows bottom-up (as the engine renders)
};

// The whole file. delayCentiseconds is each frame's showing time.
std::vector<uint8_t> EncodeGif(int width, int height, const std::vector<GifFrame>& frames, int delayCentiseconds);

// The palette index and colour the writer uses for a colour.
uint8_t PaletteIndex(uint8_t red, uint8_t green, uint8_t blue);
void PaletteColour(uint8_t index, uint8_t* red, uint8_t* green, uint8_t* blue);

}  // namespace lmxlib
