// Help requests of the pages: WinHelpA with the module's help file.
#pragma once

#include <windows.h>

namespace lmx {

// Pairs of (control id, help context), ended by (0, 0); the help system takes the first
// pair of a control.
extern const DWORD* const HelpIdTable;

// WinHelpA(window, helpFilePath, command, data).
void RequestHelp(HWND window, UINT command, ULONG_PTR data);

}  // namespace lmx
