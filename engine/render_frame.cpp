#include "render_frame.h"

#include <algorithm>
#include <cmath>

#include "frame_params.h"
#include "image_view.h"

namespace lmx::engine {

namespace {

struct Rgb {
  float b, g, r;
};

// A texture sampled at (u, v) in [0, 1]^2, v upwards; a missing texture gives a
// checker pattern in the fallback colour so that the motion stays visible.
Rgb Sample(const ImageView& image, float u, float v, Rgb fallback) {
  if (!image.valid()) {
    bool dark = ((static_cast<int>(std::floor(u * 4)) + static_cast<int>(std::floor(v * 4))) & 1) != 0;
    float k = dark ? 0.6f : 1.0f;
    return {fallback.b * k, fallback.g * k, fallback.r * k};
  }
  int x = std::clamp(static_cast<int>(u * image.width), 0, image.width - 1);
  int y = std::clamp(static_cast<int>(v * image.height), 0, image.height - 1);
  const uint8_t* p = image.pixels + (static_cast<size_t>(y) * image.width + x) * 4;
  return {static_cast<float>(p[0]), static_cast<float>(p[1]), static_cast<float>(p[2])};
}

bool Stopped(const RenderJob& job) { return job.abortCallback != nullptr && job.abortCallback() != 0; }

}  // namespace

int32_t RenderFrame(const EffectSettings& settings, const RenderJob& job) {
  TargetView target = ViewTarget(job.target);
  if (!target.valid()) return kNoTarget;
  FrameParams params = ReadFrameParams(settings);
  if (Stopped(job)) return kStopped;
  if (job.progressCallback != nullptr) job.progressCallback(0);

  float t = 0;
  if (job.lastPosition > 0) t = std::clamp(static_cast<float>(job.position) / job.lastPosition, 0.0f, 1.0f);
  ImageView outgoing = ViewTexture(job.textures[0]);
  ImageView incoming = ViewTexture(job.textures[1]);
  ImageView moving = params.flyOn ? incoming : outgoing;
  ImageView still = params.flyOn ? outgoing : incoming;
  Rgb movingColour = params.flyOn ? Rgb{40, 140, 230} : Rgb{230, 120, 40};
  Rgb stillColour = params.flyOn ? Rgb{230, 120, 40} : Rgb{40, 140, 230};
  float away = params.flyOn ? 1.0f - t : t;  // 0: the moving plane covers the frame

  // The moving plane turns about the vertical axis while it recedes and slides away.
  const float eye = 2.0f;  // the viewer at z = -eye; the picture plane z = 0 fills the frame
  float angle = away * 2.0f;
  float c = std::cos(angle), s = std::sin(angle);
  float tx = 3.5f * away * away, ty = 0.8f * away, tz = 5.0f * away;

  for (int y = 0; y < target.height; ++y) {
    if ((y & 15) == 15 && Stopped(job)) return kStopped;
    uint8_t* row = target.pixels + static_cast<size_t>(y) * target.width * 4;
    for (int x = 0; x < target.width; ++x) {
      float sx = (x + 0.5f) / target.width * 2 - 1;
      float sy = (y + 0.5f) / target.height * 2 - 1;
      // The ray from the eye through (sx, sy, 0), in the plane's own frame.
      float ox = -tx, oy = -ty, oz = -eye - tz;
      float dx = sx, dy = sy, dz = eye;
      float lox = c * ox - s * oz, loz = s * ox + c * oz;
      float ldx = c * dx - s * dz, ldz = s * dx + c * dz;
      Rgb colour = Sample(still, (sx + 1) / 2, (sy + 1) / 2, stillColour);
      if (std::fabs(ldz) > 1e-6f) {
        float k = -loz / ldz;
        float px = lox + k * ldx, py = oy + k * dy;
        if (k > 0 && px >= -1 && px <= 1 && py >= -1 && py <= 1) {
          float shade = 0.55f + 0.45f * std::fabs(c);
          Rgb m = Sample(moving, (px + 1) / 2, (py + 1) / 2, movingColour);
          colour = {m.b * shade, m.g * shade, m.r * shade};
        }
      }
      uint8_t* p = row + static_cast<size_t>(x) * 4;
      p[0] = static_cast<uint8_t>(std::clamp(colour.b, 0.0f, 255.0f));
      p[1] = static_cast<uint8_t>(std::clamp(colour.g, 0.0f, 255.0f));
      p[2] = static_cast<uint8_t>(std::clamp(colour.r, 0.0f, 255.0f));
      p[3] = 0;
    }
    if (job.progressCallback != nullptr) job.progressCallback((y + 1) * 100 / target.height);
  }
  return kRendered;
}

}  // namespace lmx::engine
