// The message handling the Options, Filter and Objects pages share: the page frame
// first, then the page's own step for the message, then the change check, all under one
// exception guard.
#pragma once

#include <windows.h>

#include "preview/sheet_session.h"

namespace lmx {

struct ValuePageSteps {
  void (*init)(SheetSession& session, HWND page);      // WM_INITDIALOG: set the controls up and load them
  void (*activate)(SheetSession& session, HWND page);  // PSN_SETACTIVE; null when the page has nothing to do then
  void (*store)(SheetSession& session, HWND page);     // a command, or a trackbar moved (not while it is dragged)
};

INT_PTR ValuePageProc(const ValuePageSteps& steps, HWND page, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace lmx
