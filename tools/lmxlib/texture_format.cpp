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

namespace {

// A texture being read by the product's reader, record by record.
class ReadTexture {
 public:
  ReadTexture() { lmx::ConstructTexture(&image_); }
  ~ReadTexture() { lmx::DestroyTexture(&image_); }
  ReadTexture(const ReadTexture&) = delete;
  ReadTexture& operator=(const ReadTexture&) = delete;

  void Apply(const WalkRecord& r) { lmx::ApplyTextureRecord(&image_, lmx::ChunkRecord{r.tag, r.length, r.data}); }
  bool HasPixels() const { return image_.pixels != nullptr; }
  uint32_t width() const { return image_.width; }
  uint32_t height() const { return image_.height; }
  uint64_t PixelBytes() const { return uint64_t(image_.width) * image_.height * 4; }
  const uint8_t* pixels() const { return image_.pixels; }

 private:
  lmx::TextureImage image_;
};

// Why the reader left a "TDAT" aside, for a texture that has no pixels yet.
std::string IgnoredPixelsReason(const ReadTexture& t, const WalkRecord& r, bool sawWidth, bool sawHeight) {
  if (!sawWidth || !sawHeight) return "pixels come before the width and height; readers ignore them";
  if (t.width() == 0 || t.height() == 0) return "pixels for an image of size 0";
  if (t.width() > lmx::kMaxReadTextureSide || t.height() > lmx::kMaxReadTextureSide)
    return "a side above 16384 pixels; readers ignore the pixels";
  return std::to_string(r.length) + " bytes of pixels; " + std::to_string(t.width()) + " x " +
         std::to_string(t.height()) + " x 4 is " + std::to_string(t.PixelBytes()) + "; readers ignore them";
}

}  // namespace

std::vector<uint8_t> TexturePixelsOf(const Walk& walk, uint32_t* width, uint32_t* height) {
  ReadTexture t;
  for (const WalkRecord& r : walk.records) t.Apply(r);
  *width = *height = 0;
  if (!t.HasPixels()) return {};
  *width = t.width();
  *height = t.height();
  return std::vector<uint8_t>(t.pixels(), t.pixels() + t.PixelBytes());
}

Report DecodeTexture(const Walk& walk) {
  Report rep;
  rep.kind = "texture";
  ReadTexture t;
  bool sawWidth = false, sawHeight = false;
  for (const WalkRecord& r : walk.records) {
    const std::string here = TagName(r.tag) + " " + At(r.offset);
    const bool hadPixels = t.HasPixels();
    t.Apply(r);
    std::string text;
    if (r.tag == FourCC("TWID") || r.tag == FourCC("THIT")) {
      const bool isWidth = r.tag == FourCC("TWID");
      if (NeedU32(r, isWidth ? "width" : "height", &rep)) {
        (isWidth ? sawWidth : sawHeight) = true;
        text = (isWidth ? "width " : "height ") + std::to_string(lmx::LoadU32(r.data));
        if (hadPixels) rep.problems.push_back(here + ": comes after the pixels; readers keep the size they had");
      }
    } else if (r.tag == FourCC("TDAT")) {
      text = std::to_string(r.length) + " bytes of pixels";
      if (hadPixels)
        rep.problems.push_back(here + ": a second block of pixels; readers keep the first");
      else if (!t.HasPixels())
        rep.problems.push_back(here + ": " + IgnoredPixelsReason(t, r, sawWidth, sawHeight));
      else if (r.length != t.PixelBytes())
        rep.problems.push_back(here + ": " + std::to_string(r.length) + " bytes of pixels; " + std::to_string(t.width()) +
                               " x " + std::to_string(t.height()) + " x 4 is " + std::to_string(t.PixelBytes()) +
                               "; readers take the first " + std::to_string(t.PixelBytes()));
    } else {
      text = "unknown tag, ignored by readers";
    }
    rep.lines.push_back({r.offset, r.tag, r.length, text});
  }
  AddWalkEnd(walk, &rep);
  Json content;
  content["width"] = t.HasPixels() ? t.width() : 0;
  content["height"] = t.HasPixels() ? t.height() : 0;
  if (t.HasPixels()) {
    const uint64_t need = t.PixelBytes();
    uint64_t sum[4] = {0, 0, 0, 0};
    for (uint64_t i = 0; i < need; ++i) sum[i % 4] += t.pixels()[i];
    const uint64_t n = need / 4;
    content["averageBGRA"] = {sum[0] / n, sum[1] / n, sum[2] / n, sum[3] / n};
    content["firstRowFirstPixelBGRA"] = {t.pixels()[0], t.pixels()[1], t.pixels()[2], t.pixels()[3]};
  } else {
    rep.problems.push_back("no pixels (TDAT) that readers can use: they give an empty image");
  }
  rep.content = content;
  return rep;
}

}  // namespace lmxlib
