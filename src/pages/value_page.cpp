#include "pages/value_page.h"

#include <commctrl.h>

#include "pages/page_frame.h"
#include "platform/catch_all.h"
#include "ui/controls.h"

namespace lmx {
namespace {

INT_PTR ValuePageMessage(const ValuePageSteps& steps, HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  SheetSession* found = PageSession(page, message, lParam);
  if (!found) return 0;
  SheetSession& session = *found;
  const INT_PTR result = PageFrameProc(session, page, message, wParam, lParam);
  switch (message) {
    case WM_INITDIALOG:
      steps.init(session, page);
      break;
    case WM_NOTIFY:
      if (steps.activate && lParam != 0 &&
          reinterpret_cast<const NMHDR*>(lParam)->code == static_cast<UINT>(PSN_SETACTIVE))
        steps.activate(session, page);
      break;
    case WM_COMMAND:
      steps.store(session, page);
      break;
    case WM_HSCROLL:
      if (lParam != 0) UpdateTrackbarLabel(page, reinterpret_cast<HWND>(lParam));
      if (LOWORD(wParam) != TB_THUMBTRACK) steps.store(session, page);
      break;
    default:
      break;
  }
  CheckSettingsChanged(session, page);
  return result;
}

}  // namespace

INT_PTR ValuePageProc(const ValuePageSteps& steps, HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  return platform::CatchAll<INT_PTR>(0, [&] { return ValuePageMessage(steps, page, message, wParam, lParam); });
}

}  // namespace lmx
