// The Settings page. It has no panel: it names itself panelLessPage at every message,
// keeps WM_NOTIFY and WM_TIMER from the page frame, and handles the two notifications
// that concern the whole sheet itself: a cancel makes the result 1, and its Help button
// opens the help contents, as on every other page.
#include <windows.h>

#include <commctrl.h>

#include "entry/page_frame.h"
#include "entry/sheet_context.h"

namespace lmx {

INT_PTR CALLBACK SettingsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  PageFrame().panelLessPage = page;
  INT_PTR result = 0;
  if (message == WM_NOTIFY) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header && header->code == PSN_QUERYCANCEL) RequestCancel();
    if (header && header->code == PSN_HELP) ShowHelpContents(page);
  } else if (message != WM_TIMER) {
    result = PageFrameProc(page, message, wParam, lParam);
  }
  CheckSettingsChanged(page);
  return result;
}

}  // namespace lmx
