// The page frame: what every page of the sheet shares. Each page procedure hands every
// message to PageFrameProc first (the Settings page keeps WM_NOTIFY and WM_TIMER back),
// and returns its result. Also the "Selected FX" panel operations and the change check.
#pragma once

#include <windows.h>

#include <cstdint>

#include "pages/effect_settings.h"

namespace lmx {

struct PageFrameState {
  HWND currentPage = nullptr;     // the panel page made active last
  HWND panelLessPage = nullptr;   // the Settings page, set at each of its messages
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

}  // namespace lmx
