// Working the controls of the parameter pages from a test, as the controls themselves
// would: trackbar moves, list choices, and reading labels and check marks.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include "sheet_harness.h"

namespace lmx::test {

// Sets the trackbar's position and sends the page the scroll message a trackbar sends
// (TB_THUMBTRACK while dragging, TB_ENDTRACK when released, ...).
inline void Scroll(const SheetRun& run, int id, int position, int code) {
  HWND bar = run.Control(id);
  SendMessageA(bar, TBM_SETPOS, TRUE, position);
  SendMessageA(run.CurrentPage(), WM_HSCROLL, MAKEWPARAM(code, code == TB_THUMBTRACK ? position : 0),
               reinterpret_cast<LPARAM>(bar));
}

inline int Position(const SheetRun& run, int id) {
  return static_cast<int>(SendMessageA(run.Control(id), TBM_GETPOS, 0, 0));
}

inline bool IsChecked(const SheetRun& run, int id) {
  return SendMessageA(run.Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

// Chooses entry index of a drop-down list as the user would: selection, then CBN_SELCHANGE.
inline void Choose(const SheetRun& run, int id, int index) {
  SendMessageA(run.Control(id), CB_SETCURSEL, index, 0);
  run.Command(id, CBN_SELCHANGE);
}

inline int ListSelection(const SheetRun& run, int id) {
  return static_cast<int>(SendMessageA(run.Control(id), CB_GETCURSEL, 0, 0));
}

inline int ListCount(const SheetRun& run, int id) {
  return static_cast<int>(SendMessageA(run.Control(id), CB_GETCOUNT, 0, 0));
}

inline std::string ListEntry(const SheetRun& run, int id, int index) {
  char text[1100] = {};
  SendMessageA(run.Control(id), CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
  return text;
}

// Makes page `index` the active one and waits until it is.
inline bool ShowPage(const SheetRun& run, int index) {
  run.SelectPage(index);
  return WaitUntil([&] { return run.CurrentIndex() == index; });
}

}  // namespace lmx::test
