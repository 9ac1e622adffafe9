#include "scenes.h"

#include <cmath>

#include "motion_kinds.h"

namespace lmx::bench {

namespace {

// A picture with gradients, a disc and a grid, so that sampling and filtering matter.
std::vector<uint8_t> Picture(int side, int which) {
  std::vector<uint8_t> px(static_cast<size_t>(side) * side * 4);
  for (int y = 0; y < side; ++y) {
    for (int x = 0; x < side; ++x) {
      uint8_t* p = &px[(static_cast<size_t>(y) * side + x) * 4];
      float dx = x - side / 2.0f, dy = y - side / 2.0f;
      bool disc = dx * dx + dy * dy < side * side / 9.0f;
      bool grid = (x % (side / 8) == 0) || (y % (side / 8) == 0);
      int ramp = 40 + 180 * (x + y) / (2 * side);
      if (which == 0) {
        p[2] = static_cast<uint8_t>(disc ? 250 : 200), p[1] = static_cast<uint8_t>(disc ? 220 : ramp),
        p[0] = static_cast<uint8_t>(grid ? 255 : 40);
      } else if (which == 1) {
        p[0] = static_cast<uint8_t>(disc ? 90 : 220), p[1] = static_cast<uint8_t>(ramp),
        p[2] = static_cast<uint8_t>(grid ? 255 : 50);
      } else {
        p[0] = p[1] = p[2] = static_cast<uint8_t>(50 + y * 100 / side);
      }
      p[3] = 255;
    }
  }
  return px;
}

void Special(EffectSettings& s, uint16_t tag, float value) {
  s.specialValues[s.specialCount] = {0, tag, value};
  ++s.specialCount;
}

Scene Typical() {
  Scene s;
  s.name = "typical";
  s.width = s.height = 64;
  s.frames = 20;
  s.shape.kind = MotionKind::Tiles;
  s.shape.objectCount = 1;
  float* g = s.settings.generalValues;
  g[AntiAliasing] = 2, g[BlurPercent] = 50, g[BlurCount] = 3, g[Shadows] = 1;
  Special(s.settings, TagRows, 4);
  Special(s.settings, TagColumns, 4);
  return s;
}

Scene Maximum() {
  Scene s;
  s.name = "maximum";
  s.width = s.height = 128;
  s.frames = 60;
  s.shape.kind = MotionKind::Tiles;
  s.shape.objectCount = 20;
  float* g = s.settings.generalValues;
  g[AntiAliasing] = 8, g[BlurPercent] = 100, g[BlurCount] = 10, g[Shadows] = 1, g[Lighting] = 1;
  g[LightDirection] = 135, g[Quality] = 1, g[ImageQuality] = 1;
  for (auto& row : s.settings.objectValues) {
    row[TrailCount] = 5, row[TrailSpacing] = 3, row[Shine] = 60, row[Luminosity] = 20;
  }
  Special(s.settings, TagRows, 4);
  Special(s.settings, TagColumns, 5);
  return s;
}

Scene Filter() {
  Scene s = Maximum();
  s.name = "filter";
  s.frames = 1;
  s.filterMode = true;
  s.settings.generalValues[FilterFrames] = 100;
  s.settings.generalValues[FilterPercent] = 40;
  return s;
}

int16_t __cdecl NoProgress(int32_t) { return 0; }
int16_t __cdecl NeverStop() { return 0; }

}  // namespace

std::vector<Scene> AllScenes() {
  std::vector<Scene> scenes = {Typical(), Maximum(), Filter()};
  for (Scene& s : scenes) {
    for (int i = 0; i < 3; ++i) s.textures.push_back(Picture(s.width, i));
  }
  return scenes;
}

RenderJob MakeJob(const Scene& scene, std::vector<uint8_t>& target) {
  RenderJob job{};
  job.frameWidth = static_cast<uint32_t>(scene.width);
  job.frameHeight = static_cast<uint32_t>(scene.height);
  job.objectCount = scene.shape.objectCount;
  for (size_t i = 0; i < scene.textures.size(); ++i) {
    TextureImage& t = job.textures[i];
    t.formatCode = kTextureFormat;
    t.width = t.extentWidth = t.height = t.extentHeight = static_cast<uint32_t>(scene.width);
    t.scaleX = t.scaleY = 1;
    t.pixels = const_cast<uint8_t*>(scene.textures[i].data());
    t.bytesPerPixel = 4;
  }
  target.assign(static_cast<size_t>(scene.width) * scene.height * 4, 0);
  TextureImage& t = job.target;
  t.formatCode = kTargetFormat;
  t.width = t.extentWidth = static_cast<uint32_t>(scene.width);
  t.height = t.extentHeight = static_cast<uint32_t>(scene.height);
  t.scaleX = t.scaleY = 1;
  t.pixels = target.data();
  t.bytesPerPixel = 4;
  job.abortCallback = &NeverStop;
  job.progressCallback = scene.filterMode ? &NoProgress : nullptr;
  return job;
}

void SetFrame(const Scene& scene, RenderJob& job, int k) {
  if (scene.filterMode) {
    job.lastPosition = static_cast<int32_t>(scene.settings.generalValues[FilterFrames]);
    job.position = static_cast<int32_t>(scene.settings.generalValues[FilterPercent] / 100 * job.lastPosition);
  } else {
    job.lastPosition = scene.frames - 1;
    job.position = k;
  }
}

}  // namespace lmx::bench
