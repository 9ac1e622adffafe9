// Identifiers of the shared "Selected FX" panel, the same on every panel page, and the
// page timers.
#pragma once

#include <windows.h>

#include "resources/resource_ids.h"

namespace lmx {

inline constexpr int kPanelGroupBox = IDC_PANEL_NAME_BOX;  // caption: the effect's long name
inline constexpr int kPanelDescription = IDC_PANEL_DESCRIPTION;
inline constexpr int kPanelPicture = IDC_PANEL_PICTURE;  // the preview is painted into its client area
inline constexpr int kPanelProgress = IDC_PANEL_PROGRESS;
inline constexpr int kPanelSpeed = IDC_PANEL_SPEED;    // preview speed trackbar, 1 to 30
inline constexpr int kPanelRender = IDC_PANEL_RENDER;  // Render / Stop / Wait...

inline constexpr UINT_PTR kProgressTimer = 101;  // every 200 ms
inline constexpr UINT_PTR kPreviewTimer = 102;   // every 1000 / previewSpeed ms
inline constexpr UINT kProgressTimerMs = 200;

}  // namespace lmx
