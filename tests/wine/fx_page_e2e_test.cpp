// The FX page and the shared panel through the real sheet: picking effects into the
// host's block, the group list and the grid, the owner-drawn frames, the speed trackbar
// and help requests.
#include <mutex>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "import_patch.h"
#include "sheet_fixture.h"

namespace lmx::test {
namespace {

using FxPageE2E = SheetFixture;

// The FX page's buttons with the group "Doors" of five effects shown, and "Cubes" of two.
const char kDoorsShown[] = "1111100000000000";
const char kCubesShown[] = "1100000000000000";

// A pixel of the window once it has painted itself again.
COLORREF PixelOf(HWND window, int x, int y) {
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  return PixelAt(window, x, y);
}

TEST_F(FxPageE2E, OpeningPicksTheBlocksEffectShownInThePanelAndTheGridItsGroup) {
  Load();
  SheetRun& run = Open();
  // What a pick does to the block is the selection's rule (tests/core); opening picks the
  // block's own effect.
  EXPECT_EQ(block_.specialCount, 1u) << "DOORS has one option";
  EXPECT_EQ(run.Text(IDC_PANEL_NAME_BOX), "Double Doors");
  EXPECT_EQ(run.Text(IDC_PANEL_DESCRIPTION), "Two doors open.");
  EXPECT_EQ(run.ListCount(IDC_FX_GROUP_LIST), 2);
  EXPECT_EQ(run.ListSelection(IDC_FX_GROUP_LIST), 0);
  EXPECT_EQ(run.FxButtons(), kDoorsShown);
  run.Choose(IDC_FX_GROUP_LIST, 1);
  ASSERT_TRUE(WaitUntil([&] { return run.FxButtons() == kCubesShown; })) << run.FxButtons();
  EXPECT_STREQ(block_.effectName, "DOORS") << "changing the group picks nothing";
  ASSERT_TRUE(PickEffect(1, "BOX"));
  EXPECT_TRUE(WaitForText(IDC_PANEL_NAME_BOX, "BOX long"));
  EXPECT_EQ(run.Text(IDC_PANEL_DESCRIPTION), "BOX text");
}

TEST_F(FxPageE2E, SelectedButtonIsSunkenOnlyInItsGroup) {
  Load();
  SheetRun& run = Open();
  const COLORREF sunken = GetSysColor(COLOR_BTNSHADOW), raised = GetSysColor(COLOR_BTNHIGHLIGHT);
  ASSERT_NE(sunken, raised);
  // The top left pixel of button `entry` becomes `colour`.
  auto becomes = [&](int entry, COLORREF colour) {
    return WaitUntil([&] { return PixelOf(run.Control(IDC_FX_BUTTON_FIRST + entry), 1, 1) == colour; });
  };
  EXPECT_TRUE(becomes(0, sunken)) << "selected";
  EXPECT_TRUE(becomes(1, raised)) << "others";
  run.Click(IDC_FX_BUTTON_FIRST + 2);
  EXPECT_TRUE(becomes(2, sunken));
  EXPECT_TRUE(becomes(0, raised));
  // In the other group the same position is raised; back in the first it is sunken.
  run.Choose(IDC_FX_GROUP_LIST, 1);
  EXPECT_TRUE(becomes(0, raised));
  run.Choose(IDC_FX_GROUP_LIST, 0);
  EXPECT_TRUE(becomes(2, sunken));
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
    // In mode 1 the page has time to paint, and the icon must never appear.
    EXPECT_EQ(WaitUntil([&] { return PixelOf(button, 4, 4) == icon; }, mode == 1 ? 300 : 10000), mode != 1);
    // An effect without an icon file keeps an empty button, framed all the same.
    EXPECT_NE(PixelOf(run.Control(IDC_FX_BUTTON_FIRST + 1), 4, 4), icon);
    EXPECT_EQ(run.Close(PSBTN_OK), 0);
    run_.reset();
    dll_.reset();
  }
}

TEST_F(FxPageE2E, SpeedTrackbarFollowsTheSettingAndIsHiddenInFilterMode) {
  SetRegistryDword("Prev_Speed", 12);
  Load();
  SheetRun& run = Open();
  for (int page : {kFxPage, kOptionsPage, kObjectsPage}) {
    ASSERT_TRUE(run.ShowPage(page));
    EXPECT_EQ(std::tuple(IsWindowVisible(run.Control(IDC_PANEL_SPEED)) != 0, run.Position(IDC_PANEL_SPEED),
                         run.Send(IDC_PANEL_SPEED, TBM_GETRANGEMIN), run.Send(IDC_PANEL_SPEED, TBM_GETRANGEMAX)),
              std::tuple(true, 12, 1, 30))
        << page;
  }
  // A speed set on one page holds on the next.
  run.Scroll(IDC_PANEL_SPEED, 7, TB_ENDTRACK);
  ASSERT_TRUE(run.ShowPage(kFxPage));
  EXPECT_EQ(run.Position(IDC_PANEL_SPEED), 7);

  SheetRun& filter = Open(1);
  for (int page : {0, 1, 2, 3}) {
    ASSERT_TRUE(filter.ShowPage(page));
    ASSERT_NE(filter.Control(IDC_PANEL_SPEED), nullptr) << page;
    EXPECT_FALSE(IsWindowVisible(filter.Control(IDC_PANEL_SPEED)) || IsWindowEnabled(filter.Control(IDC_PANEL_SPEED)))
        << page;
  }
}

TEST_F(FxPageE2E, SpeedZeroPlaysAtTenFramesPerSecond) {
  SetRegistryDword("Prev_Speed", 0);
  Load();
  EXPECT_EQ(Open().Position(IDC_PANEL_SPEED), 10);
}

// What the module's own WinHelpA calls carried, caught by redirecting its import of
// WinHelpA, one line a call: the command, for the window help commands the control and
// the context the help system would find for it in the table the module passed, the file.
std::mutex g_helpMutex;
std::vector<std::string> g_helpLines;

std::string HelpLine(UINT command, int control, DWORD context, const std::string& file) {
  return std::to_string(command) + " " + std::to_string(control) + " " + std::to_string(context) + " " + file;
}

// The context of the first pair for the control in a (control, context) table ended by
// (0, 0), as the help system reads it.
DWORD ContextInTable(const DWORD* table, int control) {
  for (const DWORD* pair = table; pair && pair[0] != 0; pair += 2)
    if (pair[0] == static_cast<DWORD>(control)) return pair[1];
  return 0;
}

BOOL WINAPI RecordWinHelp(HWND window, LPCSTR file, UINT command, ULONG_PTR data) {
  const int control = window ? GetDlgCtrlID(window) : 0;
  DWORD context = 0;
  if (command == HELP_WM_HELP || command == HELP_CONTEXTMENU)
    context = ContextInTable(reinterpret_cast<const DWORD*>(data), control);
  else if (data != 0)
    context = 0xFFFFFFFFu;  // HELP_FINDER carries no data
  std::lock_guard<std::mutex> lock(g_helpMutex);
  g_helpLines.push_back(HelpLine(command, control, context, file ? file : "(null)"));
  return TRUE;
}

class HelpE2E : public SheetFixture {
 protected:
  void LoadWithHelpSpy() {
    Load();
    {
      std::lock_guard<std::mutex> lock(g_helpMutex);
      g_helpLines.clear();
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
  std::vector<std::string> Lines() {
    std::lock_guard<std::mutex> lock(g_helpMutex);
    return g_helpLines;
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
  EXPECT_EQ(Lines()[0], HelpLine(HELP_FINDER, 0, 0, helpFile));
  AskHelpFor(run.CurrentPage(), IDC_PANEL_SPEED);
  SendMessageA(run.CurrentPage(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(run.Control(IDC_FX_GROUP_LIST)), 0);
  ASSERT_EQ(Lines().size(), 3u);
  EXPECT_EQ(Lines()[1], HelpLine(HELP_WM_HELP, IDC_PANEL_SPEED, 7, helpFile));
  EXPECT_EQ(Lines()[2], HelpLine(HELP_CONTEXTMENU, IDC_FX_GROUP_LIST, 101, helpFile));

  ASSERT_TRUE(run.ShowPage(kSettingsPage));
  run.Press(PSBTN_HELP);
  ASSERT_TRUE(WaitUntil([&] { return Lines().size() == 4; }));
  EXPECT_EQ(Lines()[3], HelpLine(HELP_FINDER, 0, 0, helpFile));
  AskHelpFor(run.CurrentPage(), IDC_SET_PREVIEW_SPEED);
  ASSERT_EQ(Lines().size(), 5u);
  EXPECT_EQ(Lines()[4], HelpLine(HELP_WM_HELP, IDC_SET_PREVIEW_SPEED, 7, helpFile)) << "its first entry";
  run.Press(PSBTN_CANCEL);
  EXPECT_EQ(run.Finish(), 1) << "Cancel from the Settings page is a cancel";
}

}  // namespace
}  // namespace lmx::test
