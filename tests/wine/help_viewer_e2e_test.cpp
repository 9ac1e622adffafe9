// The help file in Wine's help viewer (winhlp32), driven through WinHelpA as the module
// drives it: the file built from the tree's help sources opens, the contents command
// shows the contents topic, and a help table's context number shows its popup's text.
// Wine's viewer shows HELP_CONTEXTPOPUP topics nowhere (the command is accepted and
// ignored) and its WinHelpA refuses HELP_WM_HELP and HELP_CONTEXTMENU, so those maps are
// checked through our reader (tools/winhelp/tests) and here through HELP_CONTEXT, which
// looks up the same map.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "sheet_harness.h"
#include "winhelp/help_source.h"
#include "winhelp/hlp_writer.h"

namespace lmx::test {
namespace {

struct ViewerText {
  HWND window = nullptr;
  std::string caption, text;
};

// The text of another process's window, without waiting on it for long.
std::string RemoteText(HWND w) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutA(w, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length)) return "";
  std::vector<char> buffer(length + 1, '\0');
  DWORD_PTR copied = 0;
  SendMessageTimeoutA(w, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()), SMTO_ABORTIFHUNG, 2000,
                      &copied);
  return std::string(buffer.data());
}

// The top-level window of another process that holds a rich edit control whose text
// contains `wanted`.
ViewerText FindViewerShowing(const std::string& wanted) {
  ViewerText found;
  ForEachWindow([&](HWND top) {
    if (IsOwnWindow(top) || !IsWindowVisible(top)) return true;
    ForEachWindow(
        [&](HWND child) {
          char cls[64] = {};
          GetClassNameA(child, cls, sizeof cls);
          if (std::strstr(cls, "RichEdit") && RemoteText(child).find(wanted) != std::string::npos)
            found = {top, RemoteText(top), RemoteText(child)};
          return found.window == nullptr;
        },
        top);
    return found.window == nullptr;
  });
  return found;
}

class HelpViewer : public ::testing::Test {
 protected:
  void SetUp() override {
    winhelp::HelpProject project;
    std::vector<uint8_t> bytes;
    std::string error;
    ASSERT_TRUE(winhelp::LoadHelpSources(LMX_HELP_SOURCES, &project, &error)) << error;
    ASSERT_TRUE(winhelp::WriteHelpFile(project, &bytes, &error)) << error;
    char dir[MAX_PATH];
    ASSERT_GT(GetTempPathA(sizeof dir, dir), 0u);
    path_ = std::string(dir) + "lmx_help_viewer_test.hlp";
    std::ofstream out(path_, std::ios::binary);
    ASSERT_TRUE(out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size())).flush());
    title_ = project.title;
  }
  void TearDown() override {
    WinHelpA(nullptr, path_.c_str(), HELP_QUIT, 0);
    WaitUntil([] { return FindWindowA("MS_WINHELP", nullptr) == nullptr; }, 10000);
    DeleteFileA(path_.c_str());
  }

  // A command to the viewer. Wine's WinHelpA starts the viewer when none runs and fails
  // when its window is not up yet (a slow machine); the command then goes again once it is.
  bool Send(UINT command, ULONG_PTR data) {
    if (WinHelpA(nullptr, path_.c_str(), command, data)) return true;
    WaitUntil([] { return FindWindowA("MS_WINHELP", nullptr) != nullptr; }, 30000);
    return WinHelpA(nullptr, path_.c_str(), command, data);
  }

  // Waits until the viewer shows `wanted`.
  ViewerText WaitForText(const std::string& wanted) {
    ViewerText found;
    WaitUntil([&] { return (found = FindViewerShowing(wanted)).window != nullptr; }, 20000);
    return found;
  }

  std::string path_, title_;
};

TEST_F(HelpViewer, ContentsCommandShowsTheContentsTopic) {
  // What the Help button of every page sends.
  ASSERT_TRUE(Send(HELP_FINDER, 0));
  const ViewerText shown = WaitForText("Lumora FX Selection is where you choose a 3-D transition");
  ASSERT_NE(shown.window, nullptr) << "the viewer never showed the contents topic";
  // The file defines its main window, captioned with the title.
  EXPECT_EQ(shown.caption, title_);
  EXPECT_NE(shown.text.find("FX page: pick the effect from its group."), std::string::npos) << shown.text;
  ASSERT_TRUE(WinHelpA(nullptr, path_.c_str(), HELP_CONTENTS, 0));
  EXPECT_NE(WaitForText("Lumora FX Selection is where you choose").window, nullptr);
}

TEST_F(HelpViewer, HelpTableContextShowsItsPopupText) {
  // 7: the preview speed trackbar of the panel and the Settings page's speed.
  ASSERT_TRUE(Send(HELP_CONTEXT, 7));
  const ViewerText shown = WaitForText("Sets how many frames per second the preview plays, from 1 to 30.");
  ASSERT_NE(shown.window, nullptr) << "context 7 showed nothing";
  // 404, Transparency on the Objects page, replaces it in the same window.
  ASSERT_TRUE(WinHelpA(nullptr, path_.c_str(), HELP_CONTEXT, 404));
  EXPECT_NE(WaitForText("How much shows through the object").window, nullptr);
  // The popup command itself is accepted; the viewer stays up.
  EXPECT_TRUE(WinHelpA(nullptr, path_.c_str(), HELP_CONTEXTPOPUP, 7));
  EXPECT_NE(FindWindowA("MS_WINHELP", nullptr), nullptr);
}

}  // namespace
}  // namespace lmx::test
