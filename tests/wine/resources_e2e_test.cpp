// The dialog templates inside the real LMX_GUI.DLL: each dialog is created from the DLL's
// resources and its controls, in template order (the tab order), are held to the rules the
// code and the sheet rely on: the frame and font of each dialog, the kinds of control and
// their styles, radio groups, trackbar value labels, drop-down lists with room for their
// lists, the shared panel, and controls that stay inside the dialog without overlapping.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <tuple>
#include <type_traits>
#include <vector>

#include "platform/module.h"
#include "resources/resource_ids.h"
#include "sheet_harness.h"
#include "support/test_install.h"

namespace lmx {
namespace {

struct DialogFrame {
  const char* name;
  int resource;
  const char* caption;
  int width, height;  // of the client area, in dialog units
  bool isPage;
};

const DialogFrame kDialogs[] = {
    {"About", IDD_ABOUT_BOX, "About Lumora FX", 381, 133, false},
    {"Fx", IDD_FX_PAGE, "Effects", 316, 198, true},
    {"Options", IDD_OPTIONS_PAGE, "Options", 316, 198, true},
    {"Objects", IDD_OBJECTS_PAGE, "Objects", 316, 198, true},
    {"Filter", IDD_FILTER_PAGE, "Filter", 316, 198, true},
    {"Settings", IDD_SETTINGS_PAGE, "Settings", 316, 198, true},
};

const int kPanelIds[] = {IDC_PANEL_NAME_BOX, IDC_PANEL_DESCRIPTION, IDC_PANEL_PICTURE,
                         IDC_PANEL_PROGRESS, IDC_PANEL_SPEED,       IDC_PANEL_RENDER};
// The lists the code fills in file order but shows sorted.
const std::set<int> kSortedLists = {IDC_SET_ORG_LIST, IDC_SET_PREVIEW_ENGINE, IDC_SET_RENDER_ENGINE};

INT_PTR CALLBACK InertDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

struct WindowDeleter {
  void operator()(HWND window) const { DestroyWindow(window); }
};
using Window = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDeleter>;

// The window class in lower case ("button", "msctls_trackbar32", ...).
std::string ClassOf(HWND window) {
  char buffer[64] = {};
  GetClassNameA(window, buffer, sizeof buffer);
  CharLowerA(buffer);
  return buffer;
}

DWORD StyleOf(HWND window) { return static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)); }

RECT RectInDialog(HWND dialog, HWND control) {
  RECT rect{};
  GetWindowRect(control, &rect);
  MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

std::string Describe(const RECT& r) {
  return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + ")-(" + std::to_string(r.right) + "," +
         std::to_string(r.bottom) + ")";
}

// Group boxes and the grey surround of the preview hold other controls; all else is
// a control of its own that no other covers.
bool IsContainer(HWND control) {
  const DWORD style = StyleOf(control);
  return (ClassOf(control) == "button" && (style & BS_TYPEMASK) == BS_GROUPBOX) ||
         (ClassOf(control) == "static" && (style & SS_TYPEMASK) == SS_GRAYFRAME);
}

class DialogResources : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dll_.IsLoaded()) << "LMX_GUI.DLL did not load";
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_BAR_CLASSES | ICC_PROGRESS_CLASS};
    ASSERT_TRUE(InitCommonControlsEx(&classes));
    // Pages are child dialogs and need a parent; it stays hidden, like the dialogs.
    host_.reset(CreateWindowExA(0, "Static", "", WS_POPUP, 0, 0, 800, 600, nullptr, nullptr, nullptr, nullptr));
    ASSERT_NE(host_.get(), nullptr);
  }

  Window Create(const DialogFrame& frame) {
    return Window(CreateDialogParamA(static_cast<HINSTANCE>(dll_.handle()), MAKEINTRESOURCEA(frame.resource),
                                     frame.isPage ? host_.get() : nullptr, InertDialogProc, 0));
  }

  test::TestInstall install_;  // before the DLL loads: its start-up reads the registry
  // The installation has no organization: the module reports that once as it loads.
  test::MessageBoxCatcher boxes_;
  platform::LoadedModule dll_{"LMX_GUI.DLL"};
  Window host_;
};

void CheckDialogFrame(HWND dialog, const DialogFrame& frame) {
  EXPECT_EQ(test::WindowText(dialog), frame.caption);
  RECT client{}, expected{0, 0, frame.width, frame.height};
  GetClientRect(dialog, &client);
  MapDialogRect(dialog, &expected);
  EXPECT_TRUE(EqualRect(&client, &expected)) << "client " << Describe(client) << ", " << Describe(expected);

  const DWORD style = StyleOf(dialog);
  EXPECT_TRUE(style & WS_CAPTION);
  EXPECT_FALSE(style & WS_VISIBLE);
  if (frame.isPage) {
    // What a property sheet page needs: a child window, created disabled; the sheet
    // takes the tab title instead of the caption.
    EXPECT_EQ(style & (WS_CHILD | WS_POPUP | WS_DISABLED), DWORD{WS_CHILD | WS_DISABLED});
  } else {
    EXPECT_EQ(style & (WS_POPUP | WS_SYSMENU), DWORD{WS_POPUP | WS_SYSMENU});
    EXPECT_TRUE(GetWindowLongA(dialog, GWL_EXSTYLE) & WS_EX_DLGMODALFRAME);
  }

  LOGFONTA logical{};
  ASSERT_NE(GetObjectA(reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0)), sizeof logical, &logical), 0)
      << "no dialog font";
  EXPECT_STREQ(logical.lfFaceName, "MS Sans Serif");
  HDC screen = GetDC(nullptr);
  EXPECT_EQ(logical.lfHeight, -MulDiv(8, GetDeviceCaps(screen, LOGPIXELSY), 72)) << "8 points";
  ReleaseDC(nullptr, screen);
}

