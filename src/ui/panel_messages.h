// Where the render thread's panel updates go: the page whose panel shows the preview,
// reached by posted messages so that the render thread never waits for the
// user-interface thread.
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

// The page without the panel (the Settings page): no panel updates go to it.
bool IsPanelLess(const PageFrameState& frame, HWND page);

// Called by the render thread: post the panel updates to the current page, so that the
// render thread never waits for the user-interface thread.
void PostRenderStateChanged(const PageFrameState& frame);
void PostRenderProgress(const PageFrameState& frame, int32_t percent);

}  // namespace lmx
