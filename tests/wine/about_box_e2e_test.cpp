// The about box through the real DLL: texts, fonts, pictures from the installation
// directory, and the three ways of closing it; and the host's road to one effect's
// description: registry, installation directory, effect file and the 60-byte structure.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include <future>
#include <optional>

#include "model/effect_info.h"
#include "platform/module.h"
#include "resources/resource_ids.h"
#include "sheet_harness.h"
#include "support/test_install.h"

namespace lmx {
namespace {

using AboutFn = int16_t(__cdecl*)(HWND, const char*, const char*);
using GetEffectInfoFn = int16_t(__cdecl*)(const char*, EffectInfo*);

constexpr int kDeadlineMs = 10000;

// A 2 x 2 picture stored top row first (negative height): `top` above `bottom`.
std::vector<uint8_t> TopDownBitmap(COLORREF top, COLORREF bottom) {
  std::vector<uint8_t> file = test::BitmapFile(2, 2, top, top);
  const std::vector<uint8_t> second = test::BitmapFile(2, 2, bottom, bottom);
  std::copy(second.begin() + 54 + 8, second.end(), file.begin() + 54 + 8);  // rows of 8 bytes
  const int32_t height = -2;
  std::memcpy(&file[22], &height, 4);
  return file;
}

class AboutBoxE2E : public ::testing::Test {
 protected:
  void SetUp() override {
    // The module reads its organization when it loads.
    test::WriteOrganization(install_, "DEFAULT", {{"Doors", {"DOORS"}}});
    dll_.emplace("LMX_GUI.DLL");
    ASSERT_TRUE(dll_->IsLoaded());
    about_ = platform::ProcAs<AboutFn>(dll_->Find("LMXGUI_About"));
    ASSERT_NE(about_, nullptr);
  }

  void TearDown() override { EXPECT_TRUE(boxes_.Texts().empty()) << "no message box belongs to the about box"; }

  // Opens the box on a thread of its own and waits for it to appear.
  HWND Open(const char* title, const char* release) {
    result_ = std::async(std::launch::async, [this, title, release] { return about_(nullptr, title, release); });
    HWND box = nullptr;
    test::WaitUntil(
        [&] {
          return (box = test::FindOwnWindow("About Lumora FX")) != nullptr ||
                 result_.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
        },
        kDeadlineMs);
    EXPECT_NE(box, nullptr) << "the about box did not appear";
    return box;
  }

  // Waits for the box to go away; the host's result.
  int Closed() {
    if (result_.wait_for(std::chrono::milliseconds(kDeadlineMs)) != std::future_status::ready) {
      ADD_FAILURE() << "the about box did not close";
      if (HWND box = test::FindOwnWindow("About Lumora FX")) SendMessageA(box, WM_COMMAND, IDCANCEL, 0);
    }
    return result_.get();
  }

  // True once the frame's client area shows these colours next to its corners: the top left,
  // bottom left, top right and bottom right. The outermost pixels belong to the frame's own
  // border, which may be drawn after the picture.
  static ::testing::AssertionResult ShowsCorners(HWND frame, std::array<COLORREF, 4> wanted) {
    RECT r;
    GetClientRect(frame, &r);
    std::array<COLORREF, 4> seen{};
    const bool shown = test::WaitUntil([&] {
      seen = {test::PixelAt(frame, 1, 1), test::PixelAt(frame, 1, r.bottom - 2), test::PixelAt(frame, r.right - 2, 1),
              test::PixelAt(frame, r.right - 2, r.bottom - 2)};
      return seen == wanted;
    });
    if (shown) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "corners " << ::testing::PrintToString(seen) << " of a " << r.right << "x"
                                         << r.bottom << " client area";
  }

