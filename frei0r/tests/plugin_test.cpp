// The plugin through its frei0r entry points, as a host calls them: parameters, the
// frames at the ends and in the middle of a transition at an odd size, and bad input,
// which must pass clip A through with one message.
#include <gtest/gtest.h>

extern "C" {
#include <frei0r.h>
}

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "frame_convert.h"
#include "frame_params.h"
#include "library_folder.h"
#include "parameters.h"
#include "render_frame.h"
#include "support/test_install.h"

namespace {

using Frame = std::vector<uint32_t>;

const std::string kLibrary = LMX_SAMPLE_INSTALL;

uint32_t Rgba(int r, int g, int b) {
  const uint8_t bytes[4] = {static_cast<uint8_t>(r), static_cast<uint8_t>(g), static_cast<uint8_t>(b), 255};
  uint32_t v;
  std::memcpy(&v, bytes, 4);
  return v;
}

int Channel(uint32_t v, int c) { return reinterpret_cast<const uint8_t*>(&v)[c]; }

// A picture whose every row and column differs, so a turned or mirrored copy, or red and
// blue swapped, cannot pass for it.
Frame Gradient(int width, int height, bool warm) {
  Frame f(static_cast<size_t>(width) * height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      int r = 40 + 200 * x / width, g = 30 + 200 * y / height;
      f[static_cast<size_t>(y) * width + x] = warm ? Rgba(r, g, 20) : Rgba(20, g, r);
    }
  return f;
}

// The largest difference of any channel but alpha between two frames.
int MaxDifference(const Frame& a, const Frame& b) {
  int worst = 0;
  for (size_t i = 0; i < a.size(); ++i)
    for (int c = 0; c < 3; ++c) worst = std::max(worst, std::abs(Channel(a[i], c) - Channel(b[i], c)));
  return worst;
}

size_t CountNear(const Frame& f, uint32_t colour) {
  size_t n = 0;
  for (uint32_t v : f) n += MaxDifference({v}, {colour}) <= 8;
  return n;
}

class Instance {
 public:
  Instance(unsigned width, unsigned height) : width_(width), height_(height), handle_(f0r_construct(width, height)) {}
  ~Instance() { f0r_destruct(handle_); }
  Instance(const Instance&) = delete;
  Instance& operator=(const Instance&) = delete;

  void Set(int index, const char* text) {
    f0r_param_string value = const_cast<char*>(text);
    f0r_set_param_value(handle_, &value, index);
  }
  void Set(int index, double value) { f0r_set_param_value(handle_, &value, index); }
  void Effect(const char* name) {
    Set(lumorafx::kLibrary, kLibrary.c_str());
    Set(lumorafx::kEffect, name);
  }
  Frame Mix(const Frame& a, const Frame& b) {
    Frame out(static_cast<size_t>(width_) * height_, 0xDEADBEEF);
    f0r_update2(handle_, 0.0, a.data(), b.data(), nullptr, out.data());
    return out;
  }
  f0r_instance_t handle() const { return handle_; }

