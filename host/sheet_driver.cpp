#include "sheet_driver.h"

#include <commctrl.h>
#include <prsht.h>

#include <vector>

#ifndef PSM_INDEXTOHWND
#define PSM_INDEXTOHWND (WM_USER + 130)
#endif

namespace lmx::host {
namespace {

constexpr UINT kAnswerMs = 5000;

struct FindState {
  const char* caption;
  DWORD process;
  HWND found;
};

BOOL CALLBACK FindOwnWindowStep(HWND window, LPARAM lParam) {
  auto* state = reinterpret_cast<FindState*>(lParam);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process != state->process || !IsWindowVisible(window)) return TRUE;
  char caption[128] = {};
  // Windows of this process answer GetWindowText without a message round trip.
  GetWindowTextA(window, caption, sizeof caption);
  if (lstrcmpA(caption, state->caption) != 0) return TRUE;
  state->found = window;
  return FALSE;
}

}  // namespace

bool Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  DWORD_PTR answer = 0;
  if (!SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL | SMTO_ABORTIFHUNG, kAnswerMs, &answer)) {
    return false;
  }
  if (result) *result = static_cast<LRESULT>(answer);
  return true;
}

std::string TextOf(HWND window) {
  LRESULT length = 0;
  if (!window || !Send(window, WM_GETTEXTLENGTH, 0, 0, &length) || length <= 0) return "";
  std::vector<char> text(static_cast<size_t>(length) + 1, '\0');
  LRESULT copied = 0;
  if (!Send(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), &copied)) return "";
  return std::string(text.data(), static_cast<size_t>(copied) < text.size() ? static_cast<size_t>(copied) : 0);
}

HWND FindOwnWindow(const char* caption) {
  FindState state{caption, GetCurrentProcessId(), nullptr};
  EnumWindows(FindOwnWindowStep, reinterpret_cast<LPARAM>(&state));
  return state.found;
}

std::string MessageBoxText(HWND box) {
  // A message box's text is the static control with identifier 0xFFFF.
  return TextOf(GetDlgItem(box, 0xFFFF));
}

int PageCount(HWND sheet) {
  LRESULT tab = 0, count = 0;
  if (!Send(sheet, PSM_GETTABCONTROL, 0, 0, &tab) || !tab) return 0;
  if (!Send(reinterpret_cast<HWND>(tab), TCM_GETITEMCOUNT, 0, 0, &count)) return 0;
  return static_cast<int>(count);
}

std::string PageTitle(HWND sheet, int index) {
  LRESULT tab = 0;
  if (!Send(sheet, PSM_GETTABCONTROL, 0, 0, &tab) || !tab) return "";
  char title[128] = {};
  TCITEMA item = {};
  item.mask = TCIF_TEXT;
  item.pszText = title;
  item.cchTextMax = sizeof title - 1;
  LRESULT ok = 0;
  // Same process: the tab control writes straight into this buffer.
  if (!Send(reinterpret_cast<HWND>(tab), TCM_GETITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item),
            &ok) ||
      !ok) {
    return "";
  }
  return item.pszText ? std::string(item.pszText) : "";
}

HWND CurrentPage(HWND sheet) {
  LRESULT page = 0;
  return Send(sheet, PSM_GETCURRENTPAGEHWND, 0, 0, &page) ? reinterpret_cast<HWND>(page) : nullptr;
}

HWND PageWindow(HWND sheet, int index) {
  LRESULT page = 0;
  return Send(sheet, PSM_INDEXTOHWND, static_cast<WPARAM>(index), 0, &page) ? reinterpret_cast<HWND>(page) : nullptr;
}

bool SelectPage(HWND sheet, int index) {
  LRESULT ok = 0;
  return Send(sheet, PSM_SETCURSEL, static_cast<WPARAM>(index), 0, &ok) && ok;
}

bool PressSheetButton(HWND sheet, int button) {
  // The sheet may end inside this message; posting keeps the autopilot out of that.
  return PostMessageA(sheet, PSM_PRESSBUTTON, static_cast<WPARAM>(button), 0) != 0;
}

bool IsUsable(HWND control) { return control && IsWindowVisible(control) && IsWindowEnabled(control); }

}  // namespace lmx::host
