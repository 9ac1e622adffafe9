// The Options page: the general rendering settings of the chosen effect. The controls
// are loaded from the block once, when the page is created; from then on every command
// and every finished trackbar move writes all twelve values back.
#include <windows.h>

#include <commctrl.h>

#include "pages/page_frame.h"
#include "pages/page_procs.h"
#include "pages/value_page.h"
#include "preview/preview.h"
#include "resources/resource_ids.h"
#include "selection/options_values.h"
#include "ui/controls.h"
#include "ui/module_state.h"

namespace lmx {
namespace {

bool Checked(HWND page, int id) { return IsDlgButtonChecked(page, id) == BST_CHECKED; }
void Check(HWND page, int id, bool on) { CheckDlgButton(page, id, on ? BST_CHECKED : BST_UNCHECKED); }

void SetupOptionsTrackbars(HWND page) {
  SetupTrackbar(page, IDC_OPT_ANTIALIAS, 0, 8, 0);
  SetupTrackbar(page, IDC_OPT_BLUR_PERCENT, 0, 100, 10);
  SetupTrackbar(page, IDC_OPT_BLUR_COUNT, 0, 10, 0);
  SetupTrackbar(page, IDC_OPT_LIGHT_DIRECTION, 0, 360, 45);
  SetupTrackbar(page, IDC_OPT_TRANSITION_PERIOD, 0, 100, 10);
}

void LoadOptionsControls(SheetSession& session, HWND page) {
  const OptionsValues v = ReadOptionsValues(session.sheet.hostSettings);
  SetRadioIndex(page, IDC_OPT_FLY_OFF, IDC_OPT_FLY_ON, v.direction);
  SetRadioIndex(page, IDC_OPT_SMOOTH, IDC_OPT_WIRE, v.renderMode);
  SetRadioIndex(page, IDC_OPT_QUALITY_FASTEST, IDC_OPT_QUALITY_BEST, v.quality);
  SetRadioIndex(page, IDC_OPT_IMAGE_FASTEST, IDC_OPT_IMAGE_BEST, v.imageQuality);
  SetRadioIndex(page, IDC_OPT_FIELD_FRAME, IDC_OPT_FIELD_EVEN, v.frameField);
  Check(page, IDC_OPT_LIGHTING, v.lighting);
  Check(page, IDC_OPT_SHADOWS, v.shadows);
  SetTrackbarWithLabel(page, IDC_OPT_ANTIALIAS, v.antiAliasing);
  SetTrackbarWithLabel(page, IDC_OPT_BLUR_PERCENT, v.blurPercent);
  SetTrackbarWithLabel(page, IDC_OPT_BLUR_COUNT, v.blurCount);
  SetTrackbarWithLabel(page, IDC_OPT_LIGHT_DIRECTION, v.lightDirection);
  SetTrackbarWithLabel(page, IDC_OPT_TRANSITION_PERIOD, v.transitionPeriod);
}

void StoreOptionsControls(SheetSession& session, HWND page) {
  OptionsValues v;
  v.direction = GetRadioIndex(page, IDC_OPT_FLY_OFF, IDC_OPT_FLY_ON);
  v.renderMode = GetRadioIndex(page, IDC_OPT_SMOOTH, IDC_OPT_WIRE);
  v.quality = GetRadioIndex(page, IDC_OPT_QUALITY_FASTEST, IDC_OPT_QUALITY_BEST);
  v.imageQuality = GetRadioIndex(page, IDC_OPT_IMAGE_FASTEST, IDC_OPT_IMAGE_BEST);
  v.frameField = GetRadioIndex(page, IDC_OPT_FIELD_FRAME, IDC_OPT_FIELD_EVEN);
  v.lighting = Checked(page, IDC_OPT_LIGHTING);
  v.shadows = Checked(page, IDC_OPT_SHADOWS);
  v.antiAliasing = GetTrackbarPos(page, IDC_OPT_ANTIALIAS);
  v.blurPercent = GetTrackbarPos(page, IDC_OPT_BLUR_PERCENT);
  v.blurCount = GetTrackbarPos(page, IDC_OPT_BLUR_COUNT);
  v.lightDirection = GetTrackbarPos(page, IDC_OPT_LIGHT_DIRECTION);
  v.transitionPeriod = GetTrackbarPos(page, IDC_OPT_TRANSITION_PERIOD);
  WriteSettings(session, [&](EffectSettings* block) {
    StoreOptionsValues(v, session.selection, block, Module().effAutoreverse != 0);
  });
}

void InitOptionsPage(SheetSession& session, HWND page) {
  SetupOptionsTrackbars(page);
  LoadOptionsControls(session, page);
}

constexpr ValuePageSteps kOptionsSteps = {InitOptionsPage, nullptr, StoreOptionsControls};

}  // namespace

INT_PTR CALLBACK OptionsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  return ValuePageProc(kOptionsSteps, page, message, wParam, lParam);
}

}  // namespace lmx
