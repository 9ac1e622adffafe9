// Renders a set of scenes (every motion kind, every sample count, the render modes and
// the values that change the picture) and compares them with frames kept in
// engine/tests/reference/: within 1 level in 255 per channel on average and 8 at any
// pixel. The files are binary PPM (P6), the frames of a scene stacked top to bottom.
// LMX_WRITE_REFERENCES=1 rewrites them from this build instead of comparing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "job_fixture.h"

namespace lmx::engine::test {
namespace {

constexpr int kSide = 32;
constexpr int kLast = 19;
constexpr int kPositions[] = {3, 8, 13};
constexpr int kFrames = sizeof(kPositions) / sizeof(kPositions[0]);

using Values = std::vector<std::pair<int, float>>;

// General values, values of every object, and the effect's options in their order.
struct ReferenceScene {
  const char* name;
  MotionKind kind;
  uint32_t objects;
  Values general, everyObject, options;
  bool filterMode = false;
};

std::vector<ReferenceScene> Scenes() {
  using K = MotionKind;
  return {
      {"plane_aa1", K::Plane, 1, {}, {}, {{TagLift, 60}}},
      {"plane_flyon_bilinear", K::Plane, 1,
       {{Direction, 1}, {ImageQuality, 1}, {TransitionPeriod, 60}, {AntiAliasing, 2}}, {}, {}},
      {"tiles_aa2_blur_shadows", K::Tiles, 1, {{AntiAliasing, 2}, {BlurPercent, 50}, {BlurCount, 3}, {Shadows, 1}}, {}, {}},
      {"tiles_maximum", K::Tiles, 20,
       {{AntiAliasing, 8}, {BlurPercent, 100}, {BlurCount, 10}, {Shadows, 1}, {Lighting, 1}, {LightDirection, 135},
        {Quality, 1}, {ImageQuality, 1}},
       {{TrailCount, 5}, {TrailSpacing, 3}, {Shine, 60}, {Luminosity, 20}},
       {{TagRows, 4}, {TagColumns, 5}}},
      {"tiles2x2_aa4_path", K::Tiles, 4, {{AntiAliasing, 4}}, {{PathRotation, 90}, {RotatesWithPath, 1}},
       {{TagRows, 2}, {TagColumns, 2}, {TagLift, 30}}},
      {"tiles_field_aa3", K::Tiles, 1, {{FrameField, 1}, {AntiAliasing, 3}}, {}, {}},
      {"strips_aa4_lighting", K::Strips, 1, {{AntiAliasing, 4}, {Lighting, 1}, {LightDirection, 45}, {Quality, 1}}, {},
       {{TagCurl, 60}}},
      {"doors_aa4_flat", K::Doors, 2, {{AntiAliasing, 4}, {RenderMode, 1}}, {}, {}},
      {"cube_aa4_shadows_lighting", K::Cube, 1,
       {{AntiAliasing, 4}, {Shadows, 1}, {Lighting, 1}, {LightDirection, 135}}, {}, {}},
      {"page_aa4", K::Page, 1, {{AntiAliasing, 4}}, {}, {{TagCurl, 50}}},
      {"page_aa8_pair", K::Page, 2, {{AntiAliasing, 8}, {Shadows, 1}, {Quality, 1}}, {}, {{TagCurl, 70}}},
      {"shards_aa2_half_transparent", K::Shards, 1, {{AntiAliasing, 2}}, {{Transparency, 50}}, {}},
      {"spiral_wire", K::Spiral, 1, {{RenderMode, 2}}, {}, {}},
      {"tiles_filter_centred", K::Tiles, 4,
       {{AntiAliasing, 4}, {CenterObjects, 1}, {BlurPercent, 60}, {BlurCount, 4}, {Lighting, 1}},
       {{ChangePeriod, 40}, {Shine, 50}}, {}, true},
  };
}

std::string ReferencePath(const char* name) { return std::string(LMX_REFERENCE_DIR) + "/" + name + ".ppm"; }

// The scene's frames as RGB rows, top row first, frame after frame.
std::vector<uint8_t> RenderScene(const ReferenceScene& scene) {
  JobFixture f(kSide, kSide);
  for (auto [index, value] : scene.general) f.general(index) = value;
  for (auto [column, value] : scene.everyObject) f.EveryObject(column, value);
  for (auto [tag, value] : scene.options) {
    f.settings().specialValues[f.settings().specialCount++] = {0, static_cast<uint16_t>(tag), value};
  }
  if (scene.filterMode) f.job().progressCallback = &QuietProgress;
  std::vector<uint8_t> rgb;
  for (int position : kPositions) {
    EXPECT_EQ(f.RenderAt(scene.kind, position, kLast, scene.objects), 0) << scene.name << " at " << position;
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
  std::ofstream out(path, std::ios::binary);
  out << "P6\n" << kSide << ' ' << kSide * kFrames << "\n255\n";
  return static_cast<bool>(out.write(reinterpret_cast<const char*>(rgb.data()), std::streamsize(rgb.size())).flush());
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
