#include "host_window.h"

#include "block_file.h"
#include "block_text.h"
#include "choose.h"
#include "info_text.h"

namespace lmx::host {
namespace {

constexpr char kClassName[] = "LumoraFXHostWindow";

enum ControlId : int {
  kNameLabel = 100,
  kValues = 101,
  kChoose = 102,
  kAbout = 103,
  kFilter = 104,
  kStatus = 105,
};

struct WindowState {
  HostSession* session = nullptr;
  HFONT font = nullptr;  // the stock GUI font; not ours to delete
};

WindowState* StateOf(HWND window) {
  return reinterpret_cast<WindowState*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

HWND AddControl(HWND parent, const char* cls, const char* text, DWORD style, int id, int x, int y, int w, int h,
                HFONT font) {
  HWND control = CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr),
                                 nullptr);
  if (control) SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return control;
}

// Puts the block's effect and main values into the window.
void ShowBlock(HWND window, const WindowState& state) {
  const EffectSettings& block = state.session->block;
  std::string name = EffectNameOf(block);
  std::string title = "(none chosen yet)";
  if (!name.empty()) {
    EffectInfo info = state.session->library->Info(name);
    std::string display = DisplayName(info);
    title = display.empty() || display == name ? name : display + "  (" + name + ")";
  }
  SetDlgItemTextA(window, kNameLabel, ("Transition: " + title).c_str());
  std::string values;
  for (const auto& [label, value] : MainValues(block)) values += label + ": " + value + "\r\n";
  values += "Effect options: " + std::to_string(block.specialCount) + "\r\n";
  SetDlgItemTextA(window, kValues, values.c_str());
}

void SetStatus(HWND window, const std::string& text) { SetDlgItemTextA(window, kStatus, text.c_str()); }

void OnChoose(HWND window, WindowState& state) {
  HostSession& s = *state.session;
  s.filterMode = IsDlgButtonChecked(window, kFilter) == BST_CHECKED;
  int16_t result = ChooseTransition(s.library->select(), window, &s.block, s.filterMode);
  std::string status = std::string("Selection: ") + DescribeSelectResult(result);
  if (result == 0) {
    status += SaveBlockFile(s.blockPath, s.block) ? "; saved to " + s.blockPath
                                                   : "; could not save " + s.blockPath;
  }
  ShowBlock(window, state);
  SetStatus(window, status);
}

void OnCreate(HWND window, WindowState* state) {
  HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  state->font = font;
  AddControl(window, "STATIC", "", SS_LEFT | SS_NOPREFIX, kNameLabel, 12, 12, 416, 20, font);
  AddControl(window, "EDIT", "", ES_MULTILINE | ES_READONLY | WS_BORDER | WS_VSCROLL, kValues, 12, 38, 416, 190,
             font);
  AddControl(window, "BUTTON", "Choose transition...", BS_DEFPUSHBUTTON | WS_TABSTOP, kChoose, 12, 238, 140, 26,
             font);
  AddControl(window, "BUTTON", "About...", BS_PUSHBUTTON | WS_TABSTOP, kAbout, 160, 238, 90, 26, font);
  AddControl(window, "BUTTON", "Filter mode", BS_AUTOCHECKBOX | WS_TABSTOP, kFilter, 262, 242, 120, 20, font);
  AddControl(window, "STATIC", "", SS_LEFT | SS_NOPREFIX, kStatus, 12, 274, 416, 34, font);
  CheckDlgButton(window, kFilter, state->session->filterMode ? BST_CHECKED : BST_UNCHECKED);
  ShowBlock(window, *state);
  SetStatus(window, state->session->startNote);
}

LRESULT CALLBACK HostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NCCREATE: {
      auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
      SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
      break;
    }
    case WM_CREATE:
      OnCreate(window, StateOf(window));
      return 0;
    case WM_COMMAND:
      if (HIWORD(wParam) == BN_CLICKED) {
        WindowState* state = StateOf(window);
        if (LOWORD(wParam) == kChoose) {
          OnChoose(window, *state);
        } else if (LOWORD(wParam) == kAbout) {
          int16_t result = state->session->library->About(window);
          SetStatus(window, result == 0 ? "" : "The about box cannot be shown.");
        }
        return 0;
      }
      break;
    case WM_CTLCOLORSTATIC:
      // The read-only values box keeps a window-coloured background.
      if (GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) == kValues) {
        SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_WINDOW));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
      }
      break;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int RunHostWindow(HostSession* session) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSEXA cls = {};
  cls.cbSize = sizeof cls;
  cls.lpfnWndProc = HostWindowProc;
  cls.hInstance = instance;
  cls.hCursor = LoadCursor(nullptr, IDC_ARROW);
  cls.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
  cls.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  cls.lpszClassName = kClassName;
  if (!RegisterClassExA(&cls)) return 1;

  WindowState state;
  state.session = session;
  RECT frame = {0, 0, 440, 316};
  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  AdjustWindowRect(&frame, style, FALSE);
  HWND window = CreateWindowExA(0, kClassName, "Lumora FX Host", style, CW_USEDEFAULT, CW_USEDEFAULT,
                                frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, instance,
                                &state);
  if (!window) return 1;
  ShowWindow(window, SW_SHOWNORMAL);
  UpdateWindow(window);

  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (IsDialogMessageA(window, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}

}  // namespace lmx::host
