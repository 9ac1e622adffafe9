// lmxhost.exe --autopilot against the real LMX_GUI.DLL and engine, on a planted installation:
// the sheet opens, the picks land in the block, every page and preview frame is recorded,
// and failures end the run with a reason instead of hanging.
#include <gtest/gtest.h>

#include <filesystem>

#include "block_file.h"
#include "common/chunk_writer.h"
#include "library/bytes.h"
#include "library/effect_record.h"
#include "library/organization.h"
#include "model/effect_settings.h"
#include "run_host.h"
#include "support/registry_control.h"
#include "support/test_install.h"

namespace fs = std::filesystem;

namespace lmx::host {
namespace {

size_t CountFiles(const fs::path& dir, const std::string& prefix) {
  size_t n = 0;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(dir, ec)) n += entry.path().filename().string().rfind(prefix, 0) == 0;
  return n;
}

// An installation of two groups, three effects, with the engine in LIBS.
class AutopilotE2E : public ::testing::Test {
 protected:
  void SetUp() override {
    Effect("DOORA", "Doors Apart", 4);
    Effect("DOORB", "Doors Behind", 4);
    Effect("SPINA", "Spin Away", 8);
    ChunkWriter org(kOrganizationHeader);
    org.Text(FourCC("OGRP"), "Doors").Text(FourCC("OITM"), "DOORA").Text(FourCC("OITM"), "DOORB");
    org.Text(FourCC("OGRP"), "Spins").Text(FourCC("OITM"), "SPINA");
    install_.Write("ORGS/DEFAULT.ORG", org.bytes());
    ASSERT_TRUE(test::PlantModule(install_, "LIBS/LMX.DLL")) << "the engine LMX.DLL is not beside the test";
    for (auto [name, value] :
         {std::pair{"Prev_Frames", 6}, {"Prev_Speed", 30}, {"Prev_Quality", 0}, {"Prev_Render", 1}}) {
      lmx::test::SetRegistryDword(name, value);
    }
    out_ = install_.File("Out");
  }

  void Effect(const std::string& name, const std::string& longName, uint32_t kind) {
    ChunkWriter w(kEffectHeader);
    w.U32(FourCC("ETYP"), 0).U32(FourCC("ITYP"), kind).Text(FourCC("ENAM"), name).Text(FourCC("ELNM"), longName)
        .Text(FourCC("DESC"), longName + ", for the autopilot").U32(FourCC("VCNT"), 2)
        .IndexedText(FourCC("VDSC"), 0, "Left").IndexedText(FourCC("VDSC"), 1, "Right").U32(FourCC("FDIR"), 1)
        .U32(FourCC("FSHD"), 1).U32(FourCC("FMOT"), 1).F32(FourCC("BEST"), 40.0f);
    install_.Write("EFFECTS/" + name + ".LMI", w.bytes());
  }

  test::HostRun Autopilot(std::vector<std::string> extra) {
    std::vector<std::string> args = {"--autopilot", out_.string(), "--timeout", "60"};
    args.insert(args.end(), extra.begin(), extra.end());
    return test::RunHost(args, 240000);
  }

  EffectSettings Block() {
    EffectSettings block;
    EXPECT_EQ(LoadBlockFile(install_.File("Out/block.lri"), &block), BlockLoad::Loaded);
    return block;
  }

  // Preview frames of a pick: six are rendered; at this size some of them may look alike
  // (a picture fully flown off), and each look is kept once.
  void ExpectPreview(const char* pick, const test::HostRun& run) {
    size_t frames = CountFiles(out_ / pick, "frame-");
    EXPECT_TRUE(frames >= 3 && frames <= 6) << frames << " frames of " << pick << "\n" << run.output;
  }