  test::TestInstall install_;
  test::MessageBoxCatcher boxes_;  // none is expected; none may block the test either
  std::optional<platform::LoadedModule> dll_;
  AboutFn about_ = nullptr;
  std::future<int16_t> result_;
};

TEST_F(AboutBoxE2E, DefaultTextsInBoldArialAndClosingByEscape) {
  HWND box = Open(nullptr, nullptr);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(test::WindowText(GetDlgItem(box, IDC_ABOUT_TITLE)), "Lumora FX");
  EXPECT_EQ(test::WindowText(GetDlgItem(box, IDC_ABOUT_RELEASE)), "Release 2");
  for (auto [id, height] : {std::pair{IDC_ABOUT_TITLE, 28}, std::pair{IDC_ABOUT_RELEASE, 18}}) {
    HFONT font = reinterpret_cast<HFONT>(SendDlgItemMessageA(box, id, WM_GETFONT, 0, 0));
    LOGFONTA log{};
    ASSERT_NE(font, nullptr);
    ASSERT_NE(GetObjectA(font, sizeof log, &log), 0);
    EXPECT_EQ(std::tuple(log.lfHeight, log.lfWeight, std::string(log.lfFaceName)), std::tuple(height, FW_BOLD, "Arial"));
  }
  PostMessageA(box, WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_EQ(Closed(), 0);
}

TEST_F(AboutBoxE2E, HostTextsCutTo255CharactersAndClosingByEnter) {
  const std::string title(300, 'T'), release = std::string(255, 'r') + "TAIL";
  HWND box = Open(title.c_str(), release.c_str());
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(test::WindowText(GetDlgItem(box, IDC_ABOUT_TITLE)), title.substr(0, 255));
  EXPECT_EQ(test::WindowText(GetDlgItem(box, IDC_ABOUT_RELEASE)), release.substr(0, 255));
  PostMessageA(box, WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_EQ(Closed(), 0);
}

// A picture fills its frame, and a top-down one is drawn upright.
TEST_F(AboutBoxE2E, PicturesAreStretchedIntoTheirFramesUprightAndLoadedAfreshEachTime) {
  const COLORREF red = RGB(255, 0, 0), green = RGB(0, 255, 0), blue = RGB(0, 0, 255);
  install_.Write("LMX.BMP", test::BitmapFile(2, 1, red, green));
  install_.Write("CRVLOGO.BMP", TopDownBitmap(red, blue));
  HWND box = Open(nullptr, nullptr);
  ASSERT_NE(box, nullptr);
  EXPECT_TRUE(ShowsCorners(GetDlgItem(box, IDC_ABOUT_PICTURE), {red, red, green, green}));
  EXPECT_TRUE(ShowsCorners(GetDlgItem(box, IDC_ABOUT_LOGO), {red, blue, red, blue}));
  PostMessageA(box, WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_EQ(Closed(), 0);

  // Without the files the next box shows empty frames, not the pictures of the last one.
  for (const char* file : {"LMX.BMP", "CRVLOGO.BMP"}) install_.Remove(file);
  box = Open(nullptr, nullptr);
  ASSERT_NE(box, nullptr);
  HWND picture = GetDlgItem(box, IDC_ABOUT_PICTURE);
  RECT r;
  GetClientRect(picture, &r);
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  EXPECT_TRUE(test::WaitUntil([&] { return test::PixelAt(picture, r.right / 2, r.bottom / 2) == face; }));
  EXPECT_NE(test::PixelAt(picture, 2, 2), red);
  PostMessageA(box, WM_SYSCOMMAND, SC_CLOSE, 0);  // the close box
  EXPECT_EQ(Closed(), 0);
}

using EffectInfoE2E = AboutBoxE2E;

TEST_F(EffectInfoE2E, FullFile) {
  const auto getEffectInfo = platform::ProcAs<GetEffectInfoFn>(dll_->Find("LMXGUI_GetEffectInfo"));
  ASSERT_NE(getEffectInfo, nullptr);
  test::WriteEffect(install_, test::EffectSpec{"DOORS", "Double Doors", "Two doors open.", 2, 1, 1, 1, 50.0f, {}, 1});
  // A structure pre-set to a pattern, so that every byte the call leaves is seen.
  EffectInfo info;
  std::memset(&info, 0xA5, sizeof info);
  EXPECT_EQ(getEffectInfo("DOORS", &info), 0);
  uint8_t expected[60] = {};
  expected[0] = 1;
  std::memcpy(expected + 4, "DOORS", 6);
  std::memcpy(expected + 13, "Double Doors", 13);
  expected[56] = 2;
  EXPECT_EQ(std::memcmp(&info, expected, 60), 0) << "byte-for-byte layout of the structure";
}

}  // namespace
}  // namespace lmx
