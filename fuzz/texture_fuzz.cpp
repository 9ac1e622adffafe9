#include <cstddef>
#include <cstdint>

#include "library/texture_reader.h"

// Each input is a texture file. A texture read with pixels holds exactly width x height
// x 4 readable bytes within the side limit; one read without holds no size at all.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  lmx::TextureImage image;
  lmx::ConstructTexture(&image);
  const int read = lmx::ReadTextureBytes(&image, data, size, "FUZZ");
  if (read == 1) {
    if (!image.pixels || !image.ownsPixels || image.width == 0 || image.height == 0) __builtin_trap();
    if (image.width > lmx::kMaxReadTextureSide || image.height > lmx::kMaxReadTextureSide) __builtin_trap();
    if (image.bytesPerPixel != 4 || image.formatCode != lmx::kTextureFormat) __builtin_trap();
    volatile uint32_t sum = 0;
    const uint64_t bytes = uint64_t(image.width) * image.height * 4;
    for (uint64_t i = 0; i < bytes; ++i) sum += image.pixels[i];  // every byte lies in the buffer
    (void)sum;
  } else if (read != 0 || image.pixels || image.width != 0 || image.height != 0) {
    __builtin_trap();
  }
  lmx::DestroyTexture(&image);
  return 0;
}
