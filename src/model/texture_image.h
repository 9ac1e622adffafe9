// The image descriptor that the engine reads: a texture of the preview, or the frame the
// engine renders into. Layout shared byte for byte with LMX.DLL of the same build: 60
// bytes with 32-bit addresses, 64 bytes with 64-bit ones (pixels is an address, so it
// and what follows it move; the fields before it stay where they are).
#pragma once

#include <cstddef>
#include <cstdint>

namespace lmx {

inline constexpr uint32_t kTextureFormat = 0x1102;  // a texture read from a file
inline constexpr uint32_t kTargetFormat = 0x0204;   // the image the engine renders into

// Pixels: height rows of width pixels, 4 bytes each (blue, green, red, alpha), rows
// bottom-up and packed, exactly as a 32-bit uncompressed DIB stores them.
struct TextureImage {
  char name[9];
  uint8_t alignment[3];
  uint32_t formatCode;
  uint32_t width;
  uint32_t height;
  uint32_t extentWidth;
  uint32_t extentHeight;
  float scaleX;
  float scaleY;
  uint8_t* pixels;
  uint32_t ownsPixels;
  uint32_t bytesPerPixel;
  uint8_t reserved[8];
};

// The fields before pixels sit alike in both layouts.
static_assert(offsetof(TextureImage, formatCode) == 12);
static_assert(offsetof(TextureImage, width) == 16);
static_assert(offsetof(TextureImage, height) == 20);
static_assert(offsetof(TextureImage, extentWidth) == 24);
static_assert(offsetof(TextureImage, extentHeight) == 28);
static_assert(offsetof(TextureImage, scaleX) == 32);
static_assert(offsetof(TextureImage, scaleY) == 36);
static_assert(offsetof(TextureImage, pixels) == 40);
#if UINTPTR_MAX == 0xFFFFFFFFu
static_assert(sizeof(TextureImage) == 60);
static_assert(offsetof(TextureImage, ownsPixels) == 44);
static_assert(offsetof(TextureImage, bytesPerPixel) == 48);
static_assert(offsetof(TextureImage, reserved) == 52);
#elif UINTPTR_MAX == 0xFFFFFFFFFFFFFFFFu
static_assert(sizeof(TextureImage) == 64);
static_assert(offsetof(TextureImage, ownsPixels) == 48);
static_assert(offsetof(TextureImage, bytesPerPixel) == 52);
static_assert(offsetof(TextureImage, reserved) == 56);
#else
#error "TextureImage has a layout for 32-bit and 64-bit addresses only"
#endif

}  // namespace lmx