  lmx::test::TestInstall install_;
  fs::path out_;
};

TEST_F(AutopilotE2E, DefaultPicksRecordEveryPageAndBothPreviews) {
  test::HostRun run = Autopilot({"--block", install_.File("kept.lri")});
  ASSERT_TRUE(test::Ended(run, 0));
  for (const char* page : {"page-1-fx.bmp", "page-2-options.bmp", "page-3-objects.bmp", "page-4-settings.bmp"}) {
    EXPECT_TRUE(fs::exists(out_ / page)) << page << "\n" << run.output;
  }
  EXPECT_FALSE(fs::exists(out_ / "page-5-settings.bmp")) << "four tabs outside filter mode";
  // First effect of each of the two groups.
  EXPECT_TRUE(test::Ended(run, 0, "-> \"Doors Apart\""));
  EXPECT_TRUE(test::Ended(run, 0, "-> \"Spin Away\""));
  ExpectPreview("pick-1", run);
  ExpectPreview("pick-2", run);
  EXPECT_EQ(run.output.find("did not come round"), std::string::npos) << run.output;
  EXPECT_TRUE(fs::exists(out_ / "pick-2" / "fx-page.bmp"));

  // A frame file is a 24-bit bitmap of the picture control's size.
  std::vector<uint8_t> frame = install_.Read("Out/pick-1/frame-001.bmp");
  ASSERT_GE(frame.size(), 54u);
  EXPECT_EQ(frame[0], 'B');
  EXPECT_EQ(frame[28], 24);

  EXPECT_STREQ(Block().effectName, "SPINA") << "the last pick is what OK confirms";
  const std::vector<uint8_t> dump = install_.Read("Out/block.txt");
  EXPECT_NE(std::string(dump.begin(), dump.end()).find("effectName: \"SPINA\""), std::string::npos);
  EXPECT_EQ(install_.Read("kept.lri"), install_.Read("Out/block.lri")) << "the host keeps the confirmed block";
}

TEST_F(AutopilotE2E, FilterModeChosenPicksAndPages) {
  test::HostRun run = Autopilot({"--filter", "--pick", "0:1", "--pages", "FX,Filter Options"});
  ASSERT_TRUE(test::Ended(run, 0, "5 pages"));
  EXPECT_TRUE(fs::exists(out_ / "page-1-fx.bmp"));
  EXPECT_TRUE(fs::exists(out_ / "page-3-filter-options.bmp")) << run.output;
  EXPECT_EQ(CountFiles(out_, "page-"), 2u) << "only the pages asked for";
  EXPECT_EQ(CountFiles(out_ / "pick-1", "frame-"), 1u) << "a filter preview is one frame\n" << run.output;
  EXPECT_FALSE(fs::exists(out_ / "pick-2"));
  EffectSettings block = Block();
  EXPECT_STREQ(block.effectName, "DOORB");
  EXPECT_EQ(block.generalValues[FilterFrames], 100.0f);
}

TEST_F(AutopilotE2E, AsksForARenderWhenThePreviewIsNotAutomatic) {
  lmx::test::SetRegistryDword("Prev_Render", 0);
  test::HostRun run = Autopilot({"--pick", "0:1", "--pages", "Objects"});
  ASSERT_TRUE(test::Ended(run, 0, "clicked Render"));
  ExpectPreview("pick-1", run);
  EXPECT_TRUE(fs::exists(out_ / "page-3-objects.bmp"));
  EXPECT_EQ(CountFiles(out_, "page-"), 1u) << run.output;
  EXPECT_STREQ(Block().effectName, "DOORB");
}

TEST_F(AutopilotE2E, APickThatIsNotThereFailsAndClosesTheSheet) {
  EXPECT_TRUE(test::Ended(Autopilot({"--pick", "2:0"}), 1, "there are only 2 groups"));
  EXPECT_FALSE(fs::exists(out_ / "block.lri")) << "nothing confirmed, nothing kept";
  EXPECT_TRUE(test::Ended(Autopilot({"--pick", "0:2"}), 1, "effect button 0:2"));
}

TEST_F(AutopilotE2E, TheModulesErrorBoxesAreReported) {
  install_.Remove("LIBS/LMX.DLL");
  EXPECT_TRUE(test::Ended(Autopilot({}), 1, "Error getting LMX.DLL."));
  // The box the module shows while it loads, before any sheet.
  install_.Remove("ORGS/DEFAULT.ORG");
  EXPECT_TRUE(test::Ended(Autopilot({}), 1, "Error reading LMX FX Organization file."));
}

}  // namespace
}  // namespace lmx::host
