// lmxlib preview: the GIF writer read back by an independent decoder, the settings an
// author can give, and whole previews through the engine.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <set>
#include <tuple>

#include "lmxlib/gif_writer.h"
#include "lmxlib/preview_settings.h"
#include "motion_kinds.h"
#include "test_util.h"

// stb_image compiled here alone, with its GIF reader: the tool's own copy reads no GIF.
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_ONLY_GIF
#include <stb/stb_image.h>

namespace lmxlib::test {
namespace {

// A GIF as an independent decoder reads it: every frame as RGBA rows, the top row first.
struct Decoded {
  int width = 0, height = 0;
  std::vector<std::vector<uint8_t>> frames;
};

Decoded ReadGif(const std::vector<uint8_t>& b) {
  Decoded d;
  EXPECT_EQ(std::string(b.begin(), b.begin() + 6), "GIF89a");
  int* delays = nullptr;
  int count = 0, channels = 0;
  uint8_t* pixels = stbi_load_gif_from_memory(b.data(), int(b.size()), &delays, &d.width, &d.height, &count,
                                              &channels, 4);
  EXPECT_NE(pixels, nullptr) << stbi_failure_reason();
  if (!pixels) return d;
  const size_t size = size_t(d.width) * size_t(d.height) * 4;
  for (size_t k = 0; k < size_t(count); ++k) d.frames.emplace_back(pixels + k * size, pixels + (k + 1) * size);
  stbi_image_free(pixels);
  STBI_FREE(delays);
  return d;
}

const uint8_t* PixelOf(const Decoded& d, size_t frame, int x, int y) {
  return &d.frames[frame][(size_t(y) * size_t(d.width) + size_t(x)) * 4];
}

TEST(PreviewGif, FewColoursComeBackExactlyThroughAnIndependentDecoder) {
  // 200 colours in a noise-like order: the code table fills up and starts over, and every
  // pixel must come back as its own colour (nothing to dither).
  const int w = 97, h = 61;
  std::vector<GifFrame> frames(3);
  uint32_t seed = 7;
  for (auto& f : frames) {
    f.bgra.resize(size_t(w) * h * 4);
    for (size_t i = 0; i < f.bgra.size(); i += 4) {
      const uint32_t c = (seed = seed * 1103515245u + 12345u) >> 16 & 0xFFFF;
      const uint32_t k = c % 200;
      f.bgra[i] = uint8_t(k * 37), f.bgra[i + 1] = uint8_t(k * 11 + 3), f.bgra[i + 2] = uint8_t(255 - k), f.bgra[i + 3] = 255;
    }
  }
  for (int x = 0; x < w * 4; ++x) frames[1].bgra[x] = 255;  // a white bottom row
  Decoded d = ReadGif(EncodeGif(w, h, frames, 10));
  ASSERT_EQ(std::tuple(d.width, d.height, d.frames.size()), std::tuple(w, h, size_t(3)));
  for (size_t k = 0; k < 3; ++k)
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const uint8_t* src = &frames[k].bgra[(size_t(h - 1 - y) * w + x) * 4];
        const uint8_t* got = PixelOf(d, k, x, y);
        ASSERT_TRUE(got[0] == src[2] && got[1] == src[1] && got[2] == src[0]) << k << " " << x << "," << y;
      }
}

TEST(PreviewGif, ASkyGradientKeepsItsLevelsInsteadOfBanding) {
  // Thousands of colours: a sky from deep to pale blue downwards, warmer to the right.
  const int w = 128, h = 96;
  std::vector<GifFrame> frames(1);
  frames[0].bgra.resize(size_t(w) * h * 4);
  auto colour = [&](int x, int yTop, int c) {  // c: 0 red, 1 green, 2 blue
    const int base[3] = {30 + 60 * x / w, 60 + 120 * yTop / h, 170 + 80 * yTop / h};
    return base[c];
  };
  for (int yTop = 0; yTop < h; ++yTop)
    for (int x = 0; x < w; ++x) {
      uint8_t* p = &frames[0].bgra[(size_t(h - 1 - yTop) * w + x) * 4];
      p[0] = uint8_t(colour(x, yTop, 2)), p[1] = uint8_t(colour(x, yTop, 1)), p[2] = uint8_t(colour(x, yTop, 0)), p[3] = 255;
    }
  Decoded d = ReadGif(EncodeGif(w, h, frames, 10));
  ASSERT_EQ(d.frames.size(), 1u);
  // Each 8 x 8 block keeps its average colour within 2 levels (the cube palette missed
  // by up to 25), and the blue channel down the middle column takes many steps.
  double worst = 0;
  for (int by = 0; by < h; by += 8)
    for (int bx = 0; bx < w; bx += 8)
      for (int c = 0; c < 3; ++c) {
        double want = 0, got = 0;
        for (int y = by; y < by + 8; ++y)
          for (int x = bx; x < bx + 8; ++x) {
            want += colour(x, y, c);
            got += PixelOf(d, 0, x, y)[c];
          }
        worst = std::max(worst, std::abs(want - got) / 64);
      }
  EXPECT_LT(worst, 2.0);
  std::set<int> blues;
  for (int y = 0; y < h; ++y) blues.insert(PixelOf(d, 0, w / 2, y)[2]);
  EXPECT_GE(blues.size(), 12u);
}

// The block of an effect with one option, tagged rows, as the preview seeds it.
lmx::EffectSettings TilesBlock() {
  lmx::EffectSettings s{};
  std::strcpy(s.effectName, "TILES");
  s.specialCount = 1;
  s.specialValues[0] = {0, lmx::TagRows, 4};
  return s;
}

TEST(PreviewSettings, NamesAndFilesReachTheirPlaceInTheBlock) {
  lmx::EffectSettings s = TilesBlock();
  std::string error;
  const std::pair<const char*, const float*> taken[] = {
      {"AntiAliasing=4", &s.generalValues[lmx::AntiAliasing]},
      {"lightdirection = 90", &s.generalValues[lmx::LightDirection]},
      {"Shine=30", &s.objectValues[0][lmx::Shine]},
      {"Shine[3]=80", &s.objectValues[3][lmx::Shine]},
      {"rows=2", &s.specialValues[0].value},
      {"rows=3", &s.specialValues[0].value}};
  for (const auto& [text, place] : taken) {
    EXPECT_TRUE(ApplySetting(s, text, &error)) << text;
    EXPECT_EQ(*place, std::stof(std::string(text).substr(std::string(text).find('=') + 1))) << text;
  }
  ASSERT_EQ(s.specialCount, 1u);
  EXPECT_EQ(s.specialValues[0].tag, lmx::TagRows);
  for (const char* text : {"Nonsense=1", "Shine=lots", "Shine[20]=1", "Shine"})
    EXPECT_FALSE(ApplySetting(s, text, &error)) << text;
  // Settings files: lines, or a whole block.
  TempDir dir;
  WriteText(dir / "s.txt", "# a comment\nBlurCount=3\n\nTransparency[1]=50  # half\n");
  s = TilesBlock();
  ASSERT_TRUE(ApplySettingsFile(s, dir / "s.txt", &error)) << error;
  EXPECT_EQ(s.generalValues[lmx::BlurCount], 3);
  EXPECT_EQ(s.objectValues[1][lmx::Transparency], 50);
  // A defaults block of another effect: its values, but this effect's name and options.
  lmx::EffectSettings other = TilesBlock();
  std::strcpy(other.effectName, "DOORS");
  other.generalValues[lmx::Lighting] = 1;
  other.specialValues[0] = {0, lmx::TagAxis, 1};
  const auto* raw = reinterpret_cast<const uint8_t*>(&other);
  WriteBytes(dir / "Defaults.LRI", {raw, raw + sizeof other});
  ASSERT_TRUE(ApplySettingsFile(s, dir / "Defaults.LRI", &error)) << error;
  EXPECT_STREQ(s.effectName, "TILES");
  EXPECT_EQ(s.generalValues[lmx::Lighting], 1);
  EXPECT_EQ(s.specialValues[0].tag, lmx::TagRows);
  WriteText(dir / "bad.txt", "Lighting=1\nFoo=2\n");
  EXPECT_FALSE(ApplySettingsFile(s, dir / "bad.txt", &error));
  EXPECT_NE(error.find(":2:"), std::string::npos);
}

const char* kTilesSource = R"({"name": "TILES2", "type": 2, "kind": "tiles", "objects": ["Tile"],
  "direction": true, "shadow": true, "motion": true, "bestPosition": 50,
  "options": [{"label": "Rows", "kind": "slider", "default": 2, "minimum": 1, "maximum": 8, "tag": "rows"}]})";

