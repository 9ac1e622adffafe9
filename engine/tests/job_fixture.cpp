#include "job_fixture.h"

#include <algorithm>
#include <cstdlib>

#include "lmx_render.h"

namespace lmx::engine::test {

namespace {

// Texture 0: a red-dominant gradient with a grid; texture 1: a blue-dominant one. The two
// differ everywhere, so any mix of them shows.
void Paint(std::vector<uint8_t>& pixels, int side, int which) {
  for (int y = 0; y < side; ++y) {
    for (int x = 0; x < side; ++x) {
      uint8_t* p = &pixels[(static_cast<size_t>(y) * side + x) * 4];
      uint8_t ramp = static_cast<uint8_t>(60 + 120 * (x + y) / (2 * side));
      bool line = (x % 8 == 0) || (y % 8 == 0);
      if (which == 0) {
        p[0] = 20; p[1] = line ? 200 : ramp; p[2] = 230;
      } else {
        p[0] = 230; p[1] = line ? 40 : ramp; p[2] = 20;
      }
      p[3] = 255;
    }
  }
}

void Describe(TextureImage& t, uint32_t format, int width, int height, uint8_t* pixels) {
  t.formatCode = format;
  t.width = t.extentWidth = static_cast<uint32_t>(width);
  t.height = t.extentHeight = static_cast<uint32_t>(height);
  t.scaleX = t.scaleY = 1.0f;
  t.pixels = pixels;
  t.bytesPerPixel = 4;
}

}  // namespace

JobFixture::JobFixture(int width, int height, int textureSide)
    : width_(width), height_(height), side_(textureSide), textures_(kPreviewTextures) {
  for (int i = 0; i < kPreviewTextures; ++i) {
    textures_[i].assign(static_cast<size_t>(side_) * side_ * 4, static_cast<uint8_t>(90 + i));
    if (i < 2) Paint(textures_[i], side_, i);
    Describe(job_.textures[i], kTextureFormat, side_, side_, textures_[i].data());
  }
  target_.assign(static_cast<size_t>(std::max(width, 0)) * std::max(height, 0) * 4 + 2 * kGuardBytes, kGuardByte);
  Describe(job_.target, kTargetFormat, width, height, target_.data() + kGuardBytes);
  job_.frameWidth = static_cast<uint32_t>(width);
  job_.frameHeight = static_cast<uint32_t>(height);
  job_.objectCount = 20;
  job_.lastPosition = 19;
}

void JobFixture::SetPosition(int position, int lastPosition) {
  job_.position = position;
  job_.lastPosition = lastPosition;
}

int32_t JobFixture::Render(RenderEntryFn entry) {
  return (entry != nullptr ? entry : &LMX_Render)(&settings_, &job_, 1);
}

int32_t JobFixture::RenderKind(MotionKind kind, uint32_t objectCount, int threads, RenderScratch* scratch) {
  EffectShape shape;
  shape.kind = kind;
  shape.objectCount = objectCount;
  return RenderShape(ReadFrameParams(settings_), shape, job_, nullptr, threads, scratch);
}

int32_t JobFixture::RenderAt(MotionKind kind, int position, int last, uint32_t objectCount) {
  SetPosition(position, last);
  return RenderKind(kind, objectCount);
}

void JobFixture::EveryObject(int column, float value) {
  for (auto& row : settings_.objectValues) row[column] = value;
}

double JobFixture::MeanBrightness(int x0, int x1) const {
  double sum = 0;
  for (int y = 0; y < height_; ++y) {
    for (int x = x0; x < x1; ++x) {
      Rgb8 p = TargetPixel(x, y);
      sum += (p.b + p.g + p.r) / 3.0;
    }
  }
  return sum / (static_cast<double>(x1 - x0) * height_);
}

template <typename OtherFn>
double JobFixture::SumOverPixels(OtherFn other, int tolerance) const {
  double sum = 0;
  for (int y = 0; y < height_; ++y) {
    for (int x = 0; x < width_; ++x) {
      const Rgb8 a = TargetPixel(x, y), b = other(x, y);
      const int d[3] = {std::abs(a.b - b.b), std::abs(a.g - b.g), std::abs(a.r - b.r)};
      sum += tolerance < 0 ? d[0] + d[1] + d[2] : std::max({d[0], d[1], d[2]}) > tolerance;
    }
  }
  return sum;
}

int JobFixture::PixelsDifferingFrom(int texture, int tolerance) const {
  return static_cast<int>(SumOverPixels([&](int x, int y) { return TexturePixelAt(texture, x, y); }, tolerance));
}

int JobFixture::PixelsDifferingFrom(const JobFixture& other, int tolerance) const {
  return static_cast<int>(SumOverPixels([&](int x, int y) { return other.TargetPixel(x, y); }, tolerance));
}

Rgb8 JobFixture::TargetPixel(int x, int y) const {
  const uint8_t* p = &target_[kGuardBytes + (static_cast<size_t>(y) * width_ + x) * 4];
  return {p[0], p[1], p[2]};
}

Rgb8 JobFixture::TexturePixelAt(int texture, int x, int y) const {
  // The texel under the pixel's centre.
  int tx = std::min(side_ - 1, (2 * x + 1) * side_ / (2 * width_));
  int ty = std::min(side_ - 1, (2 * y + 1) * side_ / (2 * height_));
  const uint8_t* p = &textures_[texture][(static_cast<size_t>(ty) * side_ + tx) * 4];
  return {p[0], p[1], p[2]};
}

double JobFixture::MeanDifferenceTo(int texture) const {
  return SumOverPixels([&](int x, int y) { return TexturePixelAt(texture, x, y); }, -1) / (3.0 * width_ * height_);
}

bool JobFixture::GuardsIntact() const {
  size_t end = target_.size();
  for (size_t i = 0; i < kGuardBytes; ++i) {
    if (target_[i] != kGuardByte || target_[end - 1 - i] != kGuardByte) return false;
  }
  return true;
}

void JobFixture::FillTexture(int texture, Rgb8 colour) {
  for (size_t i = 0; i < textures_[texture].size(); i += 4) {
    textures_[texture][i] = colour.b;
    textures_[texture][i + 1] = colour.g;
    textures_[texture][i + 2] = colour.r;
  }
}

void JobFixture::ClearTexture(int texture) {
  TextureImage& t = job_.textures[texture];
  t.formatCode = 0;
  t.width = t.height = t.extentWidth = t.extentHeight = 0;
  t.pixels = nullptr;
}

}  // namespace lmx::engine::test
