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
  lmx::test::TestInstall install_;
};

TEST_F(EffectFile, KindAndObjectsComeFromTheFile) {
  Plant("DOORS2", static_cast<uint32_t>(MotionKind::Doors), 2);
  Plant("TILES1", static_cast<uint32_t>(MotionKind::Tiles), 1);
  EXPECT_EQ(Frame("DOORS2"), Frame(nullptr, MotionKind::Doors, 2));
  EXPECT_EQ(Frame("TILES1"), Frame(nullptr, MotionKind::Tiles, 1));
  EXPECT_NE(Frame("TILES1"), Frame(nullptr, MotionKind::Tiles, 2));
}

TEST_F(EffectFile, MissingOddOrUnknownEffectsRenderTheDefault) {
  Plant("WEIRD", 1234, 0);
  install_.Write("EFFECTS/BROKEN.LMI", {'L', 'M', 'X', 'I', 9, 9});
  const std::vector<uint8_t> plane = Frame(nullptr);
  // The last: twelve characters and no terminating zero.
  for (const char* name : {"NOSUCH", "WEIRD", "", "..\\..\\X", "BROKEN", "ABCDEFGHIJKL"}) {
    EXPECT_EQ(Frame(name), plane) << name;
  }
}

}  // namespace
}  // namespace lmx::engine::test
