// Thin wrappers for driving another thread's property sheet from the autopilot's thread.
// Every message goes through SendMessageTimeout, so a sheet that stops answering makes a
// call fail instead of hanging the autopilot.
#pragma once

#include <windows.h>

#include <string>

namespace lmx::host {

// Sends and waits at most a few seconds; false when the window did not answer.
bool Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result = nullptr);

// A window's text, read through WM_GETTEXT; "" for a window that does not answer.
std::string TextOf(HWND window);

// A visible top-level window of this process with exactly this caption, or null.
HWND FindOwnWindow(const char* caption);

// The text of a message box (its static text control), or "".
std::string MessageBoxText(HWND box);

// Property-sheet queries and commands.
int PageCount(HWND sheet);
std::string PageTitle(HWND sheet, int index);
HWND CurrentPage(HWND sheet);
HWND PageWindow(HWND sheet, int index);  // null while the page has not been created
bool SelectPage(HWND sheet, int index);
bool PressSheetButton(HWND sheet, int button);  // PSBTN_OK, PSBTN_CANCEL

// A child control that is shown and can be used.
bool IsUsable(HWND control);

}  // namespace lmx::host
