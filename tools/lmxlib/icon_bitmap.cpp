#include "lmxlib/icon_bitmap.h"

#include <algorithm>

#include "model/bmp24.h"

namespace lmxlib {

Picture ScalePicture(const Picture& p, uint32_t width, uint32_t height) {
  Picture out;
  out.width = width;
  out.height = height;
  out.rgba.assign(size_t(width) * height * 4, 0);
  const double sx = double(p.width) / width, sy = double(p.height) / height;
  for (uint32_t oy = 0; oy < height; ++oy) {
    const double y0 = oy * sy, y1 = (oy + 1) * sy;
    for (uint32_t ox = 0; ox < width; ++ox) {
      const double x0 = ox * sx, x1 = (ox + 1) * sx;
      double sum[3] = {0, 0, 0}, area = 0;
      // Every source pixel the output pixel covers, weighted by the part covered.
      for (auto y = uint32_t(y0); y < p.height && y < y1; ++y) {
        const double wy = std::min(y1, y + 1.0) - std::max(y0, double(y));
        for (auto x = uint32_t(x0); x < p.width && x < x1; ++x) {
          const double w = wy * (std::min(x1, x + 1.0) - std::max(x0, double(x)));
          const uint8_t* s = &p.rgba[(size_t(y) * p.width + x) * 4];
          const double alpha = s[3] / 255.0;
          for (int c = 0; c < 3; ++c) sum[c] += w * s[c] * alpha;
          area += w;
        }
      }
      uint8_t* d = &out.rgba[(size_t(oy) * width + ox) * 4];
      for (int c = 0; c < 3; ++c) d[c] = uint8_t(area > 0 ? std::min(255.0, sum[c] / area + 0.5) : 0);
      d[3] = 255;
    }
  }
  return out;
}

std::vector<uint8_t> EncodeBmp24(const Picture& p) {
  const uint32_t row = lmx::Bmp24RowBytes(p.width);
  std::vector<uint8_t> b;
  b.reserve(14 + 40 + size_t(row) * p.height);
  lmx::AppendBmp24Headers(b, p.width, p.height);
  for (uint32_t y = p.height; y-- > 0;) {
    const size_t start = b.size();
    for (uint32_t x = 0; x < p.width; ++x) {
      const uint8_t* s = &p.rgba[(size_t(y) * p.width + x) * 4];
      b.insert(b.end(), {s[2], s[1], s[0]});
    }
    b.resize(start + row, 0);
  }
  return b;
}

}  // namespace lmxlib
