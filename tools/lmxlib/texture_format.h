// Texture files (.LMT) and the pictures they are built from. Pixels in a texture are
// 4 bytes each, blue, green, red, alpha, rows bottom-up without gaps: the layout of a
// 32-bit uncompressed DIB, which is what the engine reads.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "library/texture_reader.h"

#include "lmxlib/report.h"

namespace lmxlib {

using lmx::kTextureHeader;
// The largest picture the tool turns into a texture (its pixels must fit one record).
inline constexpr uint32_t kMaxTextureSide = 2048;

// A decoded picture: rows top-down, 4 bytes per pixel in the order red, green, blue, alpha.
struct Picture {
  uint32_t width = 0;
  uint32_t height = 0;
  std::vector<uint8_t> rgba;
};

// "PNG", "BMP", "JPEG", "GIF" and other picture formats by their first bytes; "" when
// the bytes are no picture known here.
std::string PictureFormat(const std::vector<uint8_t>& bytes);
// Decodes a PNG or a BMP file's bytes; throws SourceError saying what the bytes are
// otherwise, or the decoder's reason.
Picture DecodePicture(const std::vector<uint8_t>& bytes);
std::vector<uint8_t> TexturePixels(const Picture& picture);  // BGRA, bottom-up
std::vector<uint8_t> EncodeTexture(const Picture& picture);
// Reads a texture through the product's own reader ("TWID" and "THIT" set the size, the
// first usable "TDAT" takes width x height x 4 bytes and freezes the size) and lists
// every record the reader ignores or cuts.
Report DecodeTexture(const Walk& walk);
// The pixels the product reads, or empty; width and height of the image read (0 and 0
// without pixels).
std::vector<uint8_t> TexturePixelsOf(const Walk& walk, uint32_t* width, uint32_t* height);

}  // namespace lmxlib
