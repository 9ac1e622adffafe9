// A small animated GIF writer for previews: one adaptive palette for all frames (median
// cut), frames dithered onto it and LZW-coded, looping forever.
#pragma once

#include <cstdint>
#include <vector>

namespace lmxlib {

struct GifFrame {
  std::vector<uint8_t> bgra;  // width x height x 4, rows bottom-up (as the engine renders)
};

// The whole file. delayCentiseconds is each frame's showing time.
std::vector<uint8_t> EncodeGif(int width, int height, const std::vector<GifFrame>& frames, int delayCentiseconds);

}  // namespace lmxlib
