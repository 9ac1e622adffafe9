#include "sampling.h"

#include <cmath>

namespace lmx::engine {

namespace {

inline float Clamp01(float v) { return v >= 0 ? (v <= 1 ? v : 1) : 0; }

}  // namespace

Packed Sampler::Filtered(float u, float v) const {
  u = Clamp01(u);  // also turns NaN into 0
  v = Clamp01(v);
  if (!image.valid()) {
    int cell = static_cast<int>(u * 6) + static_cast<int>(v * 6);
    return (cell & 1) ? fallbackDark : fallbackLight;
  }
  return Bilinear(u, v);
}

Packed Sampler::MeanOver(float u0, float v0, float u1, float v1) const {
  int r = 0, g = 0, b = 0;
  for (int j = 0; j < 3; ++j) {
    for (int i = 0; i < 3; ++i) {
      Packed c = At(u0 + (u1 - u0) * (i + 0.5f) / 3, v0 + (v1 - v0) * (j + 0.5f) / 3);
      r += RedOf(c), g += GreenOf(c), b += BlueOf(c);
    }
  }
  return Pack(r / 9, g / 9, b / 9);
}

Sampler MakeSampler(const ImageView& image, int index, bool bilinear) {
  Sampler s;
  s.image = image;
  s.bilinear = bilinear;
  switch (index) {
    case 0: s.fallbackLight = Pack(235, 140, 50), s.fallbackDark = Pack(170, 80, 30); break;
    case 1: s.fallbackLight = Pack(60, 150, 235), s.fallbackDark = Pack(30, 80, 170); break;
    default: s.fallbackLight = Pack(70, 70, 80), s.fallbackDark = Pack(45, 45, 55); break;
  }
  return s;
}

}  // namespace lmx::engine
