// A captured picture: top-down rows of B, G, R, X bytes, as a 32-bit top-down DIB holds them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lmx::host {

struct Image {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> bgrx;  // width * height * 4 bytes, top row first

  bool empty() const { return width <= 0 || height <= 0; }
};

// A fingerprint of the pixels (the unused fourth byte of each pixel is left out), for
// telling frames apart.
uint64_t Fingerprint(const Image& image);

// True when every pixel inside the picture, `inset` pixels away from each edge, has one and
// the same colour: the look of a preview picture with no frame in it (cleared, or not yet
// painted). An empty image is plain too.
bool IsPlain(const Image& image, int inset);

// Writes the image as an uncompressed 24-bit Windows bitmap file (rows bottom-up, each
// padded to 4 bytes). False when the file cannot be written or the image is empty.
bool WriteBmp24(const std::string& path, const Image& image);

}  // namespace lmx::host
