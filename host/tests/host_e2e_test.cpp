// lmxhost.exe run as a program on a planted installation: `render` through the real engine
// (every frame of the frame's size, from clip A to clip B the right way up, bad inputs
// refused with a reason) and `info` through the real LMX_GUI.DLL.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "block_file.h"
#include "bmp_read.h"
#include "common/chunk_writer.h"
#include "library/bytes.h"
#include "library/effect_record.h"
#include "library/organization.h"
#include "run_host.h"
#include "support/test_install.h"

namespace fs = std::filesystem;

namespace lmx::host {
namespace {

// A picture whose top half is one colour and bottom half another (B, G, R).
Image Halves(int width, int height, uint32_t top, uint32_t bottom) {
  Image image{width, height, {}};
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      for (int byte = 0; byte < 4; ++byte) image.bgrx.push_back(uint8_t((y < height / 2 ? top : bottom) >> (8 * byte)));
  return image;
}

uint32_t PixelAt(const Image& image, int x, int y) {
  const uint8_t* p = &image.bgrx[(size_t(y) * size_t(image.width) + size_t(x)) * 4];
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16;
}

constexpr uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF;

class HostRender : public ::testing::Test {
 protected:
  void SetUp() override {
    ChunkWriter w(kEffectHeader);
    w.U32(FourCC("ETYP"), 0).U32(FourCC("ITYP"), 1).Text(FourCC("ENAM"), "PLANE").U32(FourCC("VCNT"), 1);
    install_.Write("EFFECTS/PLANE.LMI", w.bytes());
    ASSERT_TRUE(test::PlantModule(install_, "LIBS/LMX.DLL")) << "the engine LMX.DLL is not beside the test";
    dir_ = fs::path(install_.root()) / "Work";
    EffectSettings block = {};
    std::strcpy(block.effectName, "PLANE");
    ASSERT_TRUE(SaveBlockFile(Path("block.lri"), block));
    ASSERT_TRUE(WriteBmp24(Path("a.bmp"), Halves(64, 48, kRed, kGreen)));
    ASSERT_TRUE(WriteBmp24(Path("b.bmp"), Halves(64, 48, kBlue, kBlue)));
  }

  std::string Path(const std::string& name) const { return (dir_ / name).string(); }

  test::HostRun Render(const std::string& a, const std::string& size, const std::string& block = "block.lri") {
    return test::RunHost({"render", Path(a), Path("b.bmp"), "--size", size, "--frames", "5", "-o", Path("out"),
                          "--block", Path(block)},
                         120000);
  }

  lmx::test::TestInstall install_;
  fs::path dir_;
};

TEST_F(HostRender, WritesEveryFrameOfTheSizeFromClipAToClipB) {
  ASSERT_TRUE(test::Ended(Render("a.bmp", "80x60"), 0));
  Image frames[5];
  std::string error;
  for (int k = 0; k < 5; ++k) {
    ASSERT_TRUE(ReadBmp(Path("out/frame-000" + std::to_string(k) + ".bmp"), 4096, &frames[k], &error)) << error;
    EXPECT_EQ(frames[k].width, 80);
    EXPECT_EQ(frames[k].height, 60);
  }
  EXPECT_FALSE(fs::exists(Path("out/frame-0005.bmp")));
  EXPECT_NE(Fingerprint(frames[0]), Fingerprint(frames[4]));
  // The transition starts on clip A, upright, and ends on clip B.
  EXPECT_EQ(PixelAt(frames[0], 40, 5), kRed);
  EXPECT_EQ(PixelAt(frames[0], 40, 55), kGreen);
  EXPECT_EQ(PixelAt(frames[4], 40, 30), kBlue);
}

TEST_F(HostRender, BadInputsAreRefusedWithAReason) {
  WriteBmp24(Path("cut.bmp"), Halves(64, 48, kRed, kGreen));
  fs::resize_file(Path("cut.bmp"), 1000);
  struct Case {
    const char* clip;
    const char* size;
    const char* block;
    unsigned long status;
    const char* reason;
  };
  for (const Case& c : {Case{"none.bmp", "80x60", "block.lri", 1, "cannot open"},
                        Case{"cut.bmp", "80x60", "block.lri", 1, "cut short"},
                        Case{"a.bmp", "80x60", "none.lri", 1, "choose a transition"},
                        Case{"a.bmp", "80x0", "block.lri", 2, "--size"}}) {
    EXPECT_TRUE(test::Ended(Render(c.clip, c.size, c.block), c.status, c.reason));
  }
}

TEST(HostInfo, PrintsTheFieldsTheModuleFillsOrWhyNot) {
  lmx::test::TestInstall install;
  // An organization that loads (with no groups), so the module starts without its
  // "Cannot continue" box.
  install.Write("ORGS/DEFAULT.ORG", ChunkWriter(kOrganizationHeader).bytes());
  ChunkWriter w(kEffectHeader);
  w.U32(FourCC("ETYP"), 7).Text(FourCC("ENAM"), "DOORS").Text(FourCC("ELNM"), "Double Doors").U32(FourCC("VCNT"), 2);
  install.Write("EFFECTS/DOORS.LMI", w.bytes());
  EXPECT_TRUE(test::Ended(test::RunHost({"info", "DOORS"}, 60000), 0,
                          "effectType: 7\r\nshortName: DOORS\r\nlongName: Double Doors\r\nobjectCount: 2\r\n"));
  EXPECT_TRUE(test::Ended(test::RunHost({"info", "DOORS", "--dll", "NO_SUCH_MODULE.DLL"}, 60000), 1,
                          "cannot load NO_SUCH_MODULE.DLL"));
  EXPECT_TRUE(test::Ended(test::RunHost({"info"}, 60000), 2, "usage:"));
}

}  // namespace
}  // namespace lmx::host
