// Renders a set of scenes (every motion kind, every sample count, the render modes and
// the values that change the picture) and compares them with frames kept in
// engine/tests/reference/: within 1 level in 255 per channel on average and 8 at any
// pixel. The files are binary PPM (P6), the frames of a scene stacked top to bottom.
// LMX_WRITE_REFERENCES=1 rewrites them from this build instead of comparing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "job_fixture.h"

namespace lmx::engine::test {
namespace {

constexpr int kSide = 32;
constexpr int kLast = 19;
constexpr int kPositions[] = {3, 8, 13};
constexpr int kFrames = sizeof(kPositions) / sizeof(kPositions[0]);

struct ReferenceScene {
  const char* name;
  MotionKind kind;
  uint32_t objects;
  std::function<void(EffectSettings&)> setup;
  bool filterMode = false;
};

void Option(EffectSettings& s, uint16_t tag, float value) {
  s.specialValues[s.specialCount++] = {0, tag, value};
}

void EveryObject(EffectSettings& s, int column, float value) {
  for (auto& row : s.objectValues) row[column] = value;
}

int16_t __cdecl QuietProgress(int32_t) { return 0; }

std::vector<ReferenceScene> Scenes() {
  using G = General;
  return {
      {"plane_aa1", MotionKind::Plane, 1, [](EffectSettings& s) { Option(s, TagLift, 60); }},
      {"plane_flyon_bilinear", MotionKind::Plane, 1,
       [](EffectSettings& s) {
         s.generalValues[G::Direction] = 1, s.generalValues[G::ImageQuality] = 1;
         s.generalValues[G::TransitionPeriod] = 60, s.generalValues[G::AntiAliasing] = 2;
       }},
      {"tiles_aa2_blur_shadows", MotionKind::Tiles, 1,
       [](EffectSettings& s) {
         s.generalValues[G::AntiAliasing] = 2, s.generalValues[G::BlurPercent] = 50;
         s.generalValues[G::BlurCount] = 3, s.generalValues[G::Shadows] = 1;
       }},
      {"tiles_maximum", MotionKind::Tiles, 20,
       [](EffectSettings& s) {
         float* g = s.generalValues;
         g[G::AntiAliasing] = 8, g[G::BlurPercent] = 100, g[G::BlurCount] = 10, g[G::Shadows] = 1;
         g[G::Lighting] = 1, g[G::LightDirection] = 135, g[G::Quality] = 1, g[G::ImageQuality] = 1;
         EveryObject(s, TrailCount, 5), EveryObject(s, TrailSpacing, 3);
         EveryObject(s, Shine, 60), EveryObject(s, Luminosity, 20);
         Option(s, TagRows, 4), Option(s, TagColumns, 5);
       }},
      {"tiles2x2_aa4_path", MotionKind::Tiles, 4,
       [](EffectSettings& s) {
         s.generalValues[G::AntiAliasing] = 4;
         Option(s, TagRows, 2), Option(s, TagColumns, 2), Option(s, TagLift, 30);
         EveryObject(s, PathRotation, 90), EveryObject(s, RotatesWithPath, 1);
       }},
      {"tiles_field_aa3", MotionKind::Tiles, 1,
       [](EffectSettings& s) { s.generalValues[G::FrameField] = 1, s.generalValues[G::AntiAliasing] = 3; }},
      {"strips_aa4_lighting", MotionKind::Strips, 1,
       [](EffectSettings& s) {
         s.generalValues[G::AntiAliasing] = 4, s.generalValues[G::Lighting] = 1;
         s.generalValues[G::LightDirection] = 45, s.generalValues[G::Quality] = 1;
         Option(s, TagCurl, 60);
       }},
      {"doors_aa4_flat", MotionKind::Doors, 2,
       [](EffectSettings& s) { s.generalValues[G::AntiAliasing] = 4, s.generalValues[G::RenderMode] = 1; }},
      {"cube_aa4_shadows_lighting", MotionKind::Cube, 1,
       [](EffectSettings& s) {
         s.generalValues[G::AntiAliasing] = 4, s.generalValues[G::Shadows] = 1;
         s.generalValues[G::Lighting] = 1, s.generalValues[G::LightDirection] = 135;
       }},
      {"page_aa4", MotionKind::Page, 1,
       [](EffectSettings& s) { s.generalValues[G::AntiAliasing] = 4, Option(s, TagCurl, 50); }},
      {"page_aa8_pair", MotionKind::Page, 2,
       [](EffectSettings& s) {
         s.generalValues[G::AntiAliasing] = 8, s.generalValues[G::Shadows] = 1, s.generalValues[G::Quality] = 1;
         Option(s, TagCurl, 70);
       }},
      {"shards_aa2_half_transparent", MotionKind::Shards, 1,
       [](EffectSettings& s) { s.generalValues[G::AntiAliasing] = 2, EveryObject(s, Transparency, 50); }},
      {"spiral_wire", MotionKind::Spiral, 1, [](EffectSettings& s) { s.generalValues[G::RenderMode] = 2; }},
      {"tiles_filter_centred", MotionKind::Tiles, 4,
       [](EffectSettings& s) {
         s.generalValues[G::AntiAliasing] = 4, s.generalValues[G::CenterObjects] = 1;
         s.generalValues[G::BlurPercent] = 60, s.generalValues[G::BlurCount] = 4;
         EveryObject(s, ChangePeriod, 40), EveryObject(s, Shine, 50), s.generalValues[G::Lighting] = 1;
       },
       true},
  };
}

std::string ReferencePath(const char* name) { return std::string(LMX_REFERENCE_DIR) + "/" + name + ".ppm"; }

// The scene's frames as RGB rows, top row first, frame after frame.
std::vector<uint8_t> RenderScene(const ReferenceScene& scene) {
  JobFixture f(kSide, kSide);
  scene.setup(f.settings());
  if (scene.filterMode) f.job().progressCallback = &QuietProgress;
  std::vector<uint8_t> rgb;
  for (int position : kPositions) {
    f.SetPosition(position, kLast);
    EXPECT_EQ(f.RenderKind(scene.kind, scene.objects), 0) << scene.name << " at " << position;
    for (int y = kSide - 1; y >= 0; --y) {
      for (int x = 0; x < kSide; ++x) {
        Rgb8 p = f.TargetPixel(x, y);
        rgb.insert(rgb.end(), {p.r, p.g, p.b});
      }
    }
  }
  return rgb;
}

bool WritePpm(const std::string& path, const std::vector<uint8_t>& rgb) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  std::fprintf(file, "P6\n%d %d\n255\n", kSide, kSide * kFrames);
  bool ok = std::fwrite(rgb.data(), 1, rgb.size(), file) == rgb.size();
  return std::fclose(file) == 0 && ok;
}

// The pixels of a P6 file of exactly the scene's size; empty when it is missing or other.
std::vector<uint8_t> ReadPpm(const std::string& path) {
  FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return {};
  int width = 0, height = 0, maxValue = 0;
  std::vector<uint8_t> rgb;
  if (std::fscanf(file, "P6 %d %d %d", &width, &height, &maxValue) == 3 && std::fgetc(file) == '\n' &&
      width == kSide && height == kSide * kFrames && maxValue == 255) {
    rgb.resize(static_cast<size_t>(width) * height * 3);
    if (std::fread(rgb.data(), 1, rgb.size(), file) != rgb.size()) rgb.clear();
  }
  std::fclose(file);
  return rgb;
}

TEST(ReferenceFrames, EveryScene) {
  const char* write = std::getenv("LMX_WRITE_REFERENCES");
  for (const ReferenceScene& scene : Scenes()) {
    std::vector<uint8_t> rendered = RenderScene(scene);
    std::string path = ReferencePath(scene.name);
    if (write != nullptr && write[0] == '1') {
      EXPECT_TRUE(WritePpm(path, rendered)) << path;
      continue;
    }
    std::vector<uint8_t> reference = ReadPpm(path);
    ASSERT_EQ(reference.size(), rendered.size()) << "missing or malformed: " << path;
    const size_t frameBytes = static_cast<size_t>(kSide) * kSide * 3;
    for (int k = 0; k < kFrames; ++k) {
      double sum[3] = {};
      int worst = 0;
      for (size_t i = 0; i < frameBytes; ++i) {
        int d = std::abs(rendered[k * frameBytes + i] - reference[k * frameBytes + i]);
        sum[i % 3] += d;
        worst = std::max(worst, d);
      }
      for (int c = 0; c < 3; ++c) {
        EXPECT_LE(sum[c] / (kSide * kSide), 1.0) << scene.name << " frame " << kPositions[k] << " channel " << c;
      }
      EXPECT_LE(worst, 8) << scene.name << " frame " << kPositions[k];
    }
  }
}

}  // namespace
}  // namespace lmx::engine::test
