// The FX page and the shared panel through the real sheet: picking effects into the
// host's block, the group list and the grid, the owner-drawn frames, the speed trackbar
// and help requests.
#include <mutex>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "import_patch.h"
#include "sheet_fixture.h"

namespace lmx::test {
namespace {

using FxPageE2E = SheetFixture;

COLORREF PixelOf(HWND window, int x, int y) {
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  HDC dc = GetDC(window);
  COLORREF colour = GetPixel(dc, x, y);
  ReleaseDC(window, dc);
  return colour;
}

TEST_F(FxPageE2E, PanelShowsTheBlocksEffectAndTheGridItsGroup) {
  Load();
  SheetRun& run = Open();
  EXPECT_EQ(run.Text(IDC_PANEL_NAME_BOX), "Double Doors");
  EXPECT_EQ(run.Text(IDC_PANEL_DESCRIPTION), "Two doors open.");
  EXPECT_EQ(SendMessageA(run.Control(IDC_FX_GROUP_LIST), CB_GETCOUNT, 0, 0), 2);
  EXPECT_EQ(SendMessageA(run.Control(IDC_FX_GROUP_LIST), CB_GETCURSEL, 0, 0), 0);
  for (int id = IDC_FX_BUTTON_FIRST; id <= IDC_FX_BUTTON_LAST; ++id) {  // five effects in "Doors"
    EXPECT_EQ(IsWindowVisible(run.Control(id)) != 0, id < IDC_FX_BUTTON_FIRST + 5) << id;
    EXPECT_EQ(IsWindowEnabled(run.Control(id)) != 0, id < IDC_FX_BUTTON_FIRST + 5) << id;
  }
  SendMessageA(run.Control(IDC_FX_GROUP_LIST), CB_SETCURSEL, 1, 0);
  run.Command(IDC_FX_GROUP_LIST, CBN_SELCHANGE);
  ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(run.Control(IDC_FX_BUTTON_FIRST + 1)) && !IsWindowVisible(run.Control(IDC_FX_BUTTON_FIRST + 2)); }));
  EXPECT_STREQ(block_.effectName, "DOORS") << "changing the group picks nothing";
  run.Click(IDC_FX_BUTTON_FIRST + 1);
  ASSERT_TRUE(WaitUntil([&] { return std::strcmp(block_.effectName, "BOX") == 0; }));
  EXPECT_TRUE(WaitForText(IDC_PANEL_NAME_BOX, "BOX long"));
  EXPECT_EQ(run.Text(IDC_PANEL_DESCRIPTION), "BOX text");
  EXPECT_EQ(PressAndFinish(run, PSBTN_OK), 0);
}

TEST_F(FxPageE2E, PickingSeedsSpecialValuesAndForcesUnsupportedOptionsOff) {
  Load();
  block_.generalValues[Shadows] = 1.0f;
  block_.generalValues[BlurPercent] = 50.0f;
  block_.generalValues[BlurCount] = 4.0f;
  for (auto& row : block_.objectValues) row[PathRotation] = 90.0f;
  SheetRun& run = Open();
  EXPECT_EQ(block_.specialCount, 1u) << "DOORS has one option";
  EXPECT_EQ(block_.generalValues[Shadows], 1.0f) << "DOORS supports shadows";

  run.Click(IDC_FX_BUTTON_FIRST + 1);  // SLIDE: no direction, shadows or motion blur; no options
  ASSERT_TRUE(WaitUntil([&] { return std::strcmp(block_.effectName, "SLIDE") == 0; }));
  EXPECT_EQ(block_.generalValues[Shadows], 0.0f);
  EXPECT_EQ(block_.generalValues[BlurPercent], 0.0f);
  EXPECT_EQ(block_.generalValues[BlurCount], 0.0f);
  for (auto& row : block_.objectValues) EXPECT_EQ(row[PathRotation], 0.0f);
  EXPECT_EQ(block_.specialCount, 0u);

  run.Click(IDC_FX_BUTTON_FIRST);  // DOORS again: its option default
  ASSERT_TRUE(WaitUntil([&] { return std::strcmp(block_.effectName, "DOORS") == 0; }));
  ASSERT_EQ(block_.specialCount, 1u);
  EXPECT_EQ(block_.specialValues[0].tag, 7);
  EXPECT_EQ(block_.specialValues[0].value, 40.0f);
  EXPECT_EQ(PressAndFinish(run, PSBTN_OK), 0);
}

