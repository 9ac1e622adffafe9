// The render protocol through the real sheet and the instrumented engine: a Render click
// as a render ends, what a change and a Render click do to the picture and the playback,
// automatic preview from every parameter page, and the page timers.
#include "sheet_fixture.h"

#include <algorithm>
#include <mutex>
#include <utility>
#include <vector>

namespace lmx::test {
namespace {

using RenderProtocolE2E = SheetFixture;

// Words in the picture: pixels in the colour of button text, on the face colour.
bool TextInPicture(const SheetRun& run) {
  HWND picture = run.Control(IDC_PANEL_PICTURE);
  RECT rect;
  GetClientRect(picture, &rect);
  HDC dc = GetDC(picture);
  int text = 0, face = 0;
  for (int y = 0; y < rect.bottom; y += 2)
    for (int x = 0; x < rect.right; ++x) {
      const COLORREF c = GetPixel(dc, x, y);
      text += c == GetSysColor(COLOR_BTNTEXT);
      face += c == GetSysColor(COLOR_BTNFACE);
    }
  ReleaseDC(picture, dc);
  return text > 0 && face > text;
}

// The engine's calls end with one whole render of `frames` frames of `effect`, from 0.
bool EndsWithWholeRender(const std::vector<EngineCall>& calls, int frames, const char* effect) {
  if (calls.size() < size_t(frames)) return false;
  for (int k = 0; k < frames; ++k) {
    const EngineCall& call = calls[calls.size() - size_t(frames) + size_t(k)];
    if (call.position != k || call.aborted || std::strcmp(call.effectName, effect) != 0) return false;
  }
  return true;
}

TEST_F(RenderProtocolE2E, RenderClickedAsARenderEndsThenAChangeRendersOnceAtATime) {
  SetRegistryDword("Prev_Frames", 6);
  SetRegistryDword("Prev_Render", 1);
  Load();
  for (int round = 0; round < 8; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    engine_->Reset(0, 2, false);  // frame 2 waits for the release, deaf to the stop
    SheetRun& run = Open();       // the FX page renders by itself
    ASSERT_TRUE(WaitUntil([&] { return engine_->CallCount() == 3; }));
    run.Click(IDC_PANEL_RENDER);  // Stop
    EXPECT_EQ(run.Text(IDC_PANEL_RENDER), "Wait...");
    engine_->Release();
    // Render again while the stopped render is ending: at once, or a little later.
    if (round % 2) WaitUntil([&] { return engine_->Active() == 0; }, 50);
    run.Click(IDC_PANEL_RENDER);
    run.Click(IDC_FX_BUTTON_FIRST + 1 + round % 4);  // a change: another effect
    char wanted[12] = {};
    std::memcpy(wanted, block_.effectName, sizeof wanted - 1);
    ASSERT_TRUE(WaitUntil([&] {
      return run.Text(IDC_PANEL_RENDER) == "Render" && EndsWithWholeRender(engine_->Calls(), 6, wanted);
    })) << "the change was not rendered whole; calls " << engine_->CallCount();
    EXPECT_EQ(engine_->MaxActive(), 1) << "never two renders at once";
    EXPECT_TRUE(WaitUntil([&] { return run.FrameShown() >= 0; })) << "the picture plays the complete render";
    EXPECT_EQ(run.Close(PSBTN_OK), 0);
    EXPECT_EQ(engine_->Active(), 0);
    run_.reset();
  }
}

// After a complete render, a change (with automatic preview) or a Render click clears the
// picture, and no playback paints it over while the new render waits at its first frame.
TEST_F(RenderProtocolE2E, AChangeOrRenderAfterACompleteRenderClearsThePictureAndStopsPlayback) {
  SetRegistryDword("Prev_Frames", 6);
  for (bool automatic : {true, false}) {
    SCOPED_TRACE(automatic ? "a change" : "Render");
    SetRegistryDword("Prev_Render", automatic);
    dll_.reset();  // the module reads the settings as it loads
    Load(!engine_.has_value());
    engine_->Reset(0);
    SheetRun& run = Open();
    if (!automatic) run.Click(IDC_PANEL_RENDER);
    ASSERT_TRUE(WaitUntil([&] { return engine_->CallCount() == 6 && run.FrameShown() >= 0; }));
    engine_->Reset(0, 0, false);
    run.Click(automatic ? IDC_FX_BUTTON_FIRST + 2 : IDC_PANEL_RENDER);
    EXPECT_TRUE(WaitUntil([&] { return run.PictureCentre() == GetSysColor(COLOR_BTNFACE); }));
    EXPECT_FALSE(WaitUntil([&] { return run.FrameShown() >= 0; }, 400)) << "playback stopped";
    EXPECT_TRUE(WaitForText(IDC_PANEL_RENDER, "Stop"));
    engine_->Release();
    EXPECT_TRUE(WaitUntil([&] { return run.Text(IDC_PANEL_RENDER) == "Render" && run.FrameShown() >= 0; }));
    EXPECT_EQ(run.Close(PSBTN_OK), 0);
    run_.reset();
  }
}

TEST_F(RenderProtocolE2E, AFailedRenderIsShownNotPlayedAndTheNextChangeTriesAgain) {
  SetRegistryDword("Prev_Frames", 6);
  SetRegistryDword("Prev_Render", 1);
  Load();
  engine_->Fail(true);
  SheetRun& run = Open();  // the FX page renders by itself; the engine fails its first frame
  ASSERT_TRUE(WaitUntil([&] { return TextInPicture(run); })) << "the picture says the render failed";
  EXPECT_EQ(engine_->CallCount(), 1) << "no frame after the failed one";
  EXPECT_EQ(run.Text(IDC_PANEL_RENDER), "Render");
  engine_->Fail(false);
  run.Click(IDC_FX_BUTTON_FIRST + 2);  // a change
  EXPECT_TRUE(WaitUntil([&] { return run.FrameShown() >= 0; })) << "rendered again, and played";
  EXPECT_FALSE(TextInPicture(run));
}

TEST_F(RenderProtocolE2E, AutomaticPreviewStartsFromIdleAfterAChangeOnEveryParameterPage) {
  SetRegistryDword("Prev_Render", 1);
  Load();
  engine_->Reset(0);
  SheetRun& run = Open(1);  // filter mode: FX, Options, Filter Options, Objects, Settings
  ASSERT_TRUE(WaitUntil([&] { return engine_->CallCount() == 1 && run.Text(IDC_PANEL_RENDER) == "Render"; }));
  for (auto [page, control] :
       {std::pair{1, IDC_OPT_LIGHTING}, {2, IDC_FILTER_CENTER_OBJECTS}, {3, IDC_OBJ_ROTATES_WITH_PATH}}) {
    SCOPED_TRACE("page " + std::to_string(page));
    ASSERT_TRUE(run.ShowPage(page));
    const int before = engine_->CallCount();
    EXPECT_EQ(run.Text(IDC_PANEL_RENDER), "Render") << "idle";
    run.Click(control);
    EXPECT_TRUE(WaitUntil([&] { return engine_->CallCount() == before + 1 && run.Text(IDC_PANEL_RENDER) == "Render"; }))
        << "calls " << engine_->CallCount();
  }
}

// Every WM_TIMER the sheet's thread takes from its queue, by window and timer.
std::mutex g_tickMutex;
std::vector<std::pair<HWND, WPARAM>> g_ticks;

LRESULT CALLBACK RecordTimers(int code, WPARAM wParam, LPARAM lParam) {
  const auto* message = reinterpret_cast<const MSG*>(lParam);
  if (code == HC_ACTION && wParam == PM_REMOVE && message && message->message == WM_TIMER) {
    std::lock_guard<std::mutex> lock(g_tickMutex);
    g_ticks.push_back({message->hwnd, message->wParam});
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

int TicksOf(HWND window, WPARAM timer) {
  std::lock_guard<std::mutex> lock(g_tickMutex);
  return static_cast<int>(std::count(g_ticks.begin(), g_ticks.end(), std::pair(window, timer)));
}

TEST_F(RenderProtocolE2E, TheTimersStopWhenAPageIsLeft) {
  Load();
  SheetRun& run = Open();
  ASSERT_TRUE(run.ShowPage(1));  // Options
  HWND options = run.CurrentPage();
  HHOOK hook = SetWindowsHookExA(WH_GETMESSAGE, RecordTimers, nullptr, GetWindowThreadProcessId(run.sheet(), nullptr));
  ASSERT_NE(hook, nullptr);
  EXPECT_TRUE(WaitUntil([&] { return TicksOf(options, 101) >= 2 && TicksOf(options, 102) >= 2; }))
      << "the active page's progress and playback timers run";
  ASSERT_TRUE(run.ShowPage(2));  // Objects
  HWND objects = run.CurrentPage();
  const int progressBefore = TicksOf(options, 101);
  const int playbackBefore = TicksOf(options, 102);
  // Once the Objects page has ticked a few times, the Options page has ticked no more
  // (a tick already queued when the page was left may still arrive: one at most).
  EXPECT_TRUE(WaitUntil([&] { return TicksOf(objects, 101) >= 3 && TicksOf(objects, 102) >= 3; }));
  EXPECT_LE(TicksOf(options, 101), progressBefore + 1);
  EXPECT_LE(TicksOf(options, 102), playbackBefore + 1);
  // The Settings page has no panel and no timers; the page left for it stops too.
  ASSERT_TRUE(run.ShowPage(3));
  const int objectsBefore = TicksOf(objects, 101);
  EXPECT_FALSE(WaitUntil([&] { return TicksOf(objects, 101) > objectsBefore + 1; }, 700));
  UnhookWindowsHookEx(hook);
}

}  // namespace
}  // namespace lmx::test