// A closed combo box is as high as its selection field; the template's height is that of
// the box with its list dropped down, which must leave room for the list, and the box
// hands its scroll bar on to its list, which shows it once it holds more than it can show.
void CheckDropDownList(HWND dialog, HWND combo) {
  const DWORD style = StyleOf(combo);
  EXPECT_EQ(style & 3, DWORD{CBS_DROPDOWNLIST});
  EXPECT_EQ((style & CBS_SORT) != 0, kSortedLists.count(GetDlgCtrlID(combo)) == 1) << "sorted";
  RECT dropped{};
  SendMessageA(combo, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
  MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&dropped), 2);
  EXPECT_GT(dropped.bottom, RectInDialog(dialog, combo).bottom + 20) << "no room for the list";
  for (int entry = 0; entry < 40; ++entry) SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("entry"));
  COMBOBOXINFO parts{};
  parts.cbSize = sizeof parts;
  ASSERT_TRUE(GetComboBoxInfo(combo, &parts));
  EXPECT_TRUE(GetWindowLongA(parts.hwndList, GWL_STYLE) & WS_VSCROLL) << "list scroll bar";
  SendMessageA(combo, CB_RESETCONTENT, 0, 0);
}

// The code writes a trackbar's value into the control one identifier above it: a label
// that reads "0" until then, right of the trackbar on its row. The panel's speed
// trackbar has no ticks and no label.
void CheckTrackbar(HWND dialog, HWND bar) {
  const DWORD style = StyleOf(bar);
  EXPECT_FALSE(style & TBS_VERT);
  HWND label = GetDlgItem(dialog, GetDlgCtrlID(bar) + 1);
  if (GetDlgCtrlID(bar) == IDC_PANEL_SPEED) {
    EXPECT_TRUE(style & TBS_NOTICKS);
    EXPECT_EQ(label, nullptr);
    return;
  }
  EXPECT_TRUE(style & TBS_AUTOTICKS);
  ASSERT_NE(label, nullptr) << "no value label";
  EXPECT_EQ(std::tuple(ClassOf(label), StyleOf(label) & SS_TYPEMASK, test::WindowText(label)),
            std::tuple("static", DWORD{SS_LEFT}, "0"));
  const RECT b = RectInDialog(dialog, bar), l = RectInDialog(dialog, label);
  EXPECT_GE(l.left, b.right - 1) << "label " << Describe(l) << ", trackbar " << Describe(b);
  EXPECT_TRUE(l.top >= b.top && l.top < b.bottom) << "label " << Describe(l) << ", trackbar " << Describe(b);
}

// Class and styles of one control; `previous` is the control before it in tab order.
void CheckControl(HWND dialog, HWND control, HWND previous) {
  const std::string cls = ClassOf(control);
  const DWORD style = StyleOf(control);
  EXPECT_EQ(style & (WS_CHILD | WS_VISIBLE | WS_DISABLED), DWORD{WS_CHILD | WS_VISIBLE});
  bool tabStop = true, hasText = false;
  if (cls == "button") {
    const DWORD type = style & BS_TYPEMASK;
    hasText = type != BS_OWNERDRAW;
    if (type == BS_AUTORADIOBUTTON) {
      // One row of radio buttons is one group, its identifiers in a run.
      const bool continues = previous && ClassOf(previous) == "button" &&
                             (StyleOf(previous) & BS_TYPEMASK) == BS_AUTORADIOBUTTON &&
                             RectInDialog(dialog, previous).top == RectInDialog(dialog, control).top;
      EXPECT_EQ((style & WS_GROUP) == 0, continues) << "start of a radio group";
      EXPECT_TRUE(!continues || GetDlgCtrlID(control) == GetDlgCtrlID(previous) + 1) << "identifiers of a group";
      tabStop = !continues;
    } else if (type == BS_OWNERDRAW) {
      EXPECT_TRUE(style & WS_GROUP) << "each effect button is a group of its own";
    } else if (type == BS_GROUPBOX) {
      tabStop = false;
    } else {
      EXPECT_TRUE(type == BS_AUTOCHECKBOX || (type & ~1u) == BS_PUSHBUTTON) << "button type " << type;
    }
  } else if (cls == "static") {
    const DWORD type = style & SS_TYPEMASK;
    tabStop = false;
    hasText = type == SS_LEFT || type == SS_LEFTNOWORDWRAP;
    EXPECT_TRUE(hasText || ((type == SS_BLACKFRAME || type == SS_GRAYFRAME) && (style & SS_SUNKEN))) << type;
  } else if (cls == "edit") {
    const DWORD readOnlyText = ES_MULTILINE | ES_READONLY | WS_VSCROLL;
    EXPECT_EQ(style & readOnlyText, readOnlyText);
    tabStop = false;
  } else if (cls == "combobox") {
    CheckDropDownList(dialog, control);
  } else if (cls == "msctls_trackbar32") {
    CheckTrackbar(dialog, control);
  } else {
    EXPECT_EQ(cls, "msctls_progress32");
    tabStop = false;
  }
  EXPECT_TRUE(!tabStop || (style & WS_TABSTOP)) << "a tab stop";
  EXPECT_EQ(!test::WindowText(control).empty(), hasText) << "text \"" << test::WindowText(control) << "\"";
}