TEST_F(FxPageE2E, SelectedButtonIsSunkenOnlyInItsGroup) {
  Load();
  SheetRun& run = Open();
  COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
  COLORREF highlight = GetSysColor(COLOR_BTNHIGHLIGHT);
  ASSERT_NE(shadow, highlight);
  EXPECT_TRUE(WaitUntil([&] { return PixelOf(run.Control(IDC_FX_BUTTON_FIRST), 1, 1) == shadow; })) << "selected: sunken";
  EXPECT_TRUE(WaitUntil([&] { return PixelOf(run.Control(IDC_FX_BUTTON_FIRST + 1), 1, 1) == highlight; })) << "others: raised";
  run.Click(IDC_FX_BUTTON_FIRST + 2);
  EXPECT_TRUE(WaitUntil([&] { return PixelOf(run.Control(IDC_FX_BUTTON_FIRST + 2), 1, 1) == shadow; }));
  EXPECT_TRUE(WaitUntil([&] { return PixelOf(run.Control(IDC_FX_BUTTON_FIRST), 1, 1) == highlight; }));
  // In the other group the same position is raised; back in the first it is sunken.
  SendMessageA(run.Control(IDC_FX_GROUP_LIST), CB_SETCURSEL, 1, 0);
  run.Command(IDC_FX_GROUP_LIST, CBN_SELCHANGE);
  EXPECT_TRUE(WaitUntil([&] { return PixelOf(run.Control(IDC_FX_BUTTON_FIRST), 1, 1) == highlight; }));
  SendMessageA(run.Control(IDC_FX_GROUP_LIST), CB_SETCURSEL, 0, 0);
  run.Command(IDC_FX_GROUP_LIST, CBN_SELCHANGE);
  EXPECT_TRUE(WaitUntil([&] { return PixelOf(run.Control(IDC_FX_BUTTON_FIRST + 2), 1, 1) == shadow; }));
  EXPECT_EQ(PressAndFinish(run, PSBTN_OK), 0);
}

TEST_F(FxPageE2E, IconsAreDrawnInTheIconModesOnly) {
  const COLORREF icon = RGB(0xF0, 0x80, 0x20);
  install_.Write("EFFECTS/DOORS.BMP", BitmapFile(4, 4, icon, icon));
  for (uint32_t mode : {0u, 1u, 2u}) {
    SCOPED_TRACE("Eff_Display " + std::to_string(mode));
    SetRegistryDword("Eff_Display", mode);
    Load(!engine_.has_value());
    SheetRun& run = Open();
    HWND button = run.Control(IDC_FX_BUTTON_FIRST);
    if (mode == 1) {
      // Give the page time to paint; the icon must never appear.
      EXPECT_FALSE(WaitUntil([&] { return PixelOf(button, 4, 4) == icon; }, 300));
    } else {
      EXPECT_TRUE(WaitUntil([&] { return PixelOf(button, 4, 4) == icon; }));
    }
    // An effect without an icon file keeps an empty button, framed all the same.
    EXPECT_NE(PixelOf(run.Control(IDC_FX_BUTTON_FIRST + 1), 4, 4), icon);
    EXPECT_EQ(PressAndFinish(run, PSBTN_OK), 0);
    run_.reset();
    dll_.reset();
  }
}

TEST_F(FxPageE2E, SpeedTrackbarFollowsTheSettingAndIsHiddenInFilterMode) {
  SetRegistryDword("Prev_Speed", 12);
  Load();
  SheetRun& run = Open();
  for (int page : {0, 1, 2}) {
    run.SelectPage(page);
    ASSERT_TRUE(WaitUntil([&] { return run.CurrentIndex() == page; }));
    HWND speed = run.Control(IDC_PANEL_SPEED);
    ASSERT_NE(speed, nullptr);
    EXPECT_TRUE(IsWindowVisible(speed));
    EXPECT_EQ(SendMessageA(speed, TBM_GETPOS, 0, 0), 12);
    EXPECT_EQ(SendMessageA(speed, TBM_GETRANGEMIN, 0, 0), 1);
    EXPECT_EQ(SendMessageA(speed, TBM_GETRANGEMAX, 0, 0), 30);
  }
  // A speed set on one page holds on the next.
  SendMessageA(run.Control(IDC_PANEL_SPEED), TBM_SETPOS, TRUE, 7);
  SendMessageA(run.CurrentPage(), WM_HSCROLL, TB_ENDTRACK, reinterpret_cast<LPARAM>(run.Control(IDC_PANEL_SPEED)));
  run.SelectPage(0);
  ASSERT_TRUE(WaitUntil([&] { return run.CurrentIndex() == 0; }));
  EXPECT_EQ(SendMessageA(run.Control(IDC_PANEL_SPEED), TBM_GETPOS, 0, 0), 7);
  EXPECT_EQ(PressAndFinish(run, PSBTN_OK), 0);

  SheetRun& filter = Open(1);
  for (int page : {0, 1, 2, 3}) {
    filter.SelectPage(page);
    ASSERT_TRUE(WaitUntil([&] { return filter.CurrentIndex() == page; }));
    HWND speed = filter.Control(IDC_PANEL_SPEED);
    ASSERT_NE(speed, nullptr);
    EXPECT_FALSE(IsWindowVisible(speed)) << page;
    EXPECT_FALSE(IsWindowEnabled(speed)) << page;
  }
  EXPECT_EQ(PressAndFinish(filter, PSBTN_CANCEL), 1);
}

TEST_F(FxPageE2E, SpeedZeroPlaysAtTenFramesPerSecond) {
  SetRegistryDword("Prev_Speed", 0);
  Load();
  SheetRun& run = Open();
  EXPECT_EQ(SendMessageA(run.Control(IDC_PANEL_SPEED), TBM_GETPOS, 0, 0), 10);
  EXPECT_EQ(PressAndFinish(run, PSBTN_OK), 0);
}

