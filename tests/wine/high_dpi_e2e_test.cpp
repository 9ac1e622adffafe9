// The sheet's and the about box's pictures and fonts at 96, 144 and 192 DPI. A process
// reads the display's DPI (Wine's LogPixels) once, when it starts, so this binary runs
// itself again at each DPI, and that run looks at what the DLL draws.
#include <process.h>

#include <cstdlib>
#include <future>
#include <string>

#include "sheet_fixture.h"

namespace lmx::test {
namespace {

constexpr char kDpiVariable[] = "LMX_TEST_DPI";

// Runs this binary's AtOneDpi test in a new process; its exit code.
int RunAtDpi(DWORD dpi) {
  char exe[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, exe, MAX_PATH);
  _putenv((std::string(kDpiVariable) + "=" + std::to_string(dpi)).c_str());
  const intptr_t code = _spawnl(_P_WAIT, exe, exe, "--gtest_brief=1", "--gtest_filter=AtOneDpi.*", nullptr);
  _putenv((std::string(kDpiVariable) + "=").c_str());
  return static_cast<int>(code);
}

TEST(HighDpiE2E, PicturesAndFontsGrowWithTheDialogsAtEachDpi) {
  HKEY desktop = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                            &desktop, nullptr), 0);
  for (DWORD dpi : {96, 144, 192}) {
    RegSetValueExA(desktop, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof dpi);
    EXPECT_EQ(RunAtDpi(dpi), 0) << "at " << dpi << " DPI (its failures are above)";
  }
  // The test prefix has no value of its own: without it Wine reads 96 again.
  RegDeleteValueA(desktop, "LogPixels");
  RegCloseKey(desktop);
}

// Waits until a picture of a `left` and a `right` half fills `in` of the window (each
// colour in both corners of its side); it must be smoothed, its middle row mixing the two
// colours, exactly when the dialog is enlarged.
void ExpectPicture(const char* what, HWND window, RECT in, COLORREF left, COLORREF right, bool enlarged) {
  SCOPED_TRACE(what);
  HDC dc = GetDC(window);
  auto at = [&](int x, int y) { return GetPixel(dc, x, y); };
  EXPECT_TRUE(WaitUntil([&] {
    return at(in.left, in.top) == left && at(in.left, in.bottom - 1) == left && at(in.right - 1, in.top) == right &&
           at(in.right - 1, in.bottom - 1) == right;
  }));
  int mixed = 0;
  for (int x = in.left; x < in.right; ++x) {
    const COLORREF c = at(x, (in.top + in.bottom) / 2);
    mixed += c != left && c != right;
  }
  ReleaseDC(window, dc);
  EXPECT_EQ(mixed > 0, enlarged) << mixed << " mixed pixels";
}

// One line of the dialog's font: eight vertical dialog units.
int LinePixels(HWND dialog) {
  RECT line{0, 0, 0, 8};
  MapDialogRect(dialog, &line);
  return line.bottom;
}

// Rows of a button's inside that hold dark pixels: the height of its name's letters.
int InkRows(HWND button, const RECT& r) {
  HDC dc = GetDC(button);
  int rows = 0;
  for (int y = 2; y < r.bottom - 2; ++y) {
    bool ink = false;
    for (int x = 2; x < r.right - 2 && !ink; ++x) ink = (GetPixel(dc, x, y) & 0x808080) == 0;
    rows += ink;
  }
  ReleaseDC(button, dc);
  return rows;
}

using AtOneDpi = SheetFixture;

TEST_F(AtOneDpi, PicturesFillTheirFramesSmoothedWhenEnlarged) {
  const char* dpiText = std::getenv(kDpiVariable);
  if (!dpiText) GTEST_SKIP() << "HighDpiE2E runs this at each DPI";
  if (FARPROC aware = GetProcAddress(GetModuleHandleA("user32.dll"), "SetProcessDPIAware")) aware();  // as hosts are
  const int dpi = std::atoi(dpiText);
  HDC screen = GetDC(nullptr);
  ASSERT_EQ(GetDeviceCaps(screen, LOGPIXELSY), dpi) << "LogPixels did not take";
  ReleaseDC(nullptr, screen);
  const COLORREF a = RGB(0xF0, 0x80, 0x20), b = RGB(0x20, 0x80, 0xF0);
  for (const char* file : {"EFFECTS/DOORS.BMP", "LMX.BMP"}) install_.Write(file, BitmapFile(48, 44, a, b));
  Load();
  SheetRun& run = Open();

  HWND button = run.Control(IDC_FX_BUTTON_FIRST);
  RECT r;
  GetClientRect(button, &r);
  ExpectPicture("icon", button, {2, 2, r.right - 2, r.bottom - 2}, a, b, dpi > 96);
  // The name under the icon grows with the page: its capitals stand about half a line high.
  const int line = LinePixels(run.CurrentPage());
  EXPECT_TRUE(WaitUntil([&] { return 20 * InkRows(button, r) > 9 * line; })) << InkRows(button, r) << " of " << line;

  // The preview keeps the quality's 32 x 32 frames (white first column) and stretches them.
  run.Click(IDC_PANEL_RENDER);
  ASSERT_TRUE(WaitUntil([&] { return engine_->CallCount() > 0; }));
  const EngineCall call = engine_->Calls().back();
  EXPECT_EQ(call.frameWidth, 32u);
  HWND picture = run.Control(IDC_PANEL_PICTURE);
  GetClientRect(picture, &r);
  const COLORREF frame = RGB((FrameColour(call.position) >> 16) & 0xFF, 0, 0);
  ExpectPicture("preview", picture, {1, 1, r.right - 1, r.bottom - 1}, RGB(255, 255, 255), frame, dpi > 96);
  EXPECT_EQ(run.Close(PSBTN_OK), 0);

  using AboutFn = int16_t(__cdecl*)(HWND, const char*, const char*);
  const auto about = platform::ProcAs<AboutFn>(dll_->Find("LMXGUI_About"));
  std::future<int16_t> result = std::async(std::launch::async, [&] { return about(nullptr, nullptr, nullptr); });
  HWND box = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (box = FindOwnWindow("About Lumora FX")) != nullptr; }));
  GetClientRect(GetDlgItem(box, IDC_ABOUT_PICTURE), &r);
  ExpectPicture("about box", GetDlgItem(box, IDC_ABOUT_PICTURE), {1, 1, r.right - 1, r.bottom - 1}, a, b, dpi > 96);
  LOGFONTA title{};
  GetObjectA(reinterpret_cast<HFONT>(SendDlgItemMessageA(box, IDC_ABOUT_TITLE, WM_GETFONT, 0, 0)), sizeof title,
             &title);
  EXPECT_NEAR(title.lfHeight, 28.0 * LinePixels(box) / 13, 1.0) << "the title's font grows with the box";
  PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
  EXPECT_EQ(result.get(), 0);
}

}  // namespace
}  // namespace lmx::test