 private:
  unsigned width_, height_;
  f0r_instance_t handle_;
};

TEST(LumorafxPlugin, DescribesAMixerOfTwoRgbaFramesAndKeepsItsParameters) {
  f0r_plugin_info_t info{};
  ASSERT_EQ(f0r_init(), 1);
  f0r_get_plugin_info(&info);
  EXPECT_EQ(info.plugin_type, F0R_PLUGIN_TYPE_MIXER2);
  EXPECT_EQ(info.color_model, F0R_COLOR_MODEL_RGBA8888);
  EXPECT_EQ(info.frei0r_version, FREI0R_MAJOR_VERSION);
  ASSERT_EQ(info.num_params, lumorafx::kParamCount);
  std::set<std::string> names;
  for (int i = 0; i < info.num_params; ++i) {
    f0r_param_info_t p{};
    f0r_get_param_info(&p, i);
    ASSERT_NE(p.name, nullptr);
    EXPECT_TRUE(names.insert(p.name).second) << p.name;
    if (i <= lumorafx::kEffect) EXPECT_EQ(p.type, F0R_PARAM_STRING) << p.name;
    else EXPECT_TRUE(p.type == F0R_PARAM_BOOL || p.type == F0R_PARAM_DOUBLE) << p.name;
  }
  EXPECT_TRUE(names.count("library") && names.count("effect") && names.count("position"));
  f0r_param_info_t untouched{"x", 99, "y"};
  f0r_get_param_info(&untouched, info.num_params);  // out of range: left alone
  EXPECT_EQ(untouched.type, 99);

  Instance m(64, 64);  // an instance keeps its parameters and gives them back
  m.Set(lumorafx::kEffect, "CUBE");
  f0r_param_string text = nullptr;
  f0r_get_param_value(m.handle(), &text, lumorafx::kEffect);
  EXPECT_STREQ(text, "CUBE");
  f0r_param_string none = nullptr;
  f0r_set_param_value(m.handle(), &none, lumorafx::kEffect);  // a null string reads as empty
  f0r_get_param_value(m.handle(), &text, lumorafx::kEffect);
  EXPECT_STREQ(text, "");
  m.Set(lumorafx::kPosition, 0.25);
  double value = -1;
  f0r_get_param_value(m.handle(), &value, lumorafx::kPosition);
  EXPECT_EQ(value, 0.25);
  m.Set(lumorafx::kParamCount, 1.0);  // out of range: ignored
  m.Set(-1, 1.0);
  f0r_deinit();
}

TEST(LumorafxPlugin, EndsOfATransitionAreTheClipsAtAnOddSize) {
  const int w = 65, h = 33;
  Frame a = Gradient(w, h, true), b = Gradient(w, h, false);
  Instance m(w, h);
  m.Effect("TILES4X4");
  for (const auto& [position, clip] : {std::pair{0.0, &a}, {1.0, &b}, {std::nan(""), &a}}) {  // NaN reads as 0
    m.Set(lumorafx::kPosition, position);
    EXPECT_LE(MaxDifference(m.Mix(a, b), *clip), 2) << position;
  }
}

TEST(LumorafxPlugin, TheCubeTurnsInFrontOfBlackOrTextureThree) {
  const int w = 80, h = 60;
  Frame a(w * h, Rgba(208, 32, 32)), b(w * h, Rgba(32, 64, 224));
  Instance m(w, h);
  m.Set(lumorafx::kPosition, 0.5);
  // No library named, the effect empty: CUBE from $LUMORAFX_LIBRARY.
  m.Set(lumorafx::kEffect, "");
  setenv("LUMORAFX_LIBRARY", kLibrary.c_str(), 1);
  const uint32_t black = Rgba(0, 0, 0);
  EXPECT_GT(CountNear(m.Mix(a, b), black), a.size() / 20);
  unsetenv("LUMORAFX_LIBRARY");
  m.Set(lumorafx::kLibrary, kLibrary.c_str());
  m.Set(lumorafx::kBackdrop, 1.0);
  EXPECT_EQ(CountNear(m.Mix(a, b), black), 0u);
}

TEST(LumorafxPlugin, EffectOptionsRunAcrossTheirRangeOrKeepTheEffectsDefault) {
  lmx::engine::FolderEffect effect;
  ASSERT_EQ(lmx::engine::ReadFolderEffect(kLibrary, "TILES3X3", &effect), lmx::engine::FolderRead::Ok);
  // rows 1..8 (3), columns 1..8 (3), scatter 0..100 (30), reverse (check box, 0)
  const struct {
    double set[4];
    float want[4];
  } cases[] = {
      {{-1, -1, -1, -1}, {3, 3, 30, 0}}, {{0, 1, 0.5, 1}, {1, 8, 50, 1}}, {{2, std::nan(""), -5, 0.2}, {8, 3, 30, 0}}};
  for (const auto& c : cases) {
    lumorafx::Options o;
    for (int i = 0; i < 4; ++i) o.values[lumorafx::kOption1 + i] = c.set[i];
    lmx::EffectSettings s = lumorafx::SettingsFor(o, effect.settings, effect.options);
    for (int i = 0; i < 4; ++i)
      EXPECT_EQ(s.specialValues[i].value, c.want[i]) << "option " << i + 1 << " set to " << c.set[i];
  }
}

// The engine's layout, written out here independently of the plugin: blue, green, red,
// alpha, and the bottom row first.
std::vector<uint8_t> EngineLayout(const Frame& f, int width, int height) {
  std::vector<uint8_t> out(f.size() * 4);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      uint32_t v = f[static_cast<size_t>(y) * width + x];
      uint8_t* q = &out[(static_cast<size_t>(height - 1 - y) * width + x) * 4];
      q[0] = static_cast<uint8_t>(Channel(v, 2)), q[1] = static_cast<uint8_t>(Channel(v, 1));
      q[2] = static_cast<uint8_t>(Channel(v, 0)), q[3] = static_cast<uint8_t>(Channel(v, 3));
    }
  return out;
}

