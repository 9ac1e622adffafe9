#include "help_pilot.h"

#include <algorithm>
#include <chrono>
#include <filesystem>

#include "install_path.h"
#include "model/help_ids.h"
#include "sheet_driver.h"
#include "window_capture.h"

namespace lmx::host {
namespace {

using Clock = std::chrono::steady_clock;

// The caption of the viewer's main window starts with the help file's title (Wine's
// viewer adds its name and the file's path).
constexpr char kViewerCaption[] = "Lumora FX Selection Help";

BOOL CALLBACK FindRichEdit(HWND child, LPARAM param) {
  char cls[64] = {};
  GetClassNameA(child, cls, sizeof cls);
  if (std::string(cls).find("RichEdit") == std::string::npos || !IsWindowVisible(child)) return TRUE;
  *reinterpret_cast<HWND*>(param) = child;
  return FALSE;
}

// The visible rich edit control of the viewer's window: the topic's text.
HWND TextOfViewer(HWND viewer) {
  HWND found = nullptr;
  EnumChildWindows(viewer, FindRichEdit, reinterpret_cast<LPARAM>(&found));
  return found;
}

BOOL CALLBACK FindViewer(HWND top, LPARAM param) {
  DWORD pid = 0;
  GetWindowThreadProcessId(top, &pid);
  char caption[256] = {};
  GetWindowTextA(top, caption, sizeof caption);
  if (pid == GetCurrentProcessId() || !IsWindowVisible(top) || std::string(caption).rfind(kViewerCaption, 0) != 0 ||
      !TextOfViewer(top))
    return TRUE;
  *reinterpret_cast<HWND*>(param) = top;
  return FALSE;
}

// The viewer's main window showing a topic, or null.
HWND Viewer() {
  HWND found = nullptr;
  EnumWindows(FindViewer, reinterpret_cast<LPARAM>(&found));
  return found;
}

// Polls until cond holds or the time is up.
template <class Cond>
bool WaitUntil(Cond cond, int seconds) {
  const auto deadline = Clock::now() + std::chrono::seconds(seconds);
  while (!cond()) {
    if (Clock::now() >= deadline) return false;
    Sleep(20);
  }
  return true;
}

DWORD ContextOf(int control) {
  for (size_t i = 0; kHelpIdPairs[i] != 0; i += 2)
    if (kHelpIdPairs[i] == DWORD(control)) return kHelpIdPairs[i + 1];
  return 0;
}

// HELP\LMXSlct.HLP under the installation the registry names, as the module builds it.
std::string HelpFilePath() { return InstalledFile("HELP\\LMXSlct.HLP"); }

// The viewer belongs to another process, so its window is read off the screen: the
// client area, cut out of a picture of the whole desktop.
Image CaptureFromScreen(HWND window) {
  RECT client = {};
  POINT origin = {0, 0};
  if (!GetClientRect(window, &client) || !ClientToScreen(window, &origin)) return {};
  const Image screen = CaptureClient(GetDesktopWindow());
  const int left = std::max(0, int(origin.x)), top = std::max(0, int(origin.y));
  const int right = std::min(screen.width, int(origin.x + client.right));
  const int bottom = std::min(screen.height, int(origin.y + client.bottom));
  Image part;
  if (right <= left || bottom <= top) return part;
  part.width = right - left;
  part.height = bottom - top;
  for (int y = top; y < bottom; ++y) {
    const auto row = screen.bgrx.begin() + (size_t(y) * size_t(screen.width) + size_t(left)) * 4;
    part.bgrx.insert(part.bgrx.end(), row, row + ptrdiff_t(part.width) * 4);
  }
  return part;
}

bool Picture(HWND viewer, const std::string& file, const HelpPilotConfig& config) {
  SetForegroundWindow(viewer);
  BringWindowToTop(viewer);
  RedrawWindow(viewer, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  const Image image = CaptureFromScreen(viewer);
  if (!WriteBmp24((std::filesystem::path(config.dir) / file).string(), image)) {
    config.log("help: cannot write " + file);
    return false;
  }
  config.log("help: saved " + file);
  return true;
}

void RecordHelpSteps(HWND sheet, HWND page, int control, const HelpPilotConfig& config) {
  // The Help button: the sheet tells the page (PSN_HELP), the module asks for the contents.
  Send(sheet, WM_COMMAND, MAKEWPARAM(IDHELP, BN_CLICKED), 0);
  config.log("help: pressed Help");
  HWND viewer = nullptr;
  if (!WaitUntil([&] { return (viewer = Viewer()) != nullptr; }, config.timeoutSeconds)) {
    config.log("help: no viewer window \"" + std::string(kViewerCaption) + "\" appeared");
    return;
  }
  const std::string contents = TextOf(TextOfViewer(viewer));
  Picture(viewer, "help-contents.bmp", config);

  // F1 over the control: the page gets WM_HELP for it, and the module asks for its popup.
  HWND item = GetDlgItem(page, control);
  HELPINFO info = {};
  info.cbSize = sizeof info;
  info.iContextType = HELPINFO_WINDOW;
  info.iCtrlId = control;
  info.hItemHandle = item;
  RECT r = {};
  GetWindowRect(item, &r);
  info.MousePos = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  Send(page, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
  config.log("help: pressed F1 over control " + std::to_string(control) + " (help context " +
             std::to_string(ContextOf(control)) + ")");
  const auto changed = [&] { return TextOf(TextOfViewer(viewer)) != contents; };
  HWND popup = nullptr;
  const auto popupShown = [&] {
    // A popup is a window of its own, without the viewer's caption.
    HWND shown = GetForegroundWindow();
    DWORD pid = 0;
    GetWindowThreadProcessId(shown, &pid);
    if (shown && pid != GetCurrentProcessId() && shown != viewer && TextOfViewer(shown)) popup = shown;
    return popup != nullptr;
  };
  if (WaitUntil(popupShown, 5)) {
    Picture(popup, "help-popup.bmp", config);
    return;
  }
  // Wine's WinHelpA refuses HELP_WM_HELP and its viewer shows no popups: show the popup's
  // topic by its context number instead, which looks up the same map.
  config.log("help: the viewer showed no popup; asking for help context " + std::to_string(ContextOf(control)));
  const std::string file = HelpFilePath();
  if (file.empty() || !WinHelpA(sheet, file.c_str(), HELP_CONTEXT, ContextOf(control)) ||
      !WaitUntil(changed, config.timeoutSeconds)) {
    config.log("help: the viewer did not show help context " + std::to_string(ContextOf(control)));
    return;
  }
  Picture(viewer, "help-popup.bmp", config);
}

}  // namespace

void RecordHelp(HWND sheet, HWND page, int control, const HelpPilotConfig& config) {
  // An installation without a help file (the tests plant such ones) would only make the
  // viewer complain.
  const std::string file = HelpFilePath();
  if (file.empty() || GetFileAttributesA(file.c_str()) == INVALID_FILE_ATTRIBUTES) {
    config.log("help: no help file in the installation, help not shown");
    return;
  }
  RecordHelpSteps(sheet, page, control, config);
  // Close the viewer, so that nothing of the run stays behind.
  WinHelpA(nullptr, file.c_str(), HELP_QUIT, 0);
}

}  // namespace lmx::host
