// Thin helpers over the controls every page uses. A trackbar's value label is the
// control whose identifier is one above the trackbar's.
#pragma once

#include <windows.h>

namespace lmx {

// Range (redrawn); with a tick step other than 0 also the tick frequency and page size.
void SetupTrackbar(HWND page, int id, int minimum, int maximum, int tickStep);
// Position (redrawn) and label: "%d%%" when the trackbar's maximum is exactly 100, else "%d".
// The label shows the value given, even when the trackbar clamps it.
void SetTrackbarWithLabel(HWND page, int id, int position);
// For any trackbar but the preview speed (1062): writes its position into its label.
void UpdateTrackbarLabel(HWND page, HWND trackbar);
int GetTrackbarPos(HWND page, int id);
// Checks button first + index of the group first..last and clears the others.
void SetRadioIndex(HWND page, int first, int last, int index);
// Offset of the first checked button of the group, 0 when none is checked.
int GetRadioIndex(HWND page, int first, int last);
// Invalidates the control's whole area without erasing its background.
void RepaintControl(HWND page, int id);

}  // namespace lmx
