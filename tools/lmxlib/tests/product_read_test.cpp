// Files lmxlib builds, read back by the product's own readers; and odd files, whose dump
// must show what the product reads.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/chunk_writer.h"
#include "config/installed_files.h"
#include "library/organization.h"
#include "library/texture_reader.h"
#include "lmxlib/examine.h"
#include "lmxlib/organization_format.h"
#include "lmxlib/texture_format.h"
#include "support/test_install.h"
#include "test_util.h"

namespace lmxlib::test {
namespace {

using lmx::FourCC;

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

TEST(ProductRead, BuiltOrganizationReadsBackThroughTheProduct) {
  lmx::test::TestInstall install;
  TempDir dir;
  Json source = {{"groups",
                  {{{"name", "Planes"}, {"effects", {"FLYAWAY", "SPINOUT"}}},
                   {{"name", std::string(40, 'L')}, {"effects", Json::array()}},
                   {{"name", "Sixteen"}, {"effects", Json::array()}}}}};
  for (int i = 0; i < 16; ++i) source["groups"][2]["effects"].push_back("E" + std::to_string(i));
  WriteText(dir / "MINE.json", source.dump());
  ASSERT_EQ(Lmxlib({"build", dir / "MINE.json", "-o", install.File("ORGS/MINE.ORG")}).status, 0);

  lmx::Organization org;
  ASSERT_EQ(ReadInstalledOrganization(org, "MINE"), 1);
  EXPECT_EQ(ProductGroups(org), source["groups"]);
  EXPECT_EQ(org.FindEntryOf("SPINOUT"), 1);
}

TEST(ProductRead, BuiltTextureReadsBackThroughTheProduct) {
  lmx::test::TestInstall install;
  TempDir dir;
  const int w = 5, h = 3;
  WriteBytes(dir / "PIC.bmp", MakeBmp(w, h, 32, [](int x, int y) {
               return std::tuple<int, int, int>(x * 40, y * 80, 200 - x * y);
             }));
  ASSERT_EQ(Lmxlib({"build", dir / "PIC.bmp", "-o", install.File("TEXTURES/PREVS_01.LMT")}).status, 0);

  ProductTexture read;
  ASSERT_EQ(lmx::ReadInstalledTexture(&read.image, "PREVS_01"), 1);
  EXPECT_EQ(read.image.width, uint32_t(w));
  EXPECT_EQ(read.image.height, uint32_t(h));
  EXPECT_EQ(read.image.formatCode, lmx::kTextureFormat);
  EXPECT_EQ(read.Pixels(), TexturePixels(DecodePicture(ReadBytes(dir / "PIC.bmp"))));
  // What lmxlib's own readers take from the file is what the product took.
  uint32_t tw = 0, th = 0;
  EXPECT_EQ(TexturePixelsOf(WalkChunks(ReadBytes(install.File("TEXTURES/PREVS_01.LMT"))), &tw, &th), read.Pixels());
}

TEST(ProductRead, DumpOfOddOrganizationsShowsWhatTheProductReads) {
  lmx::test::TestInstall install;
  lmx::ChunkWriter w(kOrganizationHeader);
  w.Record(FourCC("OGRP"), nullptr, 0)  // a group with no name at all
      .Text(FourCC("OITM"), "FIRST")
      .Text(FourCC("OITM"), "")           // an entry without a name keeps its place
      .Record(FourCC("OITM"), nullptr, 0)
      .Text(FourCC("OITM"), "AFTER")
      .Record(FourCC("OGRP"), "Unended", 7);
  install.Write("ORGS/ODD.ORG", w.bytes());

  lmx::Organization org;
  ASSERT_EQ(ReadInstalledOrganization(org, "ODD"), 1);
  Report rep = Inspect("organization", w.bytes());
  EXPECT_EQ(rep.content["groups"], ProductGroups(org));
  EXPECT_EQ(rep.content["groups"][0]["effects"], Json({"FIRST", "", "", "AFTER"}));
  EXPECT_EQ(rep.content["groups"][0]["name"], "");
  for (const char* problem : {"group without a name", "entry without a name", "no terminating zero"})
    EXPECT_TRUE(HasProblem(rep, problem)) << problem;
}

TEST(ProductRead, DumpOfOddTexturesShowsWhatTheProductReads) {
  lmx::test::TestInstall install;
  const std::vector<uint8_t> first(16, 0x10), second(16, 0xF0);
  lmx::ChunkWriter w(kTextureHeader);
  w.Record(FourCC("TDAT"), second)  // before the sizes: ignored
      .U32(FourCC("TWID"), 2)
      .U32(FourCC("THIT"), 2)
      .Record(FourCC("TDAT"), first)   // the first usable pixels: kept
      .U32(FourCC("TWID"), 1)          // sizes after the pixels: ignored
      .Record(FourCC("TDAT"), second);  // a second block: ignored
  install.Write("TEXTURES/ODD.LMT", w.bytes());

  ProductTexture read;
  ASSERT_EQ(lmx::ReadInstalledTexture(&read.image, "ODD"), 1);
  ASSERT_EQ(read.Pixels(), first);
  Report rep = Inspect("texture", w.bytes());
  EXPECT_EQ(rep.content["width"], 2);
  EXPECT_EQ(rep.content["height"], 2);
  EXPECT_EQ(rep.content["averageBGRA"], Json({0x10, 0x10, 0x10, 0x10}));
  uint32_t tw = 0, th = 0;
  EXPECT_EQ(TexturePixelsOf(WalkChunks(w.bytes()), &tw, &th), first);
  EXPECT_EQ(tw, 2u);

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
