// The dialog templates inside the real LMX_GUI.DLL, control by control: each dialog is
// created from the DLL's resources and every control is compared, in template order
// (which is the tab order), with the layout tables below: identifier, window class, the
// styles that decide its behaviour, text, and place and size in dialog units.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "platform/module.h"
#include "resources/resource_ids.h"
#include "sheet_harness.h"
#include "support/test_install.h"

namespace lmx {
namespace {

enum class Kind {
  GroupBox,
  PushButton,
  OwnerDrawButton,
  AutoRadio,
  AutoCheckBox,
  Label,             // left-aligned, word-wrapped static text
  LabelNoWrap,       // left-aligned static text without word wrap
  SunkenBlackFrame,  // outline only, sunken edge
  SunkenGreyFrame,
  ReadOnlyMultiLineEdit,
  DropDownList,
  SortedDropDownList,
  TrackbarTicksOnTop,  // automatic ticks, drawn above the channel
  TrackbarTicks,       // automatic ticks, drawn below the channel
  TrackbarNoTicks,
  ProgressBar,
};

struct Control {
  int id;
  Kind kind;
  const char* text;
  int x, y, cx, cy;
  bool group = false;  // starts a group of the dialog (WS_GROUP)
};

struct KindTraits {
  const char* className;
  DWORD mask;
  DWORD value;
};

KindTraits TraitsOf(Kind kind) {
  constexpr DWORD kTrackbarBits = TBS_AUTOTICKS | TBS_VERT | TBS_TOP | TBS_NOTICKS | WS_TABSTOP;
  constexpr DWORD kComboBits = 3 | CBS_SORT | WS_TABSTOP;
  switch (kind) {
    case Kind::GroupBox: return {"Button", BS_TYPEMASK, BS_GROUPBOX};
    // A push button may have become the default button when it got the focus.
    case Kind::PushButton: return {"Button", (BS_TYPEMASK & ~1u) | WS_TABSTOP, WS_TABSTOP};
    case Kind::OwnerDrawButton:
      return {"Button", BS_TYPEMASK | WS_TABSTOP, BS_OWNERDRAW | WS_TABSTOP};
    case Kind::AutoRadio: return {"Button", BS_TYPEMASK, BS_AUTORADIOBUTTON};
    case Kind::AutoCheckBox:
      return {"Button", BS_TYPEMASK | WS_TABSTOP, BS_AUTOCHECKBOX | WS_TABSTOP};
    case Kind::Label: return {"Static", SS_TYPEMASK, SS_LEFT};
    case Kind::LabelNoWrap: return {"Static", SS_TYPEMASK, SS_LEFTNOWORDWRAP};
    case Kind::SunkenBlackFrame:
      return {"Static", SS_TYPEMASK | SS_SUNKEN, SS_BLACKFRAME | SS_SUNKEN};
    case Kind::SunkenGreyFrame:
      return {"Static", SS_TYPEMASK | SS_SUNKEN, SS_GRAYFRAME | SS_SUNKEN};
    case Kind::ReadOnlyMultiLineEdit:
      return {"Edit", ES_MULTILINE | ES_READONLY | WS_VSCROLL,
              ES_MULTILINE | ES_READONLY | WS_VSCROLL};
    case Kind::DropDownList:
      return {"ComboBox", kComboBits, CBS_DROPDOWNLIST | WS_TABSTOP};
    case Kind::SortedDropDownList:
      return {"ComboBox", kComboBits, CBS_DROPDOWNLIST | CBS_SORT | WS_TABSTOP};
    case Kind::TrackbarTicksOnTop:
      return {TRACKBAR_CLASSA, kTrackbarBits, TBS_AUTOTICKS | TBS_TOP | WS_TABSTOP};
    case Kind::TrackbarTicks: return {TRACKBAR_CLASSA, kTrackbarBits, TBS_AUTOTICKS | WS_TABSTOP};
    case Kind::TrackbarNoTicks: return {TRACKBAR_CLASSA, kTrackbarBits, TBS_NOTICKS | WS_TABSTOP};
    case Kind::ProgressBar: return {PROGRESS_CLASSA, 0, 0};
  }
  return {"?", 0, 1};
}

bool IsCombo(Kind kind) { return kind == Kind::DropDownList || kind == Kind::SortedDropDownList; }

using Table = std::vector<Control>;

Table Join(std::initializer_list<Table> parts) {
  Table all;
  for (const Table& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

// ---- Layout tables ----------------------------------------------------------------

const Table kPanel = {
    {IDC_PANEL_NAME_BOX, Kind::GroupBox, "Selected FX", 180, 5, 130, 185},
    {IDC_PANEL_DESCRIPTION, Kind::ReadOnlyMultiLineEdit, "", 185, 20, 120, 60},
    {IDC_STATIC, Kind::SunkenGreyFrame, "", 185, 85, 120, 90},
    {IDC_PANEL_PICTURE, Kind::SunkenBlackFrame, "", 196, 88, 100, 75},
    {IDC_PANEL_PROGRESS, Kind::ProgressBar, "", 187, 165, 116, 8},
    {IDC_PANEL_SPEED, Kind::TrackbarNoTicks, "", 192, 178, 78, 11},
    {IDC_PANEL_RENDER, Kind::PushButton, "Render", 275, 176, 30, 12},
};

const Table kAboutBox = {
    {IDC_ABOUT_PICTURE, Kind::SunkenBlackFrame, "", 5, 5, 145, 120},
    {IDC_ABOUT_TITLE, Kind::LabelNoWrap, "Lumora FX", 160, 10, 215, 15},
    {IDC_ABOUT_RELEASE, Kind::LabelNoWrap, "Static", 160, 30, 150, 15},
    {IDC_ABOUT_LOGO, Kind::SunkenBlackFrame, "", 315, 85, 60, 40},
};

Table FxButtons() {
  const int columns[] = {15, 55, 95, 135};
  const int rows[] = {50, 84, 119, 154};
  Table buttons;
  for (int n = 0; n < IDC_FX_BUTTON_COUNT; ++n) {
    buttons.push_back({IDC_FX_BUTTON_FIRST + n, Kind::OwnerDrawButton, "", columns[n % 4],
                       rows[n / 4], 35, 30, true});
  }
  return buttons;
}

const Table kFxPage = Join({
    {
        {IDC_STATIC, Kind::GroupBox, "FX Group", 10, 5, 165, 30},
        {IDC_FX_GROUP_LIST, Kind::DropDownList, "", 15, 17, 155, 175},
        {IDC_FX_ICONS_BOX, Kind::GroupBox, "FX Icons", 10, 35, 165, 155},
    },
    FxButtons(),
    kPanel,
});

const Table kOptionsPage = Join({
    {
        {IDC_STATIC, Kind::Label, "Type:", 10, 5, 30, 10},
        {IDC_OPT_FLY_OFF, Kind::AutoRadio, "Fly-Off", 65, 5, 35, 10, true},
        {IDC_OPT_FLY_ON, Kind::AutoRadio, "Fly-On", 110, 5, 35, 10},
        {IDC_OPT_SMOOTH, Kind::AutoRadio, "Smooth", 65, 20, 40, 10, true},
        {IDC_OPT_FLAT, Kind::AutoRadio, "Flat", 110, 20, 25, 10},
        {IDC_OPT_WIRE, Kind::AutoRadio, "Wire", 145, 20, 30, 10},
        {IDC_OPT_QUALITY_FASTEST, Kind::AutoRadio, "Fastest", 65, 35, 40, 10, true},
        {IDC_OPT_QUALITY_BEST, Kind::AutoRadio, "Best", 110, 35, 35, 10},
        {IDC_OPT_IMAGE_FASTEST, Kind::AutoRadio, "Fastest", 65, 50, 40, 10, true},
        {IDC_OPT_IMAGE_BEST, Kind::AutoRadio, "Best", 110, 50, 35, 10},
        {IDC_OPT_ANTIALIAS, Kind::TrackbarTicksOnTop, "", 65, 80, 95, 13, true},
        {IDC_OPT_BLUR_PERCENT, Kind::TrackbarTicksOnTop, "", 65, 130, 95, 13},
        {IDC_OPT_BLUR_COUNT, Kind::TrackbarTicksOnTop, "", 65, 150, 95, 13},
        {IDC_OPT_LIGHT_DIRECTION, Kind::TrackbarTicksOnTop, "", 65, 110, 95, 13},
        {IDC_STATIC, Kind::Label, "Quality:", 10, 35, 30, 10},
        {IDC_STATIC, Kind::Label, "Image Quality:", 10, 50, 50, 10},
        {IDC_STATIC, Kind::Label, "AntiAliasing:", 10, 85, 40, 10},
        {IDC_OPT_LIGHTING, Kind::AutoCheckBox, "Lighting", 10, 100, 45, 10},
        {IDC_OPT_SHADOWS, Kind::AutoCheckBox, "Shadows", 60, 100, 45, 10},
        {IDC_STATIC, Kind::Label, "Blur Pct:", 10, 135, 40, 10},
        {IDC_OPT_ANTIALIAS_LABEL, Kind::Label, "0", 160, 85, 15, 8},
        {IDC_OPT_BLUR_PERCENT_LABEL, Kind::Label, "0", 160, 135, 15, 8},
        {IDC_STATIC, Kind::Label, "Blur Count:", 10, 155, 40, 10},
        {IDC_OPT_BLUR_COUNT_LABEL, Kind::Label, "0", 160, 155, 15, 8},
        {IDC_STATIC, Kind::Label, "Render:", 10, 20, 30, 10},
        {IDC_STATIC, Kind::Label, "Light Direction:", 10, 114, 55, 10},
        {IDC_OPT_LIGHT_DIRECTION_LABEL, Kind::Label, "0", 160, 115, 15, 8},
        {IDC_OPT_TRANSITION_PERIOD, Kind::TrackbarTicksOnTop, "", 65, 175, 95, 13},
        {IDC_STATIC, Kind::Label, "Transition Period:", 10, 175, 40, 15},
        {IDC_OPT_TRANSITION_PERIOD_LABEL, Kind::Label, "0", 160, 180, 15, 8},
    },
    kPanel,
    {
        {IDC_OPT_FIELD_FRAME, Kind::AutoRadio, "Frame", 65, 65, 35, 10, true},
        {IDC_OPT_FIELD_ODD, Kind::AutoRadio, "Odd", 110, 65, 30, 10},
        {IDC_OPT_FIELD_EVEN, Kind::AutoRadio, "Even", 145, 65, 30, 10},
        {IDC_STATIC, Kind::Label, "Frame/Field:", 10, 65, 40, 10},
    },
});

const Table kObjectsPage = Join({
    {
        {IDC_OBJ_LIST, Kind::DropDownList, "", 65, 10, 105, 95},
        {IDC_STATIC, Kind::Label, "Object:", 10, 10, 40, 10},
        {IDC_STATIC, Kind::SunkenGreyFrame, "", 10, 27, 158, 1},
        {IDC_OBJ_LUMINOSITY, Kind::TrackbarTicksOnTop, "", 60, 30, 100, 12},
        {IDC_STATIC, Kind::Label, "Luminosity:", 10, 35, 40, 10},
        {IDC_OBJ_LUMINOSITY_LABEL, Kind::Label, "0", 160, 35, 15, 8},
        {IDC_OBJ_SHINE, Kind::TrackbarTicksOnTop, "", 60, 50, 100, 12},
        {IDC_STATIC, Kind::Label, "Shine:", 10, 55, 40, 10},
        {IDC_OBJ_SHINE_LABEL, Kind::Label, "0", 160, 55, 15, 8},
        {IDC_OBJ_TRANSPARENCY, Kind::TrackbarTicksOnTop, "", 60, 70, 100, 12},
        {IDC_STATIC, Kind::Label, "Transparency:", 10, 75, 50, 10},
        {IDC_OBJ_TRANSPARENCY_LABEL, Kind::Label, "0", 160, 75, 15, 8},
        {IDC_OBJ_CHANGE_PERIOD, Kind::TrackbarTicksOnTop, "", 60, 90, 100, 12},
        {IDC_STATIC, Kind::Label, "Change Period:", 10, 95, 50, 10},
        {IDC_OBJ_CHANGE_PERIOD_LABEL, Kind::Label, "0", 160, 95, 15, 8},
        {IDC_OBJ_PATH_ROTATION, Kind::TrackbarTicksOnTop, "", 60, 115, 100, 13},
        {IDC_STATIC, Kind::Label, "Path Rotation:", 10, 119, 50, 10},
        {IDC_OBJ_PATH_ROTATION_LABEL, Kind::Label, "0", 160, 120, 15, 8},
        {IDC_OBJ_ROTATES_WITH_PATH, Kind::AutoCheckBox, "Object Rotates with Path", 10, 130, 95,
         10},
        {IDC_OBJ_TRAIL_COUNT, Kind::TrackbarTicksOnTop, "", 60, 155, 100, 12},
        {IDC_STATIC, Kind::Label, "Trail Count:", 10, 160, 40, 10},
        {IDC_OBJ_TRAIL_COUNT_LABEL, Kind::Label, "0", 160, 160, 15, 8},
        {IDC_OBJ_TRAIL_SPACING, Kind::TrackbarTicksOnTop, "", 60, 175, 100, 12},
        {IDC_STATIC, Kind::Label, "Trail Spacing:", 10, 180, 45, 10},
        {IDC_OBJ_TRAIL_SPACING_LABEL, Kind::Label, "0", 160, 180, 15, 8},
    },
    kPanel,
});

const Table kFilterPage = Join({
    {
        {IDC_FILTER_SOURCE, Kind::DropDownList, "", 65, 15, 105, 95, true},
        {IDC_FILTER_PERCENT, Kind::TrackbarTicksOnTop, "", 65, 30, 95, 13, true},
        {IDC_FILTER_FRAMES, Kind::TrackbarTicksOnTop, "", 65, 50, 95, 13, true},
        {IDC_FILTER_CENTER_OBJECTS, Kind::AutoCheckBox, "Center Objects", 12, 73, 65, 10, true},
        {IDC_STATIC, Kind::Label, "Source:", 10, 15, 40, 10},
        {IDC_STATIC, Kind::Label, "Percent:", 10, 36, 40, 10},
        {IDC_FILTER_PERCENT_LABEL, Kind::Label, "0", 160, 35, 15, 8},
        {IDC_STATIC, Kind::Label, "Frames:", 10, 55, 40, 10},
        {IDC_FILTER_FRAMES_LABEL, Kind::Label, "0", 160, 55, 15, 8},
    },
    kPanel,
});

// The plain labels and the radio buttons of this page are placed by their left and top
// edges; their widths reach to the next control on the same line, their heights are 10.
const Table kSettingsPage = {
    {IDC_STATIC, Kind::GroupBox, "FX Page Settings", 5, 5, 215, 55},
    {IDC_SET_SHOW_ICON, Kind::AutoRadio, "Show Icon", 15, 15, 50, 10, true},
    {IDC_SET_SHOW_NAME, Kind::AutoRadio, "Show Name", 70, 15, 50, 10},
    {IDC_SET_SHOW_BOTH, Kind::AutoRadio, "Show Both", 125, 15, 50, 10},
    {IDC_STATIC, Kind::Label, "Current Organization File:", 15, 30, 88, 10},
    {IDC_SET_ORG_LIST, Kind::SortedDropDownList, "", 105, 30, 105, 55},
    {IDC_SET_AUTOREVERSE, Kind::AutoCheckBox, "Reverse 1 and 2 Settings when FX is reversed.",
     15, 44, 195, 10},
    {IDC_STATIC, Kind::GroupBox, "Preview Settings", 5, 60, 215, 90},
    {IDC_STATIC, Kind::Label, "Quality:", 15, 70, 45, 10},
    {IDC_SET_QUALITY_LOW, Kind::AutoRadio, "Low", 65, 70, 35, 10, true},
    {IDC_SET_QUALITY_MEDIUM, Kind::AutoRadio, "Medium", 105, 70, 45, 10},
    {IDC_SET_QUALITY_HIGH, Kind::AutoRadio, "High", 155, 70, 45, 10},
    {IDC_STATIC, Kind::Label, "Rendering Engine:", 15, 85, 85, 10},
    {IDC_SET_PREVIEW_ENGINE, Kind::SortedDropDownList, "", 105, 85, 105, 60},
    {IDC_STATIC, Kind::Label, "Frames:", 15, 105, 80, 10},
    {IDC_SET_PREVIEW_FRAMES, Kind::TrackbarTicks, "", 100, 100, 95, 13},
    {IDC_SET_PREVIEW_FRAMES_LABEL, Kind::Label, "0", 195, 105, 20, 8},
    {IDC_SET_AUTO_RENDER, Kind::AutoCheckBox, "Automatic Preview Render", 15, 120, 105, 10},
    {IDC_STATIC, Kind::Label, "Preview Speed (fps):", 15, 136, 80, 10},
    {IDC_SET_PREVIEW_SPEED, Kind::TrackbarTicks, "", 100, 131, 95, 13},
    {IDC_SET_PREVIEW_SPEED_LABEL, Kind::Label, "0", 195, 136, 20, 8},
    {IDC_STATIC, Kind::GroupBox, "Render Settings", 5, 150, 215, 40},
    {IDC_STATIC, Kind::Label, "Rendering Engine:", 19, 163, 85, 10},
    {IDC_SET_RENDER_ENGINE, Kind::SortedDropDownList, "", 107, 160, 105, 48},
    {IDC_STATIC, Kind::Label, "Logging:", 20, 175, 45, 10},
    {IDC_SET_LOG_OFF, Kind::AutoRadio, "Off", 70, 175, 35, 10, true},
    {IDC_SET_LOG_SUMMARY, Kind::AutoRadio, "Summary", 110, 175, 45, 10},
    {IDC_SET_LOG_DETAILED, Kind::AutoRadio, "Detailed", 160, 175, 45, 10},
    {IDC_SET_SAVE_DEFAULTS, Kind::PushButton, "Save default options", 230, 10, 75, 14, true},
};

struct DialogLayout {
  const char* name;
  int resource;
  const char* caption;
  int width, height;
  bool isPage;
  const Table* controls;
};

const DialogLayout kDialogs[] = {
    {"About", IDD_ABOUT_BOX, "About Lumora FX", 381, 133, false, &kAboutBox},
    {"Fx", IDD_FX_PAGE, "Effects", 316, 198, true, &kFxPage},
    {"Options", IDD_OPTIONS_PAGE, "Options", 316, 198, true, &kOptionsPage},
    {"Objects", IDD_OBJECTS_PAGE, "Objects", 316, 198, true, &kObjectsPage},
    {"Filter", IDD_FILTER_PAGE, "Filter", 316, 198, true, &kFilterPage},
    {"Settings", IDD_SETTINGS_PAGE, "Settings", 316, 198, true, &kSettingsPage},
};

// ---- Helpers ------------------------------------------------------------------------

INT_PTR CALLBACK InertDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

struct WindowDeleter {
  void operator()(HWND window) const {
    if (window) DestroyWindow(window);
  }
};
using Window = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDeleter>;

// Pixels of a place and size in dialog units. The dialog manager converts the origin and
// the size each on its own, so the right and bottom edges are origin plus size.
RECT DialogUnits(HWND dialog, int x, int y, int cx, int cy) {
  RECT units{x, y, cx, cy};
  MapDialogRect(dialog, &units);
  return RECT{units.left, units.top, units.left + units.right, units.top + units.bottom};
}

RECT RectInDialog(HWND dialog, HWND control) {
  RECT rect{};
  GetWindowRect(control, &rect);
  MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

std::string TextOf(HWND window) {
  char buffer[256] = {};
  GetWindowTextA(window, buffer, sizeof buffer);
  return buffer;
}

std::string ClassOf(HWND window) {
  char buffer[64] = {};
  GetClassNameA(window, buffer, sizeof buffer);
  return buffer;
}

std::string Describe(const RECT& r) {
  return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + ")-(" +
         std::to_string(r.right) + "," + std::to_string(r.bottom) + ")";
}

class DialogResources : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dll_.IsLoaded()) << "LMX_GUI.DLL did not load";
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_BAR_CLASSES | ICC_PROGRESS_CLASS};
    ASSERT_TRUE(InitCommonControlsEx(&classes));
    // Pages are child dialogs and need a parent; it stays hidden, like the dialogs.
    host_.reset(CreateWindowExA(0, "Static", "", WS_POPUP, 0, 0, 800, 600, nullptr, nullptr,
                                nullptr, nullptr));
    ASSERT_NE(host_.get(), nullptr);
  }

