// The Filter page. Until its own controls are handled, the page is its panel: every
// message goes to the page frame, and the change check runs after each one.
#include <windows.h>

#include "entry/page_frame.h"
#include "entry/sheet_context.h"

namespace lmx {

INT_PTR CALLBACK FilterPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  INT_PTR result = PageFrameProc(page, message, wParam, lParam);
  CheckSettingsChanged(page);
  return result;
}

}  // namespace lmx
