#include "ui/controls.h"

#include <commctrl.h>

#include <cstdio>

namespace lmx {
namespace {

constexpr int kSpeedTrackbar = 1062;

void WriteLabel(HWND page, HWND trackbar, int id, int position) {
  char text[16];
  int maximum = static_cast<int>(SendMessageA(trackbar, TBM_GETRANGEMAX, 0, 0));
  std::snprintf(text, sizeof text, maximum == 100 ? "%d%%" : "%d", position);
  SetDlgItemTextA(page, id + 1, text);
}

}  // namespace

void SetupTrackbar(HWND page, int id, int minimum, int maximum, int tickStep) {
  HWND bar = GetDlgItem(page, id);
  SendMessageA(bar, TBM_SETRANGE, TRUE, MAKELPARAM(minimum, maximum));
  if (tickStep != 0) {
    SendMessageA(bar, TBM_SETTICFREQ, tickStep, 0);
    SendMessageA(bar, TBM_SETPAGESIZE, 0, tickStep);
  }
}

void SetTrackbarWithLabel(HWND page, int id, int position) {
  HWND bar = GetDlgItem(page, id);
  SendMessageA(bar, TBM_SETPOS, TRUE, position);
  WriteLabel(page, bar, id, position);
}

void UpdateTrackbarLabel(HWND page, HWND trackbar) {
  int id = GetDlgCtrlID(trackbar);
  if (id == kSpeedTrackbar) return;
  WriteLabel(page, trackbar, id, static_cast<int>(SendMessageA(trackbar, TBM_GETPOS, 0, 0)));
}

int GetTrackbarPos(HWND page, int id) {
  return static_cast<int>(SendDlgItemMessageA(page, id, TBM_GETPOS, 0, 0));
}

void SetRadioIndex(HWND page, int first, int last, int index) {
  for (int id = first; id <= last; ++id)
    CheckDlgButton(page, id, id - first == index ? BST_CHECKED : BST_UNCHECKED);
}

int GetRadioIndex(HWND page, int first, int last) {
  for (int id = first; id <= last; ++id)
    if (IsDlgButtonChecked(page, id) == BST_CHECKED) return id - first;
  return 0;
}

void RepaintControl(HWND page, int id) {
  if (HWND control = GetDlgItem(page, id)) InvalidateRect(control, nullptr, FALSE);
}

}  // namespace lmx
