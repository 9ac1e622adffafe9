// Up to 256 colours for a set of pictures (median cut over a histogram of all their
// pixels) and the mapping of each picture onto them with Floyd-Steinberg error
// diffusion, so that gradients keep their look instead of breaking into bands.
#pragma once

#include <cstdint>
#include <vector>

namespace lmxlib {

struct Rgb {
  uint8_t r, g, b;
};

// A palette of at most 256 colours for every pixel of the pictures (BGRA, 4 bytes per
// pixel). Pictures of at most 256 colours get exactly their colours.
std::vector<Rgb> BuildPalette(const std::vector<const std::vector<uint8_t>*>& bgraPictures);

// Palette indices of a BGRA picture of width x height (rows in the picture's order),
// dithered. Colours of the palette itself come back as their own index.
std::vector<uint8_t> MapToPalette(const std::vector<uint8_t>& bgra, int width, int height,
                                  const std::vector<Rgb>& palette);

}  // namespace lmxlib
