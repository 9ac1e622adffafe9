// Texture files (.LMT) and the pictures they are built from. Pixels in a texture are
// 4 bytes each, blue, green, red, alpha, rows bottom-up without gaps: the layout of a
// 32-bit uncompressed DIB, which is what the engine reads.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "library/bytes.h"

#include "lmxlib/report.h"

namespace lmxlib {

inline constexpr uint32_t kTextureHeader = lmx::FourCC("LMXT");
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
// Reads a texture as the product does: "TWID" and "THIT" set the size, "TDAT" takes
// width x height x 4 bytes with the size in force at that moment.
Report DecodeTexture(const Walk& walk);
// The pixels of the last usable "TDAT", or empty; width and height as read.
std::vector<uint8_t> TexturePixelsOf(const Walk& walk, uint32_t* width, uint32_t* height);

}  // namespace lmxlib
