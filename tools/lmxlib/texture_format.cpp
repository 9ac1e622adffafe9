#include "lmxlib/texture_format.h"

#include <cstring>
#include <memory>

#include "common/chunk_writer.h"
#include "library/bytes.h"

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_ONLY_BMP
#if defined(__clang__)
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Weverything"
#elif defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wall"
#pragma GCC diagnostic ignored "-Wextra"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wunused-function"
#endif
#include <stb/stb_image.h>
#if defined(__clang__)
#pragma clang diagnostic pop
#elif defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

namespace lmxlib {

using lmx::FourCC;

namespace {

struct StbFree {
  void operator()(unsigned char* p) const { stbi_image_free(p); }
};

}  // namespace

std::string PictureFormat(const std::vector<uint8_t>& b) {
  auto starts = [&](const char* magic, size_t n) { return b.size() >= n && std::memcmp(b.data(), magic, n) == 0; };
  if (starts("\x89PNG\r\n\x1a\n", 8)) return "PNG";
  if (starts("BM", 2)) return "BMP";
  if (starts("\xff\xd8\xff", 3)) return "JPEG";
  if (starts("GIF8", 4)) return "GIF";
  if (starts("II*\0", 4) || starts("MM\0*", 4)) return "TIFF";
  if (starts("RIFF", 4) && b.size() >= 12 && std::memcmp(b.data() + 8, "WEBP", 4) == 0) return "WebP";
  if (starts("8BPS", 4)) return "Photoshop";
  if (b.size() >= 12 && std::memcmp(b.data() + 4, "ftyp", 4) == 0) return "HEIF or AVIF";
  return "";
}

Picture DecodePicture(const std::vector<uint8_t>& bytes) {
  const std::string format = PictureFormat(bytes);
  if (format != "PNG" && format != "BMP")
    throw SourceError((format.empty() ? std::string("not a picture lmxlib knows") : "a " + format + " picture") +
                      "; lmxlib reads PNG and BMP pictures (convert it to PNG first)");
  if (bytes.size() > size_t(0x7FFFFFFF)) throw SourceError("picture file too large");
  int w = 0, h = 0, channels = 0;
  std::unique_ptr<unsigned char, StbFree> data(
      stbi_load_from_memory(bytes.data(), int(bytes.size()), &w, &h, &channels, 4));
  if (!data) throw SourceError("a damaged or unsupported " + format + " picture (" + stbi_failure_reason() + ")");
  if (w <= 0 || h <= 0 || uint32_t(w) > kMaxTextureSide || uint32_t(h) > kMaxTextureSide)
    throw SourceError("picture of " + std::to_string(w) + " x " + std::to_string(h) +
                      " pixels; lmxlib takes 1 to 2048 pixels on each side");
  Picture p;
  p.width = uint32_t(w);
  p.height = uint32_t(h);
  p.rgba.assign(data.get(), data.get() + size_t(w) * size_t(h) * 4);
  return p;
}

std::vector<uint8_t> TexturePixels(const Picture& p) {
  std::vector<uint8_t> out(size_t(p.width) * p.height * 4);
  for (uint32_t y = 0; y < p.height; ++y) {
    const uint8_t* src = p.rgba.data() + size_t(p.height - 1 - y) * p.width * 4;
    uint8_t* dst = out.data() + size_t(y) * p.width * 4;
    for (uint32_t x = 0; x < p.width; ++x) {
      dst[4 * x + 0] = src[4 * x + 2];
      dst[4 * x + 1] = src[4 * x + 1];
      dst[4 * x + 2] = src[4 * x + 0];
      dst[4 * x + 3] = src[4 * x + 3];
    }
  }
  return out;
}

std::vector<uint8_t> EncodeTexture(const Picture& p) {
  lmx::ChunkWriter w(kTextureHeader);
  w.U32(FourCC("TWID"), p.width).U32(FourCC("THIT"), p.height).Record(FourCC("TDAT"), TexturePixels(p));
  return w.bytes();
}

std::vector<uint8_t> TexturePixelsOf(const Walk& walk, uint32_t* width, uint32_t* height) {
  uint32_t w = 0, h = 0;
  std::vector<uint8_t> pixels;
  for (const WalkRecord& r : walk.records) {
    if (r.tag == FourCC("TWID") && r.length >= 4) w = lmx::LoadU32(r.data);
    if (r.tag == FourCC("THIT") && r.length >= 4) h = lmx::LoadU32(r.data);
    if (r.tag == FourCC("TDAT")) {
      uint64_t need = uint64_t(w) * h * 4;
      if (need != 0 && r.length >= need) pixels.assign(r.data, r.data + need);
      *width = w;
      *height = h;
    }
  }
  return pixels;
}

Report DecodeTexture(const Walk& walk) {
  Report rep;
  rep.kind = "texture";
  uint32_t w = 0, h = 0;
  bool sawWidth = false, sawHeight = false;
  int dataCount = 0;
  Json content;
  for (const WalkRecord& r : walk.records) {
    const std::string here = TagName(r.tag) + " " + At(r.offset);
    std::string text;
    if (r.tag == FourCC("TWID")) {
      if (NeedU32(r, "width", &rep)) {
        w = lmx::LoadU32(r.data);
        sawWidth = true;
        text = "width " + std::to_string(w);
      }
    } else if (r.tag == FourCC("THIT")) {
      if (NeedU32(r, "height", &rep)) {
        h = lmx::LoadU32(r.data);
        sawHeight = true;
        text = "height " + std::to_string(h);
      }
    } else if (r.tag == FourCC("TDAT")) {
      ++dataCount;
      const uint64_t need = uint64_t(w) * h * 4;
      text = std::to_string(r.length) + " bytes of pixels";
      if (!sawWidth || !sawHeight) rep.problems.push_back(here + ": pixels come before the width and height");
      if (dataCount == 2) rep.problems.push_back(here + ": a second block of pixels");
      if (need == 0)
        rep.problems.push_back(here + ": pixels for an image of size 0");
      else if (r.length != need)
        rep.problems.push_back(here + ": " + std::to_string(r.length) + " bytes of pixels; " + std::to_string(w) +
                               " x " + std::to_string(h) + " x 4 is " + std::to_string(need));
      content["width"] = w;
      content["height"] = h;
      if (need != 0 && r.length >= need) {
        uint64_t sum[4] = {0, 0, 0, 0};
        for (uint64_t i = 0; i < need; ++i) sum[i % 4] += r.data[i];
        const uint64_t n = need / 4;
        content["averageBGRA"] = {sum[0] / n, sum[1] / n, sum[2] / n, sum[3] / n};
        content["firstRowFirstPixelBGRA"] = {r.data[0], r.data[1], r.data[2], r.data[3]};
      }
    } else {
      text = "unknown tag, ignored by readers";
    }
    rep.lines.push_back({r.offset, r.tag, r.length, text});
  }
  AddWalkEnd(walk, &rep);
  if (dataCount == 0) {
    rep.problems.push_back("no pixels (TDAT): readers give an empty image");
    content["width"] = 0;
    content["height"] = 0;
  }
  rep.content = content;
  return rep;
}

}  // namespace lmxlib