std::vector<HWND> ControlsOf(HWND dialog) {
  std::vector<HWND> controls;
  for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) controls.push_back(c);
  return controls;
}

TEST_F(DialogResources, EveryDialogAndControlKeepsTheRules) {
  Window fx = Create(kDialogs[1]);
  ASSERT_NE(fx.get(), nullptr);
  for (const DialogFrame& frame : kDialogs) {
    SCOPED_TRACE(frame.name);
    Window dialog = Create(frame);
    ASSERT_NE(dialog.get(), nullptr) << "dialog " << frame.resource << " cannot be created";
    CheckDialogFrame(dialog.get(), frame);
    RECT client{};
    GetClientRect(dialog.get(), &client);
    const std::vector<HWND> controls = ControlsOf(dialog.get());
    std::set<int> ids;
    for (size_t i = 0; i < controls.size(); ++i) {
      HWND control = controls[i];
      const int id = GetDlgCtrlID(control);
      SCOPED_TRACE("control #" + std::to_string(i) + ", id " + std::to_string(id) + " \"" + test::WindowText(control) + "\"");
      CheckControl(dialog.get(), control, i ? controls[i - 1] : nullptr);
      EXPECT_TRUE(id == IDC_STATIC || ids.insert(id).second) << "identifier used twice";
      RECT r = RectInDialog(dialog.get(), control), inside{};
      IntersectRect(&inside, &r, &client);
      EXPECT_TRUE(EqualRect(&inside, &r)) << "outside the dialog: " << Describe(r);
      // Neighbours may share a pixel: the dialog manager rounds origin and size each on its own.
      InflateRect(&r, -1, -1);
      for (size_t j = 0; j < i && !IsContainer(control); ++j) {
        RECT other = RectInDialog(dialog.get(), controls[j]), overlap{};
        InflateRect(&other, -1, -1);
        if (!IsContainer(controls[j]) && IntersectRect(&overlap, &r, &other))
          ADD_FAILURE() << Describe(r) << " overlaps control #" << j << " at " << Describe(other);
      }
    }
    // The panel is the same on every page but Settings, which has none.
    for (int id : kPanelIds) {
      HWND mine = GetDlgItem(dialog.get(), id), model = GetDlgItem(fx.get(), id);
      if (!frame.isPage || frame.resource == IDD_SETTINGS_PAGE) {
        EXPECT_TRUE(!frame.isPage || mine == nullptr) << "panel control " << id;
        continue;
      }
      ASSERT_NE(mine, nullptr) << "panel control " << id;
      RECT a = RectInDialog(dialog.get(), mine), b = RectInDialog(fx.get(), model);
      EXPECT_TRUE(EqualRect(&a, &b)) << id << " at " << Describe(a) << ", on the FX page " << Describe(b);
      EXPECT_EQ(StyleOf(mine), StyleOf(model)) << id;
      EXPECT_EQ(ClassOf(mine) + test::WindowText(mine), ClassOf(model) + test::WindowText(model)) << id;
    }
  }
}

TEST_F(DialogResources, EffectButtonsFormAFourByFourGridOfEqualButtons) {
  Window fx = Create(kDialogs[1]);
  ASSERT_NE(fx.get(), nullptr);
  std::set<LONG> columns, rows;
  const RECT first = RectInDialog(fx.get(), GetDlgItem(fx.get(), IDC_FX_BUTTON_FIRST));
  for (int n = 0; n < IDC_FX_BUTTON_COUNT; ++n) {
    HWND button = GetDlgItem(fx.get(), IDC_FX_BUTTON_FIRST + n);
    ASSERT_NE(button, nullptr) << n;
    EXPECT_EQ(StyleOf(button) & BS_TYPEMASK, DWORD{BS_OWNERDRAW}) << n;
    const RECT r = RectInDialog(fx.get(), button);
    EXPECT_EQ(std::pair(r.right - r.left, r.bottom - r.top), std::pair(first.right - first.left, first.bottom - first.top))
        << n;
    EXPECT_EQ(r.left > first.left, n % 4 != 0) << n;  // row by row, left to right
    columns.insert(r.left);
    rows.insert(r.top);
  }
  EXPECT_EQ(columns.size(), 4u);
  EXPECT_EQ(rows.size(), 4u);
}

}  // namespace
}  // namespace lmx