  HINSTANCE dllInstance() const { return static_cast<HINSTANCE>(dll_.handle()); }

  Window Create(const DialogLayout& layout) {
    return Window(CreateDialogParamA(dllInstance(), MAKEINTRESOURCEA(layout.resource),
                                     layout.isPage ? host_.get() : nullptr, InertDialogProc, 0));
  }

  test::TestInstall install_;  // before the DLL loads: its start-up reads the registry
  // The installation has no organization: the module reports that once as it loads.
  test::MessageBoxCatcher boxes_;
  platform::LoadedModule dll_{"LMX_GUI.DLL"};
  Window host_;
};

void CheckDialogFrame(HWND dialog, const DialogLayout& layout) {
  EXPECT_EQ(TextOf(dialog), layout.caption);
  RECT client{};
  GetClientRect(dialog, &client);
  const RECT expected = DialogUnits(dialog, 0, 0, layout.width, layout.height);
  EXPECT_EQ(client.right, expected.right) << "client width";
  EXPECT_EQ(client.bottom, expected.bottom) << "client height";

  const DWORD style = static_cast<DWORD>(GetWindowLongA(dialog, GWL_STYLE));
  EXPECT_TRUE(style & WS_CAPTION);
  EXPECT_FALSE(style & WS_VISIBLE);
  if (layout.isPage) {
    // What a property sheet page needs: a child window, created disabled; the sheet
    // takes the tab title instead of the caption.
    EXPECT_TRUE(style & WS_CHILD);
    EXPECT_FALSE(style & WS_POPUP);
    EXPECT_TRUE(style & WS_DISABLED);
  } else {
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_TRUE(GetWindowLongA(dialog, GWL_EXSTYLE) & WS_EX_DLGMODALFRAME);
  }

  HFONT font = reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0));
  ASSERT_NE(font, nullptr) << "no dialog font";
  LOGFONTA logical{};
  ASSERT_NE(GetObjectA(font, sizeof logical, &logical), 0);
  EXPECT_STREQ(logical.lfFaceName, "MS Sans Serif");
  HDC screen = GetDC(nullptr);
  const int pixelsPerInch = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  EXPECT_EQ(logical.lfHeight, -MulDiv(8, pixelsPerInch, 72)) << "8 points";
}

