// Build then dump then compare, for every kind of file the tool writes, and a check that
// what it writes is what the product's own reader sees.
#include <gtest/gtest.h>

#include <cstring>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

#include "library/chunk_file.h"
#include "library/effect_record.h"
#include "lmxlib/effect_format.h"
#include "lmxlib/organization_format.h"
#include "lmxlib/record_walk.h"
#include "lmxlib/texture_format.h"
#include "test_util.h"

namespace lmxlib::test {
namespace {

const char* kEffect = R"({
  "name": "TILES4",
  "longName": "Sixteen Tiles",
  "description": "Tiles turn over and fly away.",
  "type": 1,
  "kind": "tiles",
  "objects": ["Outgoing Tiles", "Incoming Tiles", ""],
  "direction": true,
  "shadow": false,
  "motion": 7,
  "bestPosition": 42.5,
  "options": [
    {"label": "Rows", "kind": "slider", "default": 4, "minimum": 1, "maximum": 8, "tag": "rows"},
    {"label": "Reverse Order", "kind": "checkbox", "default": 1, "minimum": 0, "maximum": 0, "tag": "reverse"},
    {"label": "Axis", "kind": "list", "choices": "Horizontal,Vertical", "default": 1, "minimum": 0, "maximum": 0, "tag": "axis"},
    {"label": "Private", "kind": "slider", "default": -0.5, "minimum": -5, "maximum": -0.0, "tag": 4711, "unused": 3}
  ],
  "extraRecords": [{"tag": "XTRA", "hex": "00ff10"}]
})";

Json DumpJson(const std::string& path) {
  Result r = Lmxlib({"dump", path, "--json"});
  EXPECT_EQ(r.status, 0) << r.err << r.out;
  return Json::parse(r.out);
}

TEST(RoundTrip, EffectComesBackFromBothDumpsAndTheProductReaderAgrees) {
  TempDir dir;
  WriteText(dir / "TILES4.json", kEffect);
  Result built = Lmxlib({"build", dir / "TILES4.json", "-o", dir / "TILES4.LMI"});
  ASSERT_EQ(built.status, 0) << built.err;
  EXPECT_EQ(built.err, "");  // name and file name agree: no warning

  Json dumped = DumpJson(dir / "TILES4.LMI");
  EXPECT_EQ(dumped["content"], Json::parse(kEffect));
  EXPECT_EQ(dumped["problems"], Json::array());
  EXPECT_EQ(dumped["records"].back()["tag"], "XTRA");

  lmx::EffectRecord record;
  lmx::ChunkFile file((dir / "TILES4.LMI").c_str(), lmx::kEffectHeader, false);
  ASSERT_EQ(file.status(), lmx::ChunkOk);
  lmx::ChunkRecord chunk;
  while (file.ReadRecord(&chunk) == lmx::ChunkOk) record.ApplyRecord(chunk);
  EXPECT_EQ(file.status(), lmx::ChunkEnd);
  EXPECT_EQ(record.effectType(), 1u);
  EXPECT_EQ(record.secondType(), 2u);  // tiles
  EXPECT_STREQ(record.shortName(), "TILES4");
  EXPECT_EQ(record.longName(), "Sixteen Tiles");
  EXPECT_EQ(record.objectCount(), 3u);
  EXPECT_EQ(record.objectName(1), "Incoming Tiles");
  EXPECT_EQ(record.directionFlag(), 1u);
  EXPECT_EQ(record.shadowFlag(), 0u);
  EXPECT_EQ(record.motionFlag(), 7u);
  EXPECT_FLOAT_EQ(record.bestPosition(), 42.5f);
  ASSERT_EQ(record.optionCount(), 4u);
  lmx::EffectOption axis = record.option(2);
  EXPECT_STREQ(axis.label, "Axis");
  EXPECT_EQ(axis.kind, 3u);
  EXPECT_STREQ(axis.choices, "Horizontal,Vertical");
  EXPECT_EQ(axis.tag, 5);  // the engine's axis tag
  EXPECT_EQ(record.option(3).tag, 4711);
  EXPECT_EQ(record.option(3).unused, 3);
  EXPECT_FLOAT_EQ(record.option(3).minimum, -5.0f);

  // The text dump names every record, unknown tags too.
  Result r = Lmxlib({"dump", dir / "TILES4.LMI"});
  EXPECT_EQ(r.status, 0);
  for (const char* expected : {"ETYP", "ITYP", "motion kind \"tiles\"", "ENAM", "short name \"TILES4\"", "VDSC",
                               "OPTS", "option 2 \"Axis\"", "XTRA", "unknown tag", "readable to the end"})
    EXPECT_NE(r.out.find(expected), std::string::npos) << expected << "\n" << r.out;
}

