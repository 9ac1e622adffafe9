#include "final_render.h"

#include <algorithm>
#include <cstring>

namespace lmx::host {
namespace {

// The backdrop behind the pieces of effects that show one: a host has only its two clips,
// so it is black.
const uint8_t kBlack[4] = {0, 0, 0, 255};

// Rows of 4-byte pixels in the other order: top first to bottom first, and back.
std::vector<uint8_t> FlipRows(const std::vector<uint8_t>& pixels, int width, int height) {
  const size_t row = size_t(width) * 4;
  std::vector<uint8_t> out(pixels.size());
  for (int y = 0; y < height; ++y)
    std::memcpy(&out[size_t(height - 1 - y) * row], &pixels[size_t(y) * row], row);
  return out;
}

TextureImage Picture(const uint8_t* pixels, int width, int height, uint32_t format) {
  TextureImage t{};
  t.formatCode = format;
  t.width = t.extentWidth = uint32_t(width);
  t.height = t.extentHeight = uint32_t(height);
  t.scaleX = t.scaleY = 1.0f;
  t.pixels = const_cast<uint8_t*>(pixels);
  t.bytesPerPixel = 4;
  return t;
}

}  // namespace

FinalRender::FinalRender(const Image& clipA, const Image& clipB, int width, int height, int frames,
                         ProgressCallbackFn progress) {
  const Image* clips[2] = {&clipA, &clipB};
  for (int i = 0; i < 2; ++i) {
    clips_[i] = FlipRows(clips[i]->bgrx, clips[i]->width, clips[i]->height);
    job_.textures[i] = Picture(clips_[i].data(), clips[i]->width, clips[i]->height, kTextureFormat);
  }
  job_.textures[2] = Picture(kBlack, 1, 1, kTextureFormat);
  target_.assign(size_t(width) * size_t(height) * 4, 0);
  job_.target = Picture(target_.data(), width, height, kTargetFormat);
  job_.frameWidth = uint32_t(width);
  job_.frameHeight = uint32_t(height);
  // The engine takes the object count from the effect's file.
  job_.objectCount = 0;
  // A single frame is the start of the transition.
  job_.lastPosition = std::max(frames - 1, 1);
  job_.progressCallback = progress;
}

RenderJob* FinalRender::Frame(int k) {
  job_.position = k;
  return &job_;
}

Image FinalRender::Target() const {
  Image image;
  image.width = int(job_.target.width);
  image.height = int(job_.target.height);
  image.bgrx = FlipRows(target_, image.width, image.height);
  return image;
}

}  // namespace lmx::host
