#include "image.h"

#include <fstream>

#include "model/bmp24.h"

namespace lmx::host {

uint64_t Fingerprint(const Image& image) {
  uint64_t h = 1469598103934665603ull;  // FNV-1a
  auto mix = [&h](uint64_t v) {
    h ^= v;
    h *= 1099511628211ull;
  };
  mix(static_cast<uint32_t>(image.width));
  mix(static_cast<uint32_t>(image.height));
  for (size_t i = 0; i + 3 < image.bgrx.size(); i += 4) {
    mix(image.bgrx[i]);
    mix(image.bgrx[i + 1]);
    mix(image.bgrx[i + 2]);
  }
  return h;
}

bool IsPlain(const Image& image, int inset) {
  if (image.width <= 2 * inset || image.height <= 2 * inset) return true;
  const uint8_t* first = &image.bgrx[(static_cast<size_t>(inset) * image.width + inset) * 4];
  const uint8_t b = first[0], g = first[1], r = first[2];
  for (int y = inset; y < image.height - inset; ++y) {
    for (int x = inset; x < image.width - inset; ++x) {
      const uint8_t* p = &image.bgrx[(static_cast<size_t>(y) * image.width + x) * 4];
      if (p[0] != b || p[1] != g || p[2] != r) return false;
    }
  }
  return true;
}

bool WriteBmp24(const std::string& path, const Image& image) {
  if (image.empty() || image.bgrx.size() != static_cast<size_t>(image.width) * image.height * 4) return false;
  const uint32_t rowBytes = Bmp24RowBytes(static_cast<uint32_t>(image.width));
  std::vector<uint8_t> out;
  out.reserve(54 + static_cast<size_t>(rowBytes) * static_cast<uint32_t>(image.height));
  AppendBmp24Headers(out, static_cast<uint32_t>(image.width), static_cast<uint32_t>(image.height));
  for (int y = image.height - 1; y >= 0; --y) {
    const uint8_t* row = &image.bgrx[static_cast<size_t>(y) * image.width * 4];
    for (int x = 0; x < image.width; ++x) {
      out.push_back(row[x * 4]);
      out.push_back(row[x * 4 + 1]);
      out.push_back(row[x * 4 + 2]);
    }
    for (uint32_t pad = static_cast<uint32_t>(image.width) * 3; pad < rowBytes; ++pad) out.push_back(0);
  }
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  if (!file) return false;
  file.write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size()));
  return static_cast<bool>(file.flush());
}

}  // namespace lmx::host
