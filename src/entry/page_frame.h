// The page frame: what every page of the sheet shares. Each page procedure hands every
// message to PageFrameProc first (the Settings page keeps WM_NOTIFY and WM_TIMER back),
// and returns its result. Also the "Selected FX" panel operations and the change check.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>

#include "model/effect_settings.h"

namespace lmx {

// Private messages the render thread posts to the panel page; pages keep their own
// private messages at kFirstPageMessage and above.
inline constexpr UINT kRenderStateMessage = WM_APP + 1;     // refresh the Render button
inline constexpr UINT kRenderProgressMessage = WM_APP + 2;  // wParam: percent for bar 1084
inline constexpr UINT kFirstPageMessage = WM_APP + 16;

struct PageFrameState {
  // Read by the render thread to address its panel updates, hence atomic.
  std::atomic<HWND> currentPage{nullptr};    // the panel page made active last
  std::atomic<HWND> panelLessPage{nullptr};  // the Settings page, set at each of its messages
  uint8_t settingsSnapshot[sizeof(EffectSettings)] = {};
};

PageFrameState& PageFrame();

// Returns 0 for every message.
INT_PTR PageFrameProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// Compares the host's block with the snapshot; on a difference clears the picture,
// takes a new snapshot and, with automatic preview on, starts or restarts a render.
void CheckSettingsChanged(HWND page);
// Copies the block into the snapshot (the FX page does it when it fills itself).
void TakeSettingsSnapshot();

void RefreshPanelTexts(HWND page);
void ClearPreviewPicture(HWND page);
void UpdateRenderButton(HWND page);
void UpdateProgressBar(HWND page);

// The user cancels the sheet: the result will be 1. For pages that keep PSN_QUERYCANCEL
// from the frame (the Settings page), and for IDCANCEL arriving at a page.
void RequestCancel();
// HELP_FINDER for the help button of a page (PSN_HELP).
void ShowHelpContents(HWND page);

// Called by the render thread: post the panel updates to the current page, so that the
// render thread never waits for the user-interface thread.
void PostRenderStateChanged();
void PostRenderProgress(int32_t percent);

}  // namespace lmx