void CheckControl(HWND dialog, HWND control, const Control& row) {
  const KindTraits traits = TraitsOf(row.kind);
  EXPECT_EQ(GetDlgCtrlID(control), row.id);
  EXPECT_EQ(CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, ClassOf(control).c_str(), -1,
                           traits.className, -1),
            CSTR_EQUAL)
      << "class " << ClassOf(control) << ", expected " << traits.className;

  const DWORD style = static_cast<DWORD>(GetWindowLongA(control, GWL_STYLE));
  EXPECT_EQ(style & traits.mask, traits.value) << std::hex << "style 0x" << style;
  EXPECT_EQ(style & (WS_CHILD | WS_VISIBLE | WS_DISABLED), DWORD{WS_CHILD | WS_VISIBLE})
      << std::hex << "style 0x" << style;
  EXPECT_EQ((style & WS_GROUP) != 0, row.group) << "start of a group";
  EXPECT_EQ(TextOf(control), row.text);

  const RECT expected = DialogUnits(dialog, row.x, row.y, row.cx, row.cy);
  RECT actual = RectInDialog(dialog, control);
  if (IsCombo(row.kind)) {
    // A closed combo box is as high as its selection field; the template's height is
    // that of the box with its list dropped down, which the control keeps as its dropped
    // rectangle (less a few pixels for the field's frame on some systems).
    RECT dropped{};
    SendMessageA(control, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
    MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&dropped), 2);
    const LONG fieldHeight = actual.bottom - actual.top;
    EXPECT_GT(dropped.bottom, actual.bottom) << "no room for the list";
    EXPECT_LE(dropped.bottom, expected.bottom) << "dropped height";
    EXPECT_GE(dropped.bottom, expected.bottom - fieldHeight - 4) << "dropped height";
    actual.bottom = expected.bottom;
    // The box hands its scroll bar style on to its list, which shows the bar once it
    // holds more entries than it can show.
    for (int entry = 0; entry < 40; ++entry) {
      SendMessageA(control, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("entry"));
    }
    COMBOBOXINFO parts{};
    parts.cbSize = sizeof parts;
    ASSERT_TRUE(GetComboBoxInfo(control, &parts));
    EXPECT_TRUE(GetWindowLongA(parts.hwndList, GWL_STYLE) & WS_VSCROLL) << "list scroll bar";
    SendMessageA(control, CB_RESETCONTENT, 0, 0);
  }
  EXPECT_TRUE(EqualRect(&actual, &expected))
      << "at " << Describe(actual) << ", expected " << Describe(expected);
}

