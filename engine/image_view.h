// Checked views of the images in a RenderJob. A texture or target is used only when its
// sizes are sane and it has pixels; the views never reach outside width x height x 4.
#pragma once

#include <cstdint>

#include "model/texture_image.h"

namespace lmx::engine {

inline constexpr uint32_t kMaxImageSide = 4096;

// Pixels of 4 bytes (B, G, R, A), rows bottom-up and packed.
struct ImageView {
  const uint8_t* pixels = nullptr;
  int width = 0;
  int height = 0;
  bool valid() const { return pixels != nullptr; }
};

struct TargetView {
  uint8_t* pixels = nullptr;
  int width = 0;
  int height = 0;
  bool valid() const { return pixels != nullptr; }
};

// An empty view for an empty texture, a missing pixel buffer, sizes of 0 or above
// kMaxImageSide, or a pixel size other than 4 bytes.
ImageView ViewTexture(const TextureImage& image);
TargetView ViewTarget(const TextureImage& image);

}  // namespace lmx::engine
