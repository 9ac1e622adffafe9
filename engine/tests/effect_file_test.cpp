// LMX_Render takes the motion kind and the object count from the effect's file in the
// installation; without a usable file it renders the default motion.
#include <gtest/gtest.h>

#include <cstring>

#include "common/chunk_writer.h"
#include "job_fixture.h"
#include "library/bytes.h"
#include "library/effect_record.h"
#include "support/test_install.h"

namespace lmx::engine::test {
namespace {

class EffectFile : public ::testing::Test {
 protected:
  void Plant(const std::string& name, uint32_t kind, uint32_t objects) {
    ChunkWriter w(kEffectHeader);
    w.U32(FourCC("ETYP"), 1).U32(FourCC("ITYP"), kind).Text(FourCC("ENAM"), name).U32(FourCC("VCNT"), objects);
    install_.Write("EFFECTS/" + name + ".LMI", w.bytes());
  }
  // The frame that LMX_Render gives for the named effect at 7 of 20.
  std::vector<uint8_t> ByName(const char* name) {
    JobFixture f(48, 48);
    std::memcpy(f.settings().effectName, name, std::min<size_t>(std::strlen(name), 12));
    f.settings().objectValues[1][Transparency] = 100;
    f.SetPosition(7, 20);
    EXPECT_EQ(f.Render(), 0);
    EXPECT_TRUE(f.GuardsIntact());
    return f.Snapshot();
  }
  std::vector<uint8_t> ByKind(MotionKind kind, uint32_t objects) {
    JobFixture f(48, 48);
    f.settings().objectValues[1][Transparency] = 100;
    f.SetPosition(7, 20);
    EXPECT_EQ(f.RenderKind(kind, objects), 0);
    return f.Snapshot();
  }
  lmx::test::TestInstall install_;
};

TEST_F(EffectFile, KindAndObjectsComeFromTheFile) {
  Plant("DOORS2", static_cast<uint32_t>(MotionKind::Doors), 2);
  Plant("TILES1", static_cast<uint32_t>(MotionKind::Tiles), 1);
  EXPECT_EQ(ByName("DOORS2"), ByKind(MotionKind::Doors, 2));
  EXPECT_EQ(ByName("TILES1"), ByKind(MotionKind::Tiles, 1));
  EXPECT_NE(ByName("TILES1"), ByKind(MotionKind::Tiles, 2));
}

TEST_F(EffectFile, MissingOddOrUnknownEffectsRenderTheDefault) {
  Plant("WEIRD", 1234, 0);
  std::vector<uint8_t> plane = ByKind(MotionKind::Plane, 0);
  EXPECT_EQ(ByName("NOSUCH"), plane);
  EXPECT_EQ(ByName("WEIRD"), plane);
  EXPECT_EQ(ByName(""), plane);
  EXPECT_EQ(ByName("..\\..\\X"), plane);
  // Twelve characters and no terminating zero.
  EXPECT_EQ(ByName("ABCDEFGHIJKL"), plane);
  install_.Write("EFFECTS/BROKEN.LMI", {'L', 'M', 'X', 'I', 9, 9});
  EXPECT_EQ(ByName("BROKEN"), plane);
}

}  // namespace
}  // namespace lmx::engine::test
