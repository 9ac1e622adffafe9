// Effects read from an installation. Named by their folder: the effect's shape and picked
// settings, the faults told apart, and textures read from TEXTURES. Through LMX_Render: the
// motion kind and the object count come from the effect's file; without a usable file it
// renders the default motion.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "common/chunk_writer.h"
#include "job_fixture.h"
#include "library/bytes.h"
#include "library/effect_record.h"
#include "library/texture_reader.h"
#include "library_folder.h"
#include "support/test_install.h"

namespace lmx::engine::test {
namespace {

class LibraryFolder : public ::testing::Test {
 protected:
  ChunkWriter Effect(const std::string& name, MotionKind kind = MotionKind::Tiles, uint32_t objects = 3) {
    ChunkWriter w(kEffectHeader);
    w.U32(FourCC("ETYP"), 2).U32(FourCC("ITYP"), static_cast<uint32_t>(kind));
    w.Text(FourCC("ENAM"), name).U32(FourCC("VCNT"), objects).U32(FourCC("OCNT"), 2);
    for (uint32_t i = 0; i < 2; ++i) {
      EffectOption o{};
      o.tag = static_cast<uint16_t>(1 + i);
      o.defaultValue = 3.0f + i;
      w.IndexedBytes(FourCC("OPTS"), i, &o, sizeof o);
    }
    return w;
  }
  // The frame at 7 of 20 that LMX_Render gives for the named effect, or RenderKind for the
  // kind (name null).
  std::vector<uint8_t> Frame(const char* name, MotionKind kind = MotionKind::Plane, uint32_t objects = 0) {
    JobFixture f(48, 48);
    f.settings().objectValues[1][Transparency] = 100;
    f.SetPosition(7, 20);
    if (name != nullptr) std::memcpy(f.settings().effectName, name, std::min<size_t>(std::strlen(name), 12));
    EXPECT_EQ(name != nullptr ? f.Render() : f.RenderKind(kind, objects), 0);
    EXPECT_TRUE(f.GuardsIntact());
    return f.Snapshot();
  }
  FolderRead Read(const std::string& name) { return ReadFolderEffect(install_.root(), name, &effect_); }

  lmx::test::TestInstall install_;
  FolderEffect effect_;
};

TEST_F(LibraryFolder, ReadsTheShapeAndTheBlockAsPickedInAnyCase) {
  install_.Write("EFFECTS/TILES3.LMI", Effect("TILES3").bytes());
  ASSERT_EQ(Read("tiles3"), FolderRead::Ok);
  EXPECT_EQ(effect_.shape.kind, MotionKind::Tiles);
  EXPECT_EQ(effect_.shape.objectCount, 3u);
  EXPECT_STREQ(effect_.settings.effectName, "TILES3");
  ASSERT_EQ(effect_.settings.specialCount, 2u);
  EXPECT_EQ(effect_.settings.specialValues[1].tag, 2);
  EXPECT_EQ(effect_.settings.specialValues[1].value, 4.0f);
  EXPECT_EQ(effect_.settings.generalValues[Direction], 0.0f);
}

TEST_F(LibraryFolder, TellsTheFaultsApart) {
  // The first record's payload cut short: nothing readable.
  install_.Write("EFFECTS/BROKEN.LMI", {'L', 'M', 'X', 'I', 'I', 'T', 'Y', 'P', 4, 0, 0, 0, 2});
  install_.Write("EFFECTS/OTHER.LMI", {'L', 'M', 'X', 'T', 0, 0, 0, 0});
  // Records cut short after the kind: read as far as they go, as an installation's are.
  install_.Write("EFFECTS/CUT.LMI", Effect("CUT").Raw({'O', 'P', 'T', 'S', 0xFF, 0, 0, 0, 1}).bytes());
  EXPECT_EQ(Read("NOSUCH"), FolderRead::Missing);
  EXPECT_EQ(Read("BROKEN"), FolderRead::Damaged);
  EXPECT_EQ(Read("OTHER"), FolderRead::Damaged);
  EXPECT_EQ(Read("CUT"), FolderRead::Ok);
  EXPECT_EQ(effect_.shape.kind, MotionKind::Tiles);
  for (const char* bad : {"", "NINECHARS", "../TILES3", "A.B", "C:X", "A\\B"})
    EXPECT_EQ(Read(bad), FolderRead::BadName) << bad;
  EXPECT_EQ(Read(std::string("AB\0CD", 5)), FolderRead::BadName);
  EXPECT_EQ(ReadFolderEffect(install_.root() + "/missing", "TILES3", &effect_), FolderRead::NoFolder);
  EXPECT_EQ(ReadFolderEffect("", "TILES3", &effect_), FolderRead::NoFolder);
  EXPECT_FALSE(effect_.shape.found);
}

TEST_F(LibraryFolder, ReadsTexturesFromTheFolder) {
  const uint8_t pixels[8] = {1, 2, 3, 255, 4, 5, 6, 255};
  ChunkWriter w(kTextureHeader);
  w.U32(FourCC("TWID"), 2).U32(FourCC("THIT"), 1).Record(FourCC("TDAT"), pixels, sizeof pixels);
  install_.Write("TEXTURES/PREVL_03.LMT", w.bytes());
  FolderTexture texture;
  ASSERT_TRUE(ReadFolderTexture(install_.root(), "PREVL_03", &texture));
  EXPECT_EQ(texture.width, 2u);
  EXPECT_EQ(texture.height, 1u);
  EXPECT_EQ(texture.pixels, std::vector<uint8_t>(pixels, pixels + 8));
  EXPECT_FALSE(ReadFolderTexture(install_.root(), "PREVL_04", &texture));
  EXPECT_TRUE(texture.pixels.empty());
}

TEST_F(LibraryFolder, KindAndObjectsComeFromTheFile) {
  install_.Write("EFFECTS/DOORS2.LMI", Effect("DOORS2", MotionKind::Doors, 2).bytes());
  install_.Write("EFFECTS/TILES1.LMI", Effect("TILES1", MotionKind::Tiles, 1).bytes());
  EXPECT_EQ(Frame("DOORS2"), Frame(nullptr, MotionKind::Doors, 2));
  EXPECT_EQ(Frame("TILES1"), Frame(nullptr, MotionKind::Tiles, 1));
  EXPECT_NE(Frame("TILES1"), Frame(nullptr, MotionKind::Tiles, 2));
}

TEST_F(LibraryFolder, MissingOddOrUnknownEffectsRenderTheDefault) {
  install_.Write("EFFECTS/WEIRD.LMI", Effect("WEIRD", static_cast<MotionKind>(1234), 0).bytes());
  install_.Write("EFFECTS/BROKEN.LMI", {'L', 'M', 'X', 'I', 9, 9});
  const std::vector<uint8_t> plane = Frame(nullptr);
  // The last: twelve characters and no terminating zero.
  for (const char* name : {"NOSUCH", "WEIRD", "", "..\\..\\X", "BROKEN", "ABCDEFGHIJKL"}) {
    EXPECT_EQ(Frame(name), plane) << name;
  }
}

}  // namespace
}  // namespace lmx::engine::test