// ---- Tests --------------------------------------------------------------------------

// Every control of every dialog, in template order, and nothing else.
TEST_F(DialogResources, EveryControlMatchesItsLayoutTable) {
  for (const DialogLayout& layout : kDialogs) {
    SCOPED_TRACE(layout.name);
    Window dialog = Create(layout);
    ASSERT_NE(dialog.get(), nullptr) << "dialog " << layout.resource << " cannot be created";
    CheckDialogFrame(dialog.get(), layout);

    HWND control = GetWindow(dialog.get(), GW_CHILD);
    size_t index = 0;
    for (; control && index < layout.controls->size();
         control = GetWindow(control, GW_HWNDNEXT), ++index) {
      const Control& row = (*layout.controls)[index];
      SCOPED_TRACE("control #" + std::to_string(index) + ", id " + std::to_string(row.id) +
                   " \"" + row.text + "\"");
      CheckControl(dialog.get(), control, row);
    }
    EXPECT_EQ(index, layout.controls->size()) << "controls missing";
    EXPECT_EQ(control, nullptr) << "more controls than the table lists, next id "
                                << (control ? GetDlgCtrlID(control) : 0);
  }
}

// The code writes a trackbar's value into the control one identifier above it; in every
// table, and so in every compiled dialog, that control is the trackbar's value label.
TEST(DialogLayoutTables, EveryTrackbarHasItsValueLabelOneIdentifierAbove) {
  for (const DialogLayout& layout : kDialogs) {
    SCOPED_TRACE(layout.name);
    for (const Control& bar : *layout.controls) {
      if (bar.kind != Kind::TrackbarTicksOnTop && bar.kind != Kind::TrackbarTicks) continue;
      const auto label = std::find_if(layout.controls->begin(), layout.controls->end(),
                                       [&](const Control& row) { return row.id == bar.id + 1; });
      ASSERT_NE(label, layout.controls->end()) << "no label for trackbar " << bar.id;
      EXPECT_EQ(label->kind, Kind::Label) << "label of trackbar " << bar.id;
      EXPECT_STREQ(label->text, "0") << "label of trackbar " << bar.id;
    }
  }
}

}  // namespace
}  // namespace lmx
