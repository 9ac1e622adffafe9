// The preview through the real sheet and the instrumented engine: what each LMX_Render
// call receives per frame count and mode, Render/Stop, restart on change, closing the
// sheet during a render and playback order.
#include "sheet_fixture.h"

#include <set>
#include <tuple>

#include "common/chunk_writer.h"
#include "library/bytes.h"

namespace lmx::test {
namespace {

using PreviewE2E = SheetFixture;

int ProgressOf(const SheetRun& run) {
  return static_cast<int>(SendMessageA(run.Control(IDC_PANEL_PROGRESS), PBM_GETPOS, 0, 0));
}

TEST_F(PreviewE2E, FrameCountsDecideTheCalls) {
  for (auto [stored, count] : {std::pair{0u, 1}, {1u, 1}, {5u, 1}, {6u, 6}, {10u, 10}}) {
    SCOPED_TRACE("Prev_Frames " + std::to_string(stored));
    SetRegistryDword("Prev_Frames", stored);
    if (!dll_) Load();
    engine_->Reset(0);
    SheetRun& run = Open();
    EXPECT_EQ(run.Text(IDC_PANEL_RENDER), "Render");
    RenderAndWait(count);
    std::vector<EngineCall> calls = engine_->Calls();
    ASSERT_EQ(calls.size(), size_t(count));
    std::set<uint32_t> threads;
    for (int k = 0; k < count; ++k) {
      const EngineCall& call = calls[size_t(k)];
      // One frame renders at the bestPosition of DOORS.
      EXPECT_EQ(std::pair(call.position, call.lastPosition),
                count == 1 ? std::pair(50, 100) : std::pair(k, count - 1));
      EXPECT_EQ(std::tuple(call.objectCount, call.flags, call.hasAbort, call.hasProgress, call.threadPriority),
                std::tuple(2u, 1, 1, 0, THREAD_PRIORITY_LOWEST));
      EXPECT_EQ(std::tuple(call.frameWidth, call.frameHeight, call.targetFormat), std::tuple(32u, 32u, 0x204u));
      EXPECT_NE(call.threadId, GetCurrentThreadId());
      EXPECT_EQ(call.settings, &block_) << "the host's own block";
      threads.insert(call.threadId);
    }
    EXPECT_EQ(threads.size(), 1u) << "one render, one thread";
    EXPECT_EQ(ProgressOf(run), 0);
    EXPECT_EQ(run.Close(PSBTN_OK), 0);
  }
}

TEST_F(PreviewE2E, OneFrameMirrorsForFlyOnAndQualityPicksTheSize) {
  SetRegistryDword("Prev_Quality", 1);
  Load();
  block_.generalValues[Direction] = 1.0f;
  Open();
  ASSERT_TRUE(PickEffect(1, "SLIDE"));
  RenderAndWait(1);
  EngineCall call = engine_->Calls().at(0);
  EXPECT_EQ(std::tuple(call.position, call.lastPosition, call.objectCount, call.frameWidth),
            std::tuple(70, 100, 1u, 64u));
  EXPECT_STREQ(call.effectName, "SLIDE");
}

TEST_F(PreviewE2E, TexturesOfTheQualityReachTheEngineAndMissingOnesStayEmpty) {
  SetRegistryDword("Prev_Quality", 2);
  // PREVL_01 to PREVL_19 exist as 2 x 2 textures; PREVL_20 is missing; PREVS_01 would be
  // the wrong quality.
  for (int i = 1; i <= 19; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "PREVL_%02d", i);
    ChunkWriter w(FourCC("LMXT"));
    w.U32(FourCC("TWID"), 2).U32(FourCC("THIT"), 2).Record(FourCC("TDAT"), std::vector<uint8_t>(16, uint8_t(i)));
    install_.Write(std::string("TEXTURES/") + name + ".LMT", w.bytes());
  }
  Load();
  Open();
  RenderAndWait(1);
  EngineCall call = engine_->Calls().at(0);
  EXPECT_EQ(std::tuple(call.frameWidth, call.texturesWithPixels, call.firstTexturePixel),
            std::tuple(128u, 19, 0x01010101u));
  EXPECT_EQ(call.texturesOwned, 0) << "the engine is never to free a texture";
  EXPECT_STREQ(call.textureName[0], "PREVL_01");
  // The last one found, then the missing one.
  EXPECT_EQ(std::tuple(std::string(call.textureName[18]), call.textureFormat[18], call.textureWidth[18]),
            std::tuple(std::string("PREVL_19"), 0x1102u, 2u));
  EXPECT_EQ(std::tuple(std::string(call.textureName[19]), call.textureFormat[19], call.textureWidth[19]),
            std::tuple(std::string(), 0u, 0u));
}

TEST_F(PreviewE2E, FilterModeRendersTheFilterFrameWithProgress) {
  SetRegistryDword("Prev_Frames", 30);
  Load();
  block_.generalValues[FilterFrames] = 10.0f;
  block_.generalValues[FilterPercent] = 33.0f;
  engine_->Reset(0, 0, false);  // hold the first call
  SheetRun& run = Open(1);
  ASSERT_TRUE(StartRender(1));
  // The engine reported 50 %: the bar shows it (the timer does not move it in filter mode).
  EXPECT_TRUE(WaitUntil([&] { return ProgressOf(run) == 50; }));
  engine_->Release();
  ASSERT_TRUE(WaitUntil([&] { return run.Text(IDC_PANEL_RENDER) == "Render"; }));
  EXPECT_TRUE(WaitUntil([&] { return ProgressOf(run) == 0; })) << "emptied after the call";
  std::vector<EngineCall> calls = engine_->Calls();
  ASSERT_EQ(calls.size(), 1u) << "filter mode has one frame";
  EXPECT_EQ(std::tuple(calls[0].position, calls[0].lastPosition, calls[0].hasProgress), std::tuple(3, 10, 1));
}

TEST_F(PreviewE2E, ProgressFollowsTheFrameAndStopEndsTheRenderAfterTheCurrentCall) {
  SetRegistryDword("Prev_Frames", 10);
  Load();
  engine_->Reset(0, 3, false);  // frame 3 runs until released, deaf to the abort
  SheetRun& run = Open();
  ASSERT_TRUE(StartRender(4));
  EXPECT_TRUE(WaitForText(IDC_PANEL_RENDER, "Stop"));
  EXPECT_TRUE(WaitUntil([&] { return ProgressOf(run) == 40; })) << ProgressOf(run);
  run.Click(IDC_PANEL_RENDER);
  EXPECT_EQ(run.Text(IDC_PANEL_RENDER), "Wait...");
  engine_->Release();
  EXPECT_TRUE(WaitForText(IDC_PANEL_RENDER, "Render"));
  EXPECT_EQ(engine_->CallCount(), 4) << "no call after the stop";
  EXPECT_EQ(engine_->Active(), 0);
  EXPECT_TRUE(WaitUntil([&] { return ProgressOf(run) == 0; }));

  // An abort-honouring engine returns at its next poll.
  engine_->Reset(0, 2, true);
  ASSERT_TRUE(StartRender(3));
  run.Click(IDC_PANEL_RENDER);
  EXPECT_TRUE(WaitForText(IDC_PANEL_RENDER, "Render"));
  std::vector<EngineCall> calls = engine_->Calls();
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_TRUE(calls[2].aborted);
}

TEST_F(PreviewE2E, ChangesDuringARenderStopItFirstAndTheNewestSettingsRenderWhole) {
  SetRegistryDword("Prev_Frames", 10);
  SetRegistryDword("Prev_Render", 1);
  Load();
  engine_->Reset(0, 2);    // calls from frame 2 on wait for an abort or the release
  SheetRun& run = Open();  // the FX page starts a render by itself
  ASSERT_TRUE(WaitUntil([&] { return engine_->CallCount() == 3; }));
  run.Click(IDC_FX_BUTTON_FIRST + 2);  // SPIN
  run.Click(IDC_FX_BUTTON_FIRST + 3);  // FLIP: two changes while a frame renders
  ASSERT_STREQ(block_.effectName, "FLIP");
  engine_->Release();
  ASSERT_TRUE(WaitUntil([&] { return engine_->CallCount() >= 13 && run.Text(IDC_PANEL_RENDER) == "Render"; }));
  std::vector<EngineCall> calls = engine_->Calls();
  for (const EngineCall& call : calls) EXPECT_FALSE(call.settingsChanged) << "a page wrote during a call";
  for (int k = 0; k < 10; ++k) {
    const EngineCall& call = calls[calls.size() - 10 + size_t(k)];
    EXPECT_EQ(std::tuple(call.position, std::string(call.effectName), call.objectCount, call.aborted),
              std::tuple(k, std::string("FLIP"), 3u, 0));
  }
  EXPECT_EQ(engine_->MaxActive(), 1);
}

TEST_F(PreviewE2E, PickingDuringARenderKeepsTheRecordTheRenderStartedWith) {
  SetRegistryDword("Prev_Frames", 20);
  Load();
  engine_->Reset(15);
  SheetRun& run = Open();
  run.Click(IDC_PANEL_RENDER);
  ASSERT_TRUE(WaitUntil([&] { return engine_->CallCount() >= 2; }));
  for (int entry : {1, 2, 3, 4, 0, 1}) run.Click(IDC_FX_BUTTON_FIRST + entry);
  ASSERT_TRUE(WaitForText(IDC_PANEL_RENDER, "Render", 20000));
  for (const EngineCall& call : engine_->Calls()) EXPECT_EQ(call.objectCount, 2u) << "DOORS, read at the start";
}

// A deaf engine shows both halves of the teardown: it asks the call to stop, and waits for it.
TEST_F(PreviewE2E, ClosingDuringARenderStopsAndWaitsForIt) {
  SetRegistryDword("Prev_Frames", 10);
  Load();
  engine_->Reset(0, 3, false);
  SheetRun& run = Open();
  ASSERT_TRUE(StartRender(4));
  run.Press(PSBTN_CANCEL);
  ASSERT_TRUE(WaitUntil([&] { return engine_->AbortSeen(); }));
  EXPECT_FALSE(WaitUntil([&] { return run.finished(); }, 300));
  engine_->Release();
  EXPECT_EQ(run.Finish(), 1);
  EXPECT_EQ(engine_->Active(), 0) << "no call runs after the sheet has closed";
  EXPECT_EQ(engine_->CallCount(), 4);
}

TEST_F(PreviewE2E, PlaybackShowsTheFramesInOrderFromFrameZero) {
  SetRegistryDword("Prev_Frames", 6);
  SetRegistryDword("Prev_Speed", 4);  // slow enough that the sampler sees every frame
  Load();
  SheetRun& run = Open();
  run.Click(IDC_PANEL_RENDER);
  std::vector<int> seen;
  WaitUntil(
      [&] {
        int k = run.FrameShown();
        if (k >= 0 && (seen.empty() || seen.back() != k)) seen.push_back(k);
        return seen.size() >= 8;
      },
      15000);
  ASSERT_GE(seen.size(), 8u);
  EXPECT_EQ(seen[0], 0) << "playback starts with frame 0";
  for (size_t i = 1; i < seen.size(); ++i) EXPECT_EQ(seen[i], (seen[i - 1] + 1) % 6) << "step " << i;
}

}  // namespace
}  // namespace lmx::test
