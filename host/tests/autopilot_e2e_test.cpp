// lmxhost.exe --autopilot against the real LMX_GUI.DLL and engine, on a planted installation:
// the sheet opens, the picks land in the block, every page and preview frame is recorded,
// and failures end the run with a reason instead of hanging.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

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

constexpr unsigned long kRunMs = 240000;

std::string ProgramFolder() {
  char exe[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, exe, MAX_PATH);
  return fs::path(exe).parent_path().string();
}

std::vector<uint8_t> ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

size_t CountFiles(const fs::path& dir, const std::string& prefix) {
  size_t n = 0;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(dir, ec)) {
    if (entry.path().filename().string().rfind(prefix, 0) == 0) ++n;
  }
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
    std::error_code ec;
    fs::copy_file(fs::path(ProgramFolder()) / "LMX.DLL", install_.File("LIBS/LMX.DLL"), ec);
    ASSERT_FALSE(ec) << "the engine LMX.DLL is not beside the test";
    lmx::test::SetRegistryDword("Prev_Frames", 6);
    lmx::test::SetRegistryDword("Prev_Speed", 30);
    lmx::test::SetRegistryDword("Prev_Quality", 0);
    lmx::test::SetRegistryDword("Prev_Render", 1);

    auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    out_ = fs::temp_directory_path() / ("lmxhost-autopilot-" + std::to_string(stamp));
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(out_, ignored);
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
    return test::RunHost(args, kRunMs);
  }

  EffectSettings Block() {
    std::vector<uint8_t> bytes = ReadAll(out_ / "block.lri");
    EffectSettings block;
    std::memset(&block, 0, sizeof block);
    EXPECT_EQ(bytes.size(), sizeof block);
    if (bytes.size() == sizeof block) std::memcpy(&block, bytes.data(), sizeof block);
    return block;
  }

  lmx::test::TestInstall install_;
  fs::path out_;
};

TEST_F(AutopilotE2E, DefaultPicksRecordEveryPageAndBothPreviews) {
  fs::path kept = out_.string() + "-kept.lri";
  test::HostRun run = Autopilot({"--block", kept.string()});
  ASSERT_TRUE(run.finished) << run.output;
  ASSERT_EQ(run.exitCode, 0u) << run.output;

  for (const char* page : {"page-1-fx.bmp", "page-2-options.bmp", "page-3-objects.bmp", "page-4-settings.bmp"}) {
    EXPECT_TRUE(fs::exists(out_ / page)) << page << "\n" << run.output;
  }
  EXPECT_FALSE(fs::exists(out_ / "page-5-settings.bmp")) << "four tabs outside filter mode";
  // First effect of each of the two groups. Six frames are rendered; at this size some of
  // them may look alike (a picture fully flown off), and each look is kept once.
  EXPECT_NE(run.output.find("-> \"Doors Apart\""), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("-> \"Spin Away\""), std::string::npos) << run.output;
  for (const char* pick : {"pick-1", "pick-2"}) {
    size_t frames = CountFiles(out_ / pick, "frame-");
    EXPECT_GE(frames, 3u) << pick << "\n" << run.output;
    EXPECT_LE(frames, 6u) << pick << "\n" << run.output;
  }
  EXPECT_EQ(run.output.find("did not come round"), std::string::npos) << run.output;
  EXPECT_TRUE(fs::exists(out_ / "pick-2" / "fx-page.bmp"));

  // A frame file is a 24-bit bitmap of the picture control's size.
  std::vector<uint8_t> frame = ReadAll(out_ / "pick-1" / "frame-001.bmp");
  ASSERT_GE(frame.size(), 54u);
  EXPECT_EQ(frame[0], 'B');
  EXPECT_EQ(frame[28], 24);

  EffectSettings block = Block();
  EXPECT_STREQ(block.effectName, "SPINA") << "the last pick is what OK confirms";
  std::string dump;
  {
    std::ifstream in(out_ / "block.txt");
    dump.assign(std::istreambuf_iterator<char>(in), {});
  }
  EXPECT_NE(dump.find("effectName: \"SPINA\""), std::string::npos) << dump;
  EXPECT_EQ(ReadAll(kept), ReadAll(out_ / "block.lri")) << "the host keeps the confirmed block";
  std::error_code ignored;
  fs::remove(kept, ignored);
}

TEST_F(AutopilotE2E, FilterModeChosenPicksAndPages) {
  test::HostRun run = Autopilot({"--filter", "--pick", "0:1", "--pages", "FX,Filter Options"});
  ASSERT_TRUE(run.finished) << run.output;
  ASSERT_EQ(run.exitCode, 0u) << run.output;
  EXPECT_NE(run.output.find("5 pages"), std::string::npos) << run.output;
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
  ASSERT_TRUE(run.finished) << run.output;
  ASSERT_EQ(run.exitCode, 0u) << run.output;
  EXPECT_NE(run.output.find("clicked Render"), std::string::npos) << run.output;
  size_t frames = CountFiles(out_ / "pick-1", "frame-");
  EXPECT_GE(frames, 3u) << run.output;
  EXPECT_LE(frames, 6u) << run.output;
  EXPECT_TRUE(fs::exists(out_ / "page-3-objects.bmp"));
  EXPECT_EQ(CountFiles(out_, "page-"), 1u) << run.output;
  EXPECT_STREQ(Block().effectName, "DOORB");
}

TEST_F(AutopilotE2E, APickThatIsNotThereFailsAndClosesTheSheet) {
  test::HostRun run = Autopilot({"--pick", "2:0"});
  ASSERT_TRUE(run.finished) << "the sheet was left open\n" << run.output;
  EXPECT_EQ(run.exitCode, 1u);
  EXPECT_NE(run.output.find("there are only 2 groups"), std::string::npos) << run.output;
  EXPECT_FALSE(fs::exists(out_ / "block.lri")) << "nothing confirmed, nothing kept";

  test::HostRun missing = Autopilot({"--pick", "0:2"});
  ASSERT_TRUE(missing.finished) << missing.output;
  EXPECT_EQ(missing.exitCode, 1u);
  EXPECT_NE(missing.output.find("effect button 0:2"), std::string::npos) << missing.output;
}

TEST_F(AutopilotE2E, TheModulesErrorBoxesAreReported) {
  install_.Remove("LIBS/LMX.DLL");
  test::HostRun run = Autopilot({});
  ASSERT_TRUE(run.finished) << "the error box was left open\n" << run.output;
  EXPECT_EQ(run.exitCode, 1u);
  EXPECT_NE(run.output.find("Error getting LMX.DLL."), std::string::npos) << run.output;

  // The box the module shows while it loads, before any sheet.
  install_.Remove("ORGS/DEFAULT.ORG");
  test::HostRun load = Autopilot({});
  ASSERT_TRUE(load.finished) << "the error box was left open\n" << load.output;
  EXPECT_EQ(load.exitCode, 1u);
  EXPECT_NE(load.output.find("Error reading LMX FX Organization file."), std::string::npos) << load.output;
}

}  // namespace
}  // namespace lmx::host
