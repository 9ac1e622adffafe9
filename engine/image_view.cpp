#include "image_view.h"

namespace lmx::engine {

namespace {

// bytesPerPixel 0 is taken as 4: the layout of every image handed over is 4 bytes per
// pixel, and an image built without that field still has it.
bool Sane(const TextureImage& image) {
  return image.pixels != nullptr && image.width > 0 && image.height > 0 &&
         image.width <= kMaxImageSide && image.height <= kMaxImageSide &&
         (image.bytesPerPixel == 4 || image.bytesPerPixel == 0);
}

}  // namespace

ImageView ViewTexture(const TextureImage& image) {
  if (!Sane(image)) return {};
  return {image.pixels, static_cast<int>(image.width), static_cast<int>(image.height)};
}

TargetView ViewTarget(const TextureImage& image) {
  if (!Sane(image)) return {};
  return {image.pixels, static_cast<int>(image.width), static_cast<int>(image.height)};
}

}  // namespace lmx::engine
