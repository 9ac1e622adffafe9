#include "scenes.h"

#include <algorithm>
#include <cmath>

#include "motion_kinds.h"

namespace lmx::bench {

namespace {

// A picture with gradients, a disc and a grid, so that sampling and filtering matter.
std::vector<uint8_t> Picture(int width, int height, int which) {
  std::vector<uint8_t> px(static_cast<size_t>(width) * height * 4);
  const int side = std::min(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      uint8_t* p = &px[(static_cast<size_t>(y) * width + x) * 4];
      float dx = x - width / 2.0f, dy = y - height / 2.0f;
      bool disc = dx * dx + dy * dy < side * side / 9.0f;
      bool grid = (x % (side / 8) == 0) || (y % (side / 8) == 0);
      int ramp = 40 + 180 * (x + y) / (width + height);
      if (which == 0) {
        p[2] = static_cast<uint8_t>(disc ? 250 : 200), p[1] = static_cast<uint8_t>(disc ? 220 : ramp),
        p[0] = static_cast<uint8_t>(grid ? 255 : 40);
      } else if (which == 1) {
        p[0] = static_cast<uint8_t>(disc ? 90 : 220), p[1] = static_cast<uint8_t>(ramp),
        p[2] = static_cast<uint8_t>(grid ? 255 : 50);
      } else {
        p[0] = p[1] = p[2] = static_cast<uint8_t>(50 + y * 100 / height);
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

// A host's final render of one frame of a transition between two clips: a TILES4X4-like
// filter frame at anti-aliasing 4, lit, with shadows, over clips of the frame's size.
Scene Video(const char* name, int width, int height) {
  Scene s;
  s.name = name;
  s.width = width, s.height = height;
  s.frames = 1;
  s.filterMode = true;
  s.shape.kind = MotionKind::Tiles;
  s.shape.objectCount = 1;
  float* g = s.settings.generalValues;
  g[AntiAliasing] = 4, g[Shadows] = 1, g[Lighting] = 1, g[LightDirection] = 135, g[ImageQuality] = 1;
  g[FilterFrames] = 100, g[FilterPercent] = 40;
  Special(s.settings, TagRows, 4);
  Special(s.settings, TagColumns, 4);
  return s;
}

int16_t __cdecl NoProgress(int32_t) { return 0; }
int16_t __cdecl NeverStop() { return 0; }

}  // namespace

std::vector<Scene> Scenes(const std::string& only) {
  std::vector<Scene> scenes;
  if (only.empty()) {
    scenes = {Typical(), Maximum(), Filter()};
  } else {
    for (Scene s : {Typical(), Maximum(), Filter(), Video("720p", 1280, 720), Video("hd", 1920, 1080),
                    Video("1440p", 2560, 1440), Video("uhd", 3840, 2160)}) {
      if (s.name == only) scenes.push_back(s);
    }
  }
  for (Scene& s : scenes) {
    for (int i = 0; i < 3; ++i) s.textures.push_back(Picture(s.width, s.height, i));
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
    t.width = t.extentWidth = static_cast<uint32_t>(scene.width);
    t.height = t.extentHeight = static_cast<uint32_t>(scene.height);
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
