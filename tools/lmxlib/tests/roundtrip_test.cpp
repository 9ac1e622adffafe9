// Build then dump then compare, for every kind of file the tool writes, read back by the
// product's own readers too; and odd files, whose dump must show what the product reads.
#include <gtest/gtest.h>

#include <cstring>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

#include "common/chunk_writer.h"
#include "config/installed_files.h"
#include "library/chunk_file.h"
#include "library/effect_record.h"
#include "library/organization.h"
#include "library/texture_reader.h"
#include "lmxlib/effect_format.h"
#include "lmxlib/examine.h"
#include "lmxlib/organization_format.h"
#include "lmxlib/record_walk.h"
#include "lmxlib/texture_format.h"
#include "support/test_install.h"
#include "test_util.h"

namespace lmxlib::test {
namespace {

using lmx::FourCC;

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
  // Name and file name agree: no warning.
  EXPECT_EQ(ExpectRun({"build", dir / "TILES4.json", "-o", dir / "TILES4.LMI"}, kExitOk).err, "");

  Json dumped = DumpJson(dir / "TILES4.LMI");
  EXPECT_EQ(dumped["content"], Json::parse(kEffect));
  EXPECT_EQ(dumped["problems"], Json::array());
  EXPECT_EQ(dumped["records"].back()["tag"], "XTRA");

  // dump takes most fields from the product's record reader, so the comparison above is what
  // the product sees; here the product's file reader reads the records to the end.
  lmx::EffectRecord record;
  lmx::ChunkFile file((dir / "TILES4.LMI").c_str(), lmx::kEffectHeader, false);
  ASSERT_EQ(file.status(), lmx::ChunkOk);
  lmx::ChunkRecord chunk;
  while (file.ReadRecord(&chunk) == lmx::ChunkOk) record.ApplyRecord(chunk);
  EXPECT_EQ(file.status(), lmx::ChunkEnd);
  EXPECT_EQ(record.longName(), "Sixteen Tiles");  // dump reads this one itself
  ASSERT_EQ(record.optionCount(), 4u);
  EXPECT_EQ(record.option(2).tag, 5);  // the engine's axis tag

