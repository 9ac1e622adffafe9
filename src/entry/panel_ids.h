// Identifiers of the shared "Selected FX" panel, the same on every panel page, and the
// page timers.
#pragma once

namespace lmx {

inline constexpr int kPanelGroupBox = 1040;    // caption: the effect's long name
inline constexpr int kPanelDescription = 1044;
inline constexpr int kPanelPicture = 1042;     // the preview is painted into its client area
inline constexpr int kPanelProgress = 1084;
inline constexpr int kPanelSpeed = 1062;       // preview speed trackbar, 1 to 30
inline constexpr int kPanelRender = 1078;      // Render / Stop / Wait...

inline constexpr UINT_PTR kProgressTimer = 101;  // every 200 ms
inline constexpr UINT_PTR kPreviewTimer = 102;   // every 1000 / previewSpeed ms
inline constexpr UINT kProgressTimerMs = 200;

}  // namespace lmx
