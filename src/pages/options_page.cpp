// The Options page: the general rendering settings of the chosen effect. The controls
// are loaded from the block once, when the page is created; from then on every command
// and every finished trackbar move writes all twelve values back.
#include <windows.h>

#include <commctrl.h>

#include "entry/controls.h"
#include "entry/module_state.h"
#include "entry/page_frame.h"
#include "entry/sheet_context.h"
#include "pages/options_values.h"

namespace lmx {
namespace {

enum : int {
  kFlyOff = 1100, kFlyOn = 1101,
  kSmooth = 1103, kWire = 1105,
  kQualityFastest = 1106, kQualityBest = 1107,
  kImageFastest = 1108, kImageBest = 1109,
  kAntiAliasing = 1110,
  kLighting = 1112, kShadows = 1113,
  kBlurPercent = 1115, kBlurCount = 1117,
  kLightDirection = 1121,
  kTransitionPeriod = 1639,
  kFrame = 1400, kEven = 1402,
};

bool Checked(HWND page, int id) { return IsDlgButtonChecked(page, id) == BST_CHECKED; }
void Check(HWND page, int id, bool on) { CheckDlgButton(page, id, on ? BST_CHECKED : BST_UNCHECKED); }

void SetupOptionsTrackbars(HWND page) {
  SetupTrackbar(page, kAntiAliasing, 0, 8, 0);
  SetupTrackbar(page, kBlurPercent, 0, 100, 10);
  SetupTrackbar(page, kBlurCount, 0, 10, 0);
  SetupTrackbar(page, kLightDirection, 0, 360, 45);
  SetupTrackbar(page, kTransitionPeriod, 0, 100, 10);
}

void LoadOptionsControls(HWND page) {
  const OptionsValues v = ReadOptionsValues(Sheet().hostSettings);
  SetRadioIndex(page, kFlyOff, kFlyOn, v.direction);
  SetRadioIndex(page, kSmooth, kWire, v.renderMode);
  SetRadioIndex(page, kQualityFastest, kQualityBest, v.quality);
  SetRadioIndex(page, kImageFastest, kImageBest, v.imageQuality);
  SetRadioIndex(page, kFrame, kEven, v.frameField);
  Check(page, kLighting, v.lighting);
  Check(page, kShadows, v.shadows);
  SetTrackbarWithLabel(page, kAntiAliasing, v.antiAliasing);
  SetTrackbarWithLabel(page, kBlurPercent, v.blurPercent);
  SetTrackbarWithLabel(page, kBlurCount, v.blurCount);
  SetTrackbarWithLabel(page, kLightDirection, v.lightDirection);
  SetTrackbarWithLabel(page, kTransitionPeriod, v.transitionPeriod);
}

void StoreOptionsControls(HWND page) {
  OptionsValues v;
  v.direction = GetRadioIndex(page, kFlyOff, kFlyOn);
  v.renderMode = GetRadioIndex(page, kSmooth, kWire);
  v.quality = GetRadioIndex(page, kQualityFastest, kQualityBest);
  v.imageQuality = GetRadioIndex(page, kImageFastest, kImageBest);
  v.frameField = GetRadioIndex(page, kFrame, kEven);
  v.lighting = Checked(page, kLighting);
  v.shadows = Checked(page, kShadows);
  v.antiAliasing = GetTrackbarPos(page, kAntiAliasing);
  v.blurPercent = GetTrackbarPos(page, kBlurPercent);
  v.blurCount = GetTrackbarPos(page, kBlurCount);
  v.lightDirection = GetTrackbarPos(page, kLightDirection);
  v.transitionPeriod = GetTrackbarPos(page, kTransitionPeriod);
  StoreOptionsValues(v, Selection(), Sheet().hostSettings, Module().effAutoreverse != 0);
}

}  // namespace

INT_PTR CALLBACK OptionsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  const INT_PTR result = PageFrameProc(page, message, wParam, lParam);
  switch (message) {
    case WM_INITDIALOG:
      SetupOptionsTrackbars(page);
      LoadOptionsControls(page);
      break;
    case WM_COMMAND:
      StoreOptionsControls(page);
      break;
    case WM_HSCROLL:
      if (lParam != 0) UpdateTrackbarLabel(page, reinterpret_cast<HWND>(lParam));
      if (LOWORD(wParam) != TB_THUMBTRACK) StoreOptionsControls(page);
      break;
    default:
      break;
  }
  CheckSettingsChanged(page);
  return result;
}

}  // namespace lmx
