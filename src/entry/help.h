// Help requests of the pages: WinHelpA with the module's help file. When the module was
// loaded with the environment variable LMX_TEST_HELP_LOG naming a file, each request is
// appended to that file as one line instead, so that tests see help requests without a
// help viewer: "<command> <control id> <context> <help file>", where the context is
// the one the help system would pick for that control (the first entry of HelpIdTable),
// 0 for HELP_FINDER or an unlisted control.
#pragma once

#include <windows.h>

namespace lmx {

// Pairs of (control id, help context), ended by (0, 0).
extern const DWORD* const HelpIdTable;
// The context of the first entry for the control, 0 when it has none.
DWORD HelpContextFor(int controlId);

// Reads LMX_TEST_HELP_LOG; called once when the module is loaded.
void InitHelpRequests();
// WinHelpA(window, helpFilePath, command, data) or its log line.
void RequestHelp(HWND window, UINT command, ULONG_PTR data);

}  // namespace lmx