TEST(RoundTrip, OrganizationKeepsGroupsAndOrder) {
  TempDir dir;
  Json org = {{"groups",
               {{{"name", "Sixteen"}, {"effects", Json::array()}}, {{"name", "Pair"}, {"effects", {"B", "A"}}}}}};
  for (int i = 0; i < 16; ++i) org["groups"][0]["effects"].push_back("E" + std::to_string(i));
  WriteText(dir / "MINE.json", org.dump());
  ASSERT_EQ(Lmxlib({"build", dir / "MINE.json", "-o", dir / "MINE.ORG"}).status, 0);
  Json dumped = DumpJson(dir / "MINE.ORG");
  EXPECT_EQ(dumped["kind"], "organization");
  EXPECT_EQ(dumped["content"], org);
  EXPECT_EQ(dumped["problems"], Json::array());
}

// The pixels the engine reads: blue, green, red, alpha; the bottom row first.
void ExpectTexturePixels(const std::string& lmt, int w, int h, const std::vector<uint8_t>& rgbaTopDown) {
  uint32_t tw = 0, th = 0;
  const std::vector<uint8_t> bgra = TexturePixelsOf(WalkChunks(ReadBytes(lmt)), &tw, &th);
  std::vector<uint8_t> want;
  for (int y = h - 1; y >= 0; --y)
    for (int x = 0; x < w; ++x) {
      const uint8_t* p = &rgbaTopDown[size_t((y * w + x) * 4)];
      want.insert(want.end(), {p[2], p[1], p[0], p[3]});
    }
  EXPECT_EQ(tw, uint32_t(w));
  EXPECT_EQ(th, uint32_t(h));
  EXPECT_EQ(bgra, want);
}

TEST(RoundTrip, TexturesFromBmpAndPngHoldBgraRowsBottomUp) {
  TempDir dir;
  const int w = 3, h = 2;
  std::vector<uint8_t> rgba;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      for (uint8_t v : {uint8_t(10 + x), uint8_t(100 + y), uint8_t(200 + x + y), uint8_t(255)}) rgba.push_back(v);
  auto pixel = [&](int x, int y) {
    const uint8_t* p = &rgba[size_t((y * w + x) * 4)];
    return std::tuple<int, int, int>(p[0], p[1], p[2]);
  };
  for (int bits : {24, 32}) {
    const std::string bmp = dir / ("pic" + std::to_string(bits) + ".bmp");
    WriteBytes(bmp, MakeBmp(w, h, bits, pixel));
    const std::string lmt = dir / ("T" + std::to_string(bits) + ".LMT");
    ASSERT_EQ(Lmxlib({"build", bmp, "-o", lmt}).status, 0);
    ExpectTexturePixels(lmt, w, h, rgba);
  }
  // A PNG with real transparency keeps its alpha.
  rgba[3] = 7;
  ASSERT_NE(stbi_write_png((dir / "pic.png").c_str(), w, h, 4, rgba.data(), w * 4), 0);
  ASSERT_EQ(Lmxlib({"build", dir / "pic.png", "-o", dir / "TP.LMT"}).status, 0);
  ExpectTexturePixels(dir / "TP.LMT", w, h, rgba);
  Json dumped = DumpJson(dir / "TP.LMT");
  EXPECT_EQ(dumped["content"]["width"], w);
  EXPECT_EQ(dumped["content"]["height"], h);
}

TEST(RoundTrip, DefaultsFileAndBitmapHeaderAreDumped) {
  TempDir dir;
  std::vector<uint8_t> block(1016, 0);
  std::memcpy(block.data(), "CUBE", 5);
  float v = 3.0f;
  std::memcpy(block.data() + 12 + 4 * 4, &v, 4);  // general value 4
  WriteBytes(dir / "Defaults.LRI", block);
  Json d = DumpJson(dir / "Defaults.LRI");
  EXPECT_EQ(d["content"]["effectName"], "CUBE");
  EXPECT_EQ(d["content"]["generalValues"][4], 3.0);

  WriteBytes(dir / "ICON.BMP", SolidBmp(48, 44));
  Json b = DumpJson(dir / "ICON.BMP");
  EXPECT_EQ(b["content"]["width"], 48);
  EXPECT_EQ(b["content"]["bitCount"], 24);
  EXPECT_EQ(b["problems"], Json::array());
}

}  // namespace
}  // namespace lmxlib::test