lmx::TextureImage View(std::vector<uint8_t>& pixels, int width, int height) {
  lmx::TextureImage t{};
  t.width = t.extentWidth = static_cast<uint32_t>(width);
  t.height = t.extentHeight = static_cast<uint32_t>(height);
  t.pixels = pixels.data();
  t.bytesPerPixel = 4;
  return t;
}

TEST(LumorafxPlugin, RendersWhatTheEngineRendersFromTheUprightClips) {
  const int w = 71, h = 45;
  Frame a = Gradient(w, h, true), b = Gradient(w, h, false);
  Instance m(w, h);
  m.Effect("shards12");  // names are the library's, in any case
  m.Set(lumorafx::kPosition, 0.375);
  Frame fromPlugin = m.Mix(a, b);
  m.Set(lumorafx::kDirection, 1.0);  // Fly-On: other paths
  EXPECT_NE(m.Mix(a, b), fromPlugin);

  lmx::engine::FolderEffect effect;
  ASSERT_EQ(lmx::engine::ReadFolderEffect(kLibrary, "SHARDS12", &effect), lmx::engine::FolderRead::Ok);
  std::vector<uint8_t> clipA = EngineLayout(a, w, h), clipB = EngineLayout(b, w, h), target(a.size() * 4);
  lmx::RenderJob job{};
  job.frameWidth = w, job.frameHeight = h, job.objectCount = effect.shape.objectCount;
  job.textures[0] = View(clipA, w, h);
  job.textures[1] = View(clipB, w, h);
  job.target = View(target, w, h);
  job.position = 3750, job.lastPosition = 10000;
  lmx::EffectSettings settings = lumorafx::SettingsFor(lumorafx::Options(), effect.settings, effect.options);
  ASSERT_EQ(lmx::engine::RenderShape(lmx::engine::ReadFrameParams(settings), effect.shape, job), 0);

  EXPECT_EQ(EngineLayout(fromPlugin, w, h), target);
  EXPECT_GT(MaxDifference(fromPlugin, a), 100);  // and it is not clip A
}

// MLT's yuv422 frames: the SSE2 rows give what the plain rows give, for every width's
// tail, and a picture (in pixel pairs, which share their chroma) comes back within 4 levels.
TEST(LumorafxFrames, Yuv422ConvertsLikeThePlainRowsAndBack) {
  using lumorafx::PixelLayout;
  uint32_t seed = 12345;
  for (PixelLayout layout : {PixelLayout::Yuv601, PixelLayout::Yuv709})
    for (int w : {1, 7, 8, 17, 66}) {
      SCOPED_TRACE(std::to_string(w) + (layout == PixelLayout::Yuv709 ? " pixels, BT.709" : " pixels, BT.601"));
      const int h = 2;
      std::vector<uint8_t> bgra(static_cast<size_t>(w) * h * 4), yuv(static_cast<size_t>(w) * h * 2), back(bgra.size());
      for (size_t i = 0; i < bgra.size(); ++i) {
        seed = seed * 1103515245u + 12345u;
        bgra[i] = (i / 4) % w % 2 == 1 ? bgra[i - 4] : static_cast<uint8_t>(seed >> 16);
      }
      lumorafx::EngineToFrame(layout, bgra.data(), w, h, yuv.data());
      lumorafx::FrameToEngine(layout, yuv.data(), w, h, back.data());
      const lumorafx::YuvFactors& f = lumorafx::FactorsOf(layout);
      std::vector<uint8_t> plainYuv(static_cast<size_t>(w) * 2), plainBgra(static_cast<size_t>(w) * 4);
      for (int y = 0; y < h; ++y) {
        const size_t engineRow = static_cast<size_t>(h - 1 - y) * w;  // the engine's rows are bottom-up
        lumorafx::BgraRowToYuv422(f, &bgra[engineRow * 4], 0, w, plainYuv.data());
        EXPECT_TRUE(std::equal(plainYuv.begin(), plainYuv.end(), &yuv[static_cast<size_t>(y) * w * 2]));
        lumorafx::Yuv422RowToBgra(f, &yuv[static_cast<size_t>(y) * w * 2], 0, w, plainBgra.data());
        EXPECT_TRUE(std::equal(plainBgra.begin(), plainBgra.end(), &back[engineRow * 4]));
      }
      for (size_t i = 0; i < bgra.size(); ++i)
        if (i % 4 != 3 && (w % 2 == 0 || (i / 4) % w != static_cast<size_t>(w) - 1))  // a lone last pixel has no V
          ASSERT_LE(std::abs(bgra[i] - back[i]), 4) << "byte " << i;
    }
}

