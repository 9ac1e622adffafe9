// Texture lookups for the renderer: nearest or bilinear, with a checker pattern standing
// in for a clip whose texture is missing.
#pragma once

#include <cstdint>

#include "image_view.h"

namespace lmx::engine {

// A colour packed as 0x00RRGGBB (the byte order of a target pixel on little-endian).
using Packed = uint32_t;

inline Packed Pack(int r, int g, int b) {
  return static_cast<Packed>((r << 16) | (g << 8) | b);
}
inline int RedOf(Packed c) { return static_cast<int>((c >> 16) & 0xFF); }
inline int GreenOf(Packed c) { return static_cast<int>((c >> 8) & 0xFF); }
inline int BlueOf(Packed c) { return static_cast<int>(c & 0xFF); }

struct Sampler {
  ImageView image;
  Packed fallbackLight = 0, fallbackDark = 0;  // checker colours when image is empty
  bool bilinear = false;

  // u, v in [0, 1] (clamped), v upwards.
  Packed At(float u, float v) const;
  // The mean colour over the rectangle [u0, u1] x [v0, v1], from a few samples.
  Packed MeanOver(float u0, float v0, float u1, float v1) const;
};

// The sampler for texture `index` of a job, with its stand-in colours.
Sampler MakeSampler(const ImageView& image, int index, bool bilinear);

}  // namespace lmx::engine
