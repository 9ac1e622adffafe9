// The Filter page (filter mode only): source object, the filter frame's position in
// percent, the frame count and centring. It reloads at every activation; loading
// writes nothing, so a value outside a trackbar's range stays in the block until the
// user works a control of the page.
#include <windows.h>

#include <commctrl.h>

#include <memory>

#include "pages/page_frame.h"
#include "pages/page_procs.h"
#include "pages/value_page.h"
#include "preview/preview.h"
#include "resources/resource_ids.h"
#include "selection/filter_values.h"
#include "ui/controls.h"

namespace lmx {
namespace {

void LoadFilterControls(SheetSession& session, HWND page) {
  session.filterFilling = true;
  const FilterValues v = ReadFilterValues(session.sheet.hostSettings);
  HWND list = GetDlgItem(page, IDC_FILTER_SOURCE);
  SendMessageA(list, CB_RESETCONTENT, 0, 0);
  if (std::shared_ptr<const EffectRecord> effect = CurrentEffect(session.selection)) {
    for (uint32_t i = 0; i < effect->objectCount(); ++i)
      SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(effect->objectName(i).c_str()));
  }
  SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(v.source), 0);
  SetTrackbarWithLabel(page, IDC_FILTER_PERCENT, v.percent);
  SetTrackbarWithLabel(page, IDC_FILTER_FRAMES, v.frames);
  CheckDlgButton(page, IDC_FILTER_CENTER_OBJECTS, v.centerObjects ? BST_CHECKED : BST_UNCHECKED);
  session.filterFilling = false;
}

void StoreFilterControls(SheetSession& session, HWND page) {
  if (session.filterFilling) return;
  FilterValues v;
  const LRESULT chosen = SendDlgItemMessageA(page, IDC_FILTER_SOURCE, CB_GETCURSEL, 0, 0);
  v.source = chosen == CB_ERR ? -1 : static_cast<int32_t>(chosen);
  v.percent = GetTrackbarPos(page, IDC_FILTER_PERCENT);
  v.frames = GetTrackbarPos(page, IDC_FILTER_FRAMES);
  v.centerObjects = IsDlgButtonChecked(page, IDC_FILTER_CENTER_OBJECTS) == BST_CHECKED;
  WriteSettings(session, [&](EffectSettings* block) { StoreFilterValues(block, v); });
}

void InitFilterPage(SheetSession& session, HWND page) {
  SetupTrackbar(page, IDC_FILTER_PERCENT, 0, 100, 10);
  SetupTrackbar(page, IDC_FILTER_FRAMES, 10, 200, 20);
  LoadFilterControls(session, page);
}

constexpr ValuePageSteps kFilterSteps = {InitFilterPage, LoadFilterControls, StoreFilterControls};

}  // namespace

INT_PTR CALLBACK FilterPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  return ValuePageProc(kFilterSteps, page, message, wParam, lParam);
}

}  // namespace lmx