// What the module's own WinHelpA calls carried, caught by redirecting its import of
// WinHelpA: the help file, the command, and for the window help commands the control
// and the context the help system would find for it in the table the module passed.
struct HelpCall {
  UINT command;
  int control;
  DWORD context;
  std::string file;
};

std::mutex g_helpMutex;
std::vector<HelpCall> g_helpCalls;

// The context of the first pair for the control in a (control, context) table ended by
// (0, 0), as the help system reads it.
DWORD ContextInTable(const DWORD* table, int control) {
  for (const DWORD* pair = table; pair && pair[0] != 0; pair += 2)
    if (pair[0] == static_cast<DWORD>(control)) return pair[1];
  return 0;
}

BOOL WINAPI RecordWinHelp(HWND window, LPCSTR file, UINT command, ULONG_PTR data) {
  HelpCall call{command, window ? GetDlgCtrlID(window) : 0, 0, file ? file : "(null)"};
  if (command == HELP_WM_HELP || command == HELP_CONTEXTMENU)
    call.context = ContextInTable(reinterpret_cast<const DWORD*>(data), call.control);
  else if (data != 0)
    call.context = 0xFFFFFFFFu;  // HELP_FINDER carries no data
  std::lock_guard<std::mutex> lock(g_helpMutex);
  g_helpCalls.push_back(call);
  return TRUE;
}

class HelpE2E : public SheetFixture {
 protected:
  void LoadWithHelpSpy() {
    Load();
    {
      std::lock_guard<std::mutex> lock(g_helpMutex);
      g_helpCalls.clear();
    }
    patch_.emplace(static_cast<HMODULE>(dll_->handle()), "user32.dll", "WinHelpA",
                   reinterpret_cast<void*>(&RecordWinHelp));
    ASSERT_TRUE(patch_->active()) << "LMX_GUI.DLL imports WinHelpA from USER32";
  }
  void TearDown() override {
    // The sheet closes first, then the import is put back while the module is loaded.
    run_.reset();
    patch_.reset();
    SheetFixture::TearDown();
  }
  // One WinHelp call as a line: command, control, help context, file.
  static std::string Line(UINT command, int control, DWORD context, const std::string& file) {
    return std::to_string(command) + " " + std::to_string(control) + " " + std::to_string(context) + " " + file;
  }
  std::vector<std::string> Lines() {
    std::lock_guard<std::mutex> lock(g_helpMutex);
    std::vector<std::string> lines;
    for (const HelpCall& call : g_helpCalls) lines.push_back(Line(call.command, call.control, call.context, call.file));
    return lines;
  }
  void AskHelpFor(HWND page, int id) {
    HELPINFO info{};
    info.cbSize = sizeof info;
    info.iContextType = HELPINFO_WINDOW;
    info.iCtrlId = id;
    info.hItemHandle = GetDlgItem(page, id);
    SendMessageA(page, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
  }
  std::optional<ImportPatch> patch_;
};

TEST_F(HelpE2E, HelpButtonF1AndContextMenuOnPanelPagesAndTheSettingsPage) {
  LoadWithHelpSpy();
  SheetRun& run = Open();
  std::string helpFile = install_.registryPath() + "\\HELP\\LMXSlct.HLP";
  run.Press(PSBTN_HELP);
  ASSERT_TRUE(WaitUntil([&] { return Lines().size() == 1; }));
  EXPECT_EQ(Lines()[0], Line(HELP_FINDER, 0, 0, helpFile));
  AskHelpFor(run.CurrentPage(), IDC_PANEL_SPEED);
  SendMessageA(run.CurrentPage(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(run.Control(IDC_FX_GROUP_LIST)), 0);
  ASSERT_EQ(Lines().size(), 3u);
  EXPECT_EQ(Lines()[1], Line(HELP_WM_HELP, IDC_PANEL_SPEED, 7, helpFile));
  EXPECT_EQ(Lines()[2], Line(HELP_CONTEXTMENU, IDC_FX_GROUP_LIST, 101, helpFile));

  run.SelectPage(3);  // Settings
  ASSERT_TRUE(WaitUntil([&] { return run.CurrentIndex() == 3; }));
  run.Press(PSBTN_HELP);
  ASSERT_TRUE(WaitUntil([&] { return Lines().size() == 4; }));
  EXPECT_EQ(Lines()[3], Line(HELP_FINDER, 0, 0, helpFile));
  AskHelpFor(run.CurrentPage(), IDC_SET_PREVIEW_SPEED);
  ASSERT_EQ(Lines().size(), 5u);
  EXPECT_EQ(Lines()[4], Line(HELP_WM_HELP, IDC_SET_PREVIEW_SPEED, 7, helpFile)) << "its first entry";
  run.Press(PSBTN_CANCEL);
  EXPECT_EQ(run.Finish(), 1) << "Cancel from the Settings page is a cancel";
}

}  // namespace
}  // namespace lmx::test
