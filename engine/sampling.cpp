#include "sampling.h"

#include <cmath>

namespace lmx::engine {

namespace {

inline float Clamp01(float v) { return v >= 0 ? (v <= 1 ? v : 1) : 0; }

inline Packed Texel(const ImageView& im, int x, int y) {
  const uint8_t* p = im.pixels + (static_cast<size_t>(y) * im.width + x) * 4;
  return Pack(p[2], p[1], p[0]);
}

}  // namespace

Packed Sampler::At(float u, float v) const {
  u = Clamp01(u);  // also turns NaN into 0
  v = Clamp01(v);
  if (!image.valid()) {
    int cell = static_cast<int>(u * 6) + static_cast<int>(v * 6);
    return (cell & 1) ? fallbackDark : fallbackLight;
  }
  if (!bilinear) {
    int x = static_cast<int>(u * image.width), y = static_cast<int>(v * image.height);
    if (x >= image.width) x = image.width - 1;
    if (y >= image.height) y = image.height - 1;
    return Texel(image, x, y);
  }
  float fx = u * image.width - 0.5f, fy = v * image.height - 0.5f;
  if (fx < 0) fx = 0;
  if (fy < 0) fy = 0;
  int x0 = static_cast<int>(fx), y0 = static_cast<int>(fy);
  if (x0 > image.width - 1) x0 = image.width - 1;
  if (y0 > image.height - 1) y0 = image.height - 1;
  int x1 = x0 + 1 < image.width ? x0 + 1 : x0, y1 = y0 + 1 < image.height ? y0 + 1 : y0;
  int wx = static_cast<int>((fx - x0) * 256), wy = static_cast<int>((fy - y0) * 256);
  if (wx > 256) wx = 256;
  if (wy > 256) wy = 256;
  Packed a = Texel(image, x0, y0), b = Texel(image, x1, y0), c = Texel(image, x0, y1), d = Texel(image, x1, y1);
  auto mix = [&](int shift) {
    int top = (((a >> shift) & 0xFF) * (256 - wx) + ((b >> shift) & 0xFF) * wx);
    int bottom = (((c >> shift) & 0xFF) * (256 - wx) + ((d >> shift) & 0xFF) * wx);
    return (top * (256 - wy) + bottom * wy + 32768) >> 16;
  };
  return Pack(mix(16), mix(8), mix(0));
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