  // The text dump names every record, unknown tags too.
  Result r = ExpectRun({"dump", dir / "TILES4.LMI"}, kExitOk);
  for (const char* expected : {"ETYP", "ITYP", "motion kind \"tiles\"", "ENAM", "short name \"TILES4\"", "VDSC",
                               "OPTS", "option 2 \"Axis\"", "XTRA", "unknown tag", "readable to the end"})
    EXPECT_NE(r.out.find(expected), std::string::npos) << expected << "\n" << r.out;
}

// The organization's groups as the product's reader holds them, in source form.
Json ProductGroups(const lmx::Organization& org) {
  Json groups = Json::array();
  for (int g = 0; g < org.GroupCount(); ++g) {
    Json effects = Json::array();
    for (int e = 0; e < org.EntryCount(g); ++e) effects.push_back(org.EntryName(g, e));
    groups.push_back({{"name", org.GroupAt(g)->name}, {"effects", effects}});
  }
  return groups;
}

TEST(RoundTrip, OrganizationKeepsGroupsAndOrderForDumpAndProduct) {
  lmx::test::TestInstall install;
  TempDir dir;
  Json org = {{"groups",
               {{{"name", "Sixteen"}, {"effects", Json::array()}},
                {{"name", std::string(40, 'L')}, {"effects", {"X"}}},
                {{"name", "Pair"}, {"effects", {"B", "A"}}}}}};
  for (int i = 0; i < 16; ++i) org["groups"][0]["effects"].push_back("E" + std::to_string(i));
  WriteText(dir / "MINE.json", org.dump());
  ASSERT_EQ(Lmxlib({"build", dir / "MINE.json", "-o", install.File("ORGS/MINE.ORG")}).status, 0);
  Json dumped = DumpJson(install.File("ORGS/MINE.ORG"));
  EXPECT_EQ(dumped["kind"], "organization");
  EXPECT_EQ(dumped["content"], org);
  EXPECT_EQ(dumped["problems"], Json::array());
  lmx::Organization read;
  ASSERT_EQ(ReadInstalledOrganization(read, "MINE"), 1);
  EXPECT_EQ(ProductGroups(read), org["groups"]);
  EXPECT_EQ(read.FindEntryOf("A"), 1);
}

// A texture the product has read; freed with the test.
struct ProductTexture {
  ProductTexture() { lmx::ConstructTexture(&image); }
  ~ProductTexture() { lmx::DestroyTexture(&image); }
  std::vector<uint8_t> Pixels() const {
    if (!image.pixels) return {};
    return std::vector<uint8_t>(image.pixels, image.pixels + size_t(image.width) * image.height * 4);
  }
  lmx::TextureImage image;
};

// The pixels the engine reads, through the product's reader and lmxlib's own: blue, green,
// red, alpha; the bottom row first.
void ExpectTexturePixels(const lmx::test::TestInstall& install, const std::string& name, int w, int h,
                         const std::vector<uint8_t>& rgbaTopDown) {
  const std::string lmt = install.File("TEXTURES/" + name + ".LMT");
  uint32_t tw = 0, th = 0;
  const std::vector<uint8_t> bgra = TexturePixelsOf(WalkChunks(ReadBytes(lmt)), &tw, &th);
  std::vector<uint8_t> want;
  for (int y = h - 1; y >= 0; --y)
    for (int x = 0; x < w; ++x) {
      const uint8_t* p = &rgbaTopDown[size_t((y * w + x) * 4)];
      want.insert(want.end(), {p[2], p[1], p[0], p[3]});
    }
  EXPECT_EQ(std::pair(tw, th), std::pair(uint32_t(w), uint32_t(h)));
  EXPECT_EQ(bgra, want);
  ProductTexture read;
  ASSERT_EQ(lmx::ReadInstalledTexture(&read.image, name.c_str()), 1);
  EXPECT_EQ(read.image.formatCode, lmx::kTextureFormat);
  EXPECT_EQ(read.image.width, uint32_t(w));
  EXPECT_EQ(read.Pixels(), want);
}

TEST(RoundTrip, TexturesFromBmpAndPngHoldBgraRowsBottomUp) {
  lmx::test::TestInstall install;
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
    const std::string name = "T" + std::to_string(bits);
    ASSERT_EQ(Lmxlib({"build", bmp, "-o", install.File("TEXTURES/" + name + ".LMT")}).status, 0);
    ExpectTexturePixels(install, name, w, h, rgba);
  }
  // A PNG with real transparency keeps its alpha.
  rgba[3] = 7;
  ASSERT_NE(stbi_write_png((dir / "pic.png").c_str(), w, h, 4, rgba.data(), w * 4), 0);
  ASSERT_EQ(Lmxlib({"build", dir / "pic.png", "-o", install.File("TEXTURES/TP.LMT")}).status, 0);
  ExpectTexturePixels(install, "TP", w, h, rgba);
  const Json content = DumpJson(install.File("TEXTURES/TP.LMT"))["content"];
  EXPECT_EQ(Json({content["width"], content["height"]}), Json({w, h}));
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

TEST(ProductRead, DumpOfOddOrganizationsShowsWhatTheProductReads) {
  lmx::test::TestInstall install;
  lmx::ChunkWriter w(kOrganizationHeader);
  w.Text(FourCC("OITM"), "ORPHAN")      // before the first group
      .Record(FourCC("OGRP"), nullptr, 0)  // a group with no name at all
      .Text(FourCC("OITM"), "FIRST")
      .Text(FourCC("OITM"), "")           // an entry without a name keeps its place
      .Record(FourCC("OITM"), nullptr, 0)
      .Text(FourCC("OITM"), "AFTER")
      .Text(FourCC("OGRP"), std::string(45, 'G'));
  for (int i = 0; i < 17; ++i) w.Text(FourCC("OITM"), "E" + std::to_string(i));
  w.Text(FourCC("OGRP"), "Empty").Record(FourCC("OGRP"), "Unended", 7);
  install.Write("ORGS/ODD.ORG", w.bytes());

  lmx::Organization org;
  ASSERT_EQ(ReadInstalledOrganization(org, "ODD"), 1);
  Report rep = Inspect("organization", w.bytes());
  EXPECT_EQ(rep.content["groups"], ProductGroups(org));
  ASSERT_EQ(rep.content["groups"].size(), 4u);
  EXPECT_EQ(rep.content["groups"][0], Json({{"name", ""}, {"effects", {"FIRST", "", "", "AFTER"}}}));
  EXPECT_EQ(rep.content["groups"][1]["name"], std::string(40, 'G'));
  EXPECT_EQ(rep.content["groups"][1]["effects"].size(), 16u);
  for (const char* problem : {"group without a name", "entry without a name", "no terminating zero",
                              "entry before the first group is ignored", "17th or later entry",
                              "group name of 45 characters; readers keep the first 40",
                              "group \"Empty\" has no effects"})
    EXPECT_TRUE(HasProblem(rep, problem)) << problem;
}

TEST(ProductRead, DumpOfOddTexturesShowsWhatTheProductReads) {
  lmx::test::TestInstall install;
  const std::vector<uint8_t> second(16, 0xF0), kept(16, 0x10);
  lmx::ChunkWriter w(kTextureHeader);
  w.Record(FourCC("TDAT"), second)  // before the sizes: ignored
      .U32(FourCC("TWID"), 2)
      .U32(FourCC("THIT"), 2)
      .Record(FourCC("TDAT"), std::vector<uint8_t>(12))     // too short: ignored
      .Record(FourCC("TDAT"), std::vector<uint8_t>(20, 0x10))  // the first usable pixels: kept
      .U32(FourCC("TWID"), 1)                               // sizes after the pixels: ignored
      .Record(FourCC("TDAT"), second);                      // a second block: ignored
  install.Write("TEXTURES/ODD.LMT", w.bytes());

  ProductTexture read;
  ASSERT_EQ(lmx::ReadInstalledTexture(&read.image, "ODD"), 1);
  ASSERT_EQ(read.Pixels(), kept);
  Report rep = Inspect("texture", w.bytes());
  EXPECT_EQ(Json({rep.content["width"], rep.content["height"], rep.content["averageBGRA"]}),
            Json({2, 2, Json::array({0x10, 0x10, 0x10, 0x10})}));
  uint32_t tw = 0, th = 0;
  EXPECT_EQ(TexturePixelsOf(WalkChunks(w.bytes()), &tw, &th), kept);
  EXPECT_EQ(std::pair(tw, th), std::pair(2u, 2u));
  for (const char* problem : {"pixels come before the width and height", "comes after the pixels",
                              "a second block of pixels; readers keep the first",
                              "12 bytes of pixels; 2 x 2 x 4 is 16; readers ignore them",
                              "20 bytes of pixels; 2 x 2 x 4 is 16; readers take the first 16"})
    EXPECT_TRUE(HasProblem(rep, problem)) << problem;

  // Pixels for a side the product refuses are not shown as read either.
  lmx::ChunkWriter huge(kTextureHeader);
  huge.U32(FourCC("TWID"), 16385).U32(FourCC("THIT"), 1).Record(FourCC("TDAT"), std::vector<uint8_t>(16385 * 4, 1));
  install.Write("TEXTURES/HUGE.LMT", huge.bytes());
  ProductTexture refused;
  EXPECT_EQ(lmx::ReadInstalledTexture(&refused.image, "HUGE"), 0);
  Report hugeRep = Inspect("texture", huge.bytes());
  EXPECT_EQ(hugeRep.content["width"], 0);
  EXPECT_FALSE(hugeRep.content.contains("averageBGRA"));
}

}  // namespace
}  // namespace lmxlib::test