TEST(LumorafxPlugin, BadInputPassesClipAThroughWithOneMessage) {
  lmx::test::TestInstall damaged;
  damaged.Write("EFFECTS/BROKEN.LMI", {'L', 'M', 'X', 'I', 'I', 'T', 'Y', 'P', 0xFF, 0xFF, 0xFF, 0x7F, 1});
  const struct {
    const char* name;
    std::string library;
    const char* effect;
    const char* message;
  } cases[] = {
      {"unknown effect", kLibrary, "NOSUCH", "lumorafx: no effect \"NOSUCH\" in"},
      {"missing library", "/nonexistent/lumora", "CUBE", "lumorafx: library folder \"/nonexistent/lumora\" not found"},
      {"no library", "", "CUBE", "(set parameter \"library\" or LUMORAFX_LIBRARY)"},
      {"path in the name", kLibrary, "../CUBE", "lumorafx: effect name \"../CUBE\" is not a short name"},
      {"damaged file", damaged.root(), "BROKEN", "is damaged; clip A passes through"},
  };
  const int w = 33, h = 17;
  Frame a = Gradient(w, h, true), b = Gradient(w, h, false);
  setenv("LUMORAFX_LIBRARY", "/nonexistent/installed", 1);  // not the machine's own library
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    testing::internal::CaptureStderr();
    for (int instance = 0; instance < 2; ++instance) {  // a host makes one per thread
      Instance m(w, h);
      m.Set(lumorafx::kLibrary, c.library.c_str());
      m.Set(lumorafx::kEffect, c.effect);
      for (double position : {0.0, 0.5, 1.0}) {
        m.Set(lumorafx::kPosition, position);
        EXPECT_EQ(m.Mix(a, b), a);
      }
    }
    std::string err = testing::internal::GetCapturedStderr();
    size_t first = err.find(c.message);
    ASSERT_NE(first, std::string::npos) << err;
    EXPECT_EQ(err.find("lumorafx:", first + 1), std::string::npos) << err;
  }
  unsetenv("LUMORAFX_LIBRARY");
}

TEST(LumorafxPlugin, FramesItCannotRenderPassClipAThrough) {
  Frame a = Gradient(8, 4, true);
  {
    Instance m(8, 4);
    m.Effect("CUBE");
    m.Set(lumorafx::kPosition, 0.5);
    Frame out(a.size(), 0);
    f0r_update2(m.handle(), 0.0, a.data(), nullptr, nullptr, out.data());  // no clip B
    EXPECT_EQ(out, a);
    f0r_update2(m.handle(), 0.0, a.data(), a.data(), nullptr, nullptr);  // nowhere to write
  }
  Frame wide = Gradient(5000, 2, true);  // wider than the engine draws
  Instance m(5000, 2);
  m.Effect("CUBE");
  m.Set(lumorafx::kPosition, 0.5);
  EXPECT_EQ(m.Mix(wide, Gradient(5000, 2, false)), wide);
  Instance empty(0, 0);
  EXPECT_TRUE(empty.Mix({}, {}).empty());
  f0r_update2(nullptr, 0.0, a.data(), a.data(), nullptr, a.data());
  f0r_destruct(nullptr);
}

}  // namespace
