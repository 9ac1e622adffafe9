// The sheet's and the about box's pictures at 96, 144 and 192 DPI. A process reads the
// display's DPI (Wine's LogPixels) once, when it starts, so this binary runs itself again
// at each DPI, and that run looks at what the DLL draws.
#include <cstdlib>
#include <future>
#include <string>

#include "sheet_fixture.h"

namespace lmx::test {
namespace {

constexpr char kDpiVariable[] = "LMX_TEST_DPI";
constexpr char kDesktopKey[] = "Control Panel\\Desktop";

// HKCU\Control Panel\Desktop\LogPixels for the processes started meanwhile. The test
// prefix has none of its own, so Wine reads its fallback, 96, again once it is deleted.
class LogPixels {
 public:
  LogPixels() {
    RegCreateKeyExA(HKEY_CURRENT_USER, kDesktopKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key_, nullptr);
  }
  ~LogPixels() {
    RegDeleteValueA(key_, "LogPixels");
    RegCloseKey(key_);
  }
  void Set(DWORD dpi) {
    RegSetValueExA(key_, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof dpi);
  }

 private:
  HKEY key_ = nullptr;
};

// Runs this binary's AtOneDpi test in a new process told the DPI; its exit code.
DWORD RunAtDpi(DWORD dpi) {
  char exe[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, exe, MAX_PATH);
  std::string command = std::string("\"") + exe + "\" --gtest_brief=1 --gtest_filter=AtOneDpi.*";
  SetEnvironmentVariableA(kDpiVariable, std::to_string(dpi).c_str());
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION process{};
  const BOOL started =
      CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
  SetEnvironmentVariableA(kDpiVariable, nullptr);
  if (!started) return 1000;
  DWORD code = 1001;
  if (WaitForSingleObject(process.hProcess, 240000) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, code);
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return code;
}

TEST(HighDpiE2E, PicturesScaleWithTheDialogsAtEachDpi) {
  LogPixels logPixels;
  for (DWORD dpi : {96, 144, 192}) {
    logPixels.Set(dpi);
    EXPECT_EQ(RunAtDpi(dpi), 0u) << "at " << dpi << " DPI (its failures are above)";
  }
}

// A picture of a `left` and a `right` half as a window shows it in `in`.
struct Shown {
  bool fills = false;  // each colour reaches both corners of its side
  int mixed = 0;       // pixels of the middle row in neither colour: a smoothing filter mixed them
};

Shown PictureIn(HWND window, const RECT& in, COLORREF left, COLORREF right) {
  HDC dc = GetDC(window);
  auto at = [&](int x, int y) { return GetPixel(dc, x, y); };
  Shown shown;
  shown.fills = at(in.left, in.top) == left && at(in.left, in.bottom - 1) == left &&
                at(in.right - 1, in.top) == right && at(in.right - 1, in.bottom - 1) == right;
  for (int x = in.left; x < in.right; ++x) {
    const COLORREF c = at(x, (in.top + in.bottom) / 2);
    shown.mixed += c != left && c != right;
  }
  ReleaseDC(window, dc);
  return shown;
}

// Waits until the picture fills `in`; it must be smoothed exactly when the dialog is enlarged.
void ExpectPicture(const char* what, HWND window, RECT in, COLORREF left, COLORREF right, bool enlarged) {
  SCOPED_TRACE(what);
  Shown shown;
  EXPECT_TRUE(WaitUntil([&] { return (shown = PictureIn(window, in, left, right)).fills; }));
  EXPECT_EQ(shown.mixed > 0, enlarged) << shown.mixed << " mixed pixels";
}

// One line of the dialog's font: eight vertical dialog units.
int LinePixels(HWND dialog) {
  RECT line{0, 0, 0, 8};
  MapDialogRect(dialog, &line);
  return line.bottom;
}

// Rows of a button's inside that hold dark pixels: the height of its name's letters.
int InkRows(HWND button) {
  RECT r;
  GetClientRect(button, &r);
  HDC dc = GetDC(button);
  int rows = 0;
  for (int y = 2; y < r.bottom - 2; ++y) {
    bool ink = false;
    for (int x = 2; x < r.right - 2 && !ink; ++x) {
      const COLORREF c = GetPixel(dc, x, y);
      ink = GetRValue(c) < 0x60 && GetGValue(c) < 0x60 && GetBValue(c) < 0x60;
    }
    rows += ink;
  }
  ReleaseDC(button, dc);
  return rows;
}

using AtOneDpi = SheetFixture;

TEST_F(AtOneDpi, PicturesFillTheirFramesSmoothedWhenEnlarged) {
  const char* dpiText = std::getenv(kDpiVariable);
  if (!dpiText) GTEST_SKIP() << "HighDpiE2E runs this at each DPI";
  // DPI aware, as today's hosts are.
  if (FARPROC aware = GetProcAddress(GetModuleHandleA("user32.dll"), "SetProcessDPIAware")) aware();
  const int dpi = std::atoi(dpiText);
  HDC screen = GetDC(nullptr);
  ASSERT_EQ(GetDeviceCaps(screen, LOGPIXELSY), dpi) << "LogPixels did not take";
  ReleaseDC(nullptr, screen);
  const bool enlarged = dpi > 96;
  const COLORREF a = RGB(0xF0, 0x80, 0x20), b = RGB(0x20, 0x80, 0xF0);
  install_.Write("EFFECTS/DOORS.BMP", BitmapFile(48, 44, a, b));
  install_.Write("LMX.BMP", BitmapFile(48, 44, a, b));
  Load();
  SheetRun& run = Open();

  HWND button = run.Control(IDC_FX_BUTTON_FIRST);
  RECT r;
  GetClientRect(button, &r);
  ExpectPicture("icon", button, {2, 2, r.right - 2, r.bottom - 2}, a, b, enlarged);
  // The name under the icon grows with the page: its capitals stand about half a line high.
  const int line = LinePixels(run.CurrentPage());
  EXPECT_TRUE(WaitUntil([&] { return 20 * InkRows(button) > 9 * line; }))
      << InkRows(button) << " rows of ink, line " << line;

  // The preview keeps the quality's 32 x 32 frames and stretches them over the picture.
  run.Click(IDC_PANEL_RENDER);
  ASSERT_TRUE(WaitUntil([&] { return engine_->CallCount() > 0; }));
  const EngineCall call = engine_->Calls().back();
  EXPECT_EQ(call.frameWidth, 32u);
  HWND picture = run.Control(IDC_PANEL_PICTURE);
  GetClientRect(picture, &r);
  const COLORREF frameColour = RGB((FrameColour(call.position) >> 16) & 0xFF, 0, 0);
  ExpectPicture("preview", picture, {1, 1, r.right - 1, r.bottom - 1}, RGB(255, 255, 255), frameColour, enlarged);
  EXPECT_EQ(PressAndFinish(run, PSBTN_OK), 0);

  using AboutFn = int16_t(__cdecl*)(HWND, const char*, const char*);
  const auto about = platform::ProcAs<AboutFn>(dll_->Find("LMXGUI_About"));
  std::future<int16_t> result = std::async(std::launch::async, [&] { return about(nullptr, nullptr, nullptr); });
  HWND box = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (box = FindOwnWindow("About Lumora FX")) != nullptr; }));
  HWND frame = GetDlgItem(box, IDC_ABOUT_PICTURE);
  GetClientRect(frame, &r);
  ExpectPicture("about box", frame, {1, 1, r.right - 1, r.bottom - 1}, a, b, enlarged);
  LOGFONTA title{};
  const auto titleFont = reinterpret_cast<HFONT>(SendDlgItemMessageA(box, IDC_ABOUT_TITLE, WM_GETFONT, 0, 0));
  GetObjectA(titleFont, sizeof title, &title);
  EXPECT_NEAR(title.lfHeight, 28.0 * LinePixels(box) / 13, 1.0) << "the title's font grows with the box";
  PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
  ASSERT_EQ(result.wait_for(std::chrono::seconds(10)), std::future_status::ready);
  EXPECT_EQ(result.get(), 0);
}

}  // namespace
}  // namespace lmx::test