TEST(PreviewCommand, StripRunsFromTheOutgoingToTheIncomingPicture) {
  TempDir dir;
  WriteText(dir / "TILES2.json", kTilesSource);
  ExpectRun({"preview", dir / "TILES2.json", "-o", dir / "strip.png", "--frames", "6", "--size", "32"}, kExitOk, "",
            "6 frames of 32 x 32, tiles");
  std::vector<uint8_t> png = ReadBytes(dir / "strip.png");
  int w = 0, h = 0, n = 0;
  uint8_t* pixels = stbi_load_from_memory(png.data(), int(png.size()), &w, &h, &n, 3);
  ASSERT_NE(pixels, nullptr);
  ASSERT_EQ(std::pair(w, h), std::pair(6 * 32, 32));
  // The stand-in clips: the outgoing one is red-dominant, the incoming one blue-dominant.
  auto redOverBlue = [&](int frame) {
    long red = 0, blue = 0;
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x) {
        const uint8_t* p = pixels + (size_t(y) * w + frame * 32 + x) * 3;
        red += p[0], blue += p[2];
      }
    return double(red) / double(blue);
  };
  EXPECT_GT(redOverBlue(0), 2.0);
  EXPECT_LT(redOverBlue(5), 0.5);
  double middle = redOverBlue(3);
  EXPECT_TRUE(middle < 2.0 && middle > 0.2) << middle;
  stbi_image_free(pixels);

  // One frame shows the still position.
  const Result r =
      Lmxlib({"preview", dir / "TILES2.json", "-o", dir / "still.gif", "--frames", "1", "--set", "Direction=1"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(ReadGif(ReadBytes(dir / "still.gif")).frames.size(), 1u);
}

TEST(PreviewCommand, BadRequestsAreRefusedWithAReason) {
  TempDir dir;
  WriteText(dir / "TILES2.json", kTilesSource);
  WriteText(dir / "junk.LMI", "not an effect");
  const std::string src = dir / "TILES2.json", gif = dir / "x.gif";
  auto set = [&](const std::string& value) { return std::vector<std::string>{"preview", src, "-o", gif, "--set", value}; };
  const struct {
    std::vector<std::string> args;
    int status;
    std::string message;
  } cases[] = {
      {{"preview", src}, kExitUsage, ""},
      {{"preview", src, "-o", dir / "x.bmp"}, kExitUsage, ""},
      {{"preview", src, "-o", gif, "--frames", "0"}, kExitUsage, ""},
      {set("Shine[x]=100"), kExitUsage, "Shine[x]: the object index is a whole number from 0 to 19"},
      {set("Shine[1=100"), kExitUsage, "the object index is a whole number"},
      {set("Shine[]=100"), kExitUsage, "the object index is a whole number"},
      {set("spin=700"), kExitUsage, "the effect has no option tagged \"spin\""},
      {set("Shine[1]=50"), kExitUsage, "Shine[1]: the effect has 1 object(s), indices 0 to 0"},
      {set("AntiAliasing=nan"), kExitUsage, "AntiAliasing: \"nan\" is not a whole number"},
      {set("AntiAliasing=inf"), kExitUsage, "is not a whole number"},
      {set("Lighting=0.5"), kExitUsage, "is not a whole number"},
      {set("AntiAliasing[2]=4"), kExitUsage, "AntiAliasing is a general value, not one per object"},
      {{"preview", src, "-o", gif, "--textures", dir / "nowhere"},
       kExitUsage,
       "--textures \"" + (dir / "nowhere") + "\": no such folder"},
      {{"preview", dir / "missing.LMI", "-o", gif}, kExitFindings, ""},
      {{"preview", dir / "junk.LMI", "-o", gif}, kExitFindings, "not an effect file"},
  };
  for (const auto& c : cases) {
    ExpectRun(c.args, c.status, c.message);
    EXPECT_FALSE(fs::exists(gif));
  }
  // The option the effect has is taken; --progress counts the frames on stderr; the GIF holds
  // every frame.
  Result r = ExpectRun({"preview", src, "-o", gif, "--set", "rows=3", "--frames", "2", "--progress"}, kExitOk,
                       "frame 1/2, about");
  EXPECT_TRUE(Has(r.err, "frame 2/2, about 0 s left")) << r.err;
  const Decoded anim = ReadGif(ReadBytes(gif));
  ASSERT_EQ(anim.frames.size(), 2u);
  EXPECT_NE(anim.frames[0], anim.frames[1]);
}

TEST(PreviewCommand, DamagedEffectsAndTexturesWarnAndFail) {
  TempDir dir;
  WriteText(dir / "TILES2.json", kTilesSource);
  ASSERT_EQ(Lmxlib({"build", dir / "TILES2.json", "-o", dir / "TILES2.LMI"}).status, kExitOk);
  fs::copy_file(dir / "TILES2.LMI", dir / "CUT.LMI");
  fs::resize_file(dir / "CUT.LMI", 12);
  ExpectRun({"preview", dir / "CUT.LMI", "-o", dir / "cut.gif", "--frames", "2", "--size", "16"}, kExitFindings,
            "warning: " + (dir / "CUT.LMI") + ": unreadable from offset");
  EXPECT_TRUE(fs::exists(dir / "cut.gif"));  // what the readers make of the file, to look at

  // Textures: a sound set is used without a word; a damaged one is named.
  fs::create_directories(dir.path() / "TEX");
  for (int i = 1; i <= 3; ++i) {
    const std::string name = dir / ("pic" + std::to_string(i) + ".bmp");
    WriteBytes(name, SolidBmp(16, 16));
    ASSERT_EQ(Lmxlib({"build", name, "-o", dir / ("TEX/PREVS_0" + std::to_string(i) + ".LMT")}).status, kExitOk);
  }
  const std::vector<std::string> withTextures = {"preview", dir / "TILES2.LMI", "-o", dir / "x.gif", "--frames", "2",
                                                "--size", "16", "--textures", dir / "TEX"};
  EXPECT_EQ(ExpectRun(withTextures, kExitOk).err, "");
  fs::resize_file(dir / "TEX/PREVS_02.LMT", fs::file_size(dir / "TEX/PREVS_02.LMT") - 100);
  ExpectRun(withTextures, kExitFindings, "PREVS_02.LMT: damaged texture file");
}

}  // namespace
}  // namespace lmxlib::test
