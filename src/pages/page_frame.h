// The page frame: what every page of the sheet shares. Each page procedure takes the
// sheet's session with PageSession, hands every message to PageFrameProc first (the
// Settings page keeps WM_NOTIFY and WM_TIMER back), and returns its result. Also the
// "Selected FX" panel operations and the change check.
#pragma once

#include <windows.h>

#include "preview/sheet_session.h"
#include "ui/panel_messages.h"

namespace lmx {

// The sheet's session for a page's message. At WM_INITDIALOG (lParam the page's
// PROPSHEETPAGE, whose lParam the session) it is kept with the window; null for the
// messages that come before.
SheetSession* PageSession(HWND page, UINT message, LPARAM lParam);

// Returns 0 for every message.
INT_PTR PageFrameProc(SheetSession& session, HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// Compares the host's block with the snapshot; on a difference clears the picture,
// takes a new snapshot and, with automatic preview on, starts or restarts a render.
void CheckSettingsChanged(SheetSession& session, HWND page);
// Copies the block into the snapshot (the FX page does it when it fills itself).
void TakeSettingsSnapshot(SheetSession& session);

void RefreshPanelTexts(SheetSession& session, HWND page);
void ClearPreviewPicture(SheetSession& session, HWND page);
void UpdateRenderButton(SheetSession& session, HWND page);
void UpdateProgressBar(SheetSession& session, HWND page);

// The user cancels the sheet: the result will be 1. For pages that keep PSN_QUERYCANCEL
// from the frame (the Settings page), and for IDCANCEL arriving at a page.
void RequestCancel(SheetSession& session);
// HELP_FINDER for the help button of a page (PSN_HELP).
void ShowHelpContents(HWND page);

}  // namespace lmx
