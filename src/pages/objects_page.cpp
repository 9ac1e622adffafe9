// The Objects page: one object of the effect at a time, chosen by name, with its eight
// values. The block is the only store; the page shows the row currentObject of it.
#include <windows.h>

#include <commctrl.h>

#include <memory>

#include "pages/page_frame.h"
#include "pages/page_procs.h"
#include "platform/catch_all.h"
#include "resources/resource_ids.h"
#include "selection/object_values.h"
#include "selection/sheet_state.h"
#include "ui/controls.h"
#include "ui/module_state.h"

namespace lmx {
namespace {

// Set while the page fills its controls, so that notifications the list may send then
// never store half-loaded controls into a row. A file-scope flag because the page has no
// data of its own from the sheet yet.
bool filling = false;

void SetupObjectTrackbars(HWND page) {
  SetupTrackbar(page, IDC_OBJ_LUMINOSITY, 0, 100, 10);
  SetupTrackbar(page, IDC_OBJ_TRANSPARENCY, 0, 100, 10);
  SetupTrackbar(page, IDC_OBJ_SHINE, 0, 100, 10);
  SetupTrackbar(page, IDC_OBJ_CHANGE_PERIOD, 0, 100, 10);
  SetupTrackbar(page, IDC_OBJ_PATH_ROTATION, 0, 360, 45);
  SetupTrackbar(page, IDC_OBJ_TRAIL_COUNT, 0, 20, 0);
  SetupTrackbar(page, IDC_OBJ_TRAIL_SPACING, 0, 20, 0);
}

void LoadObjectControls(HWND page, int object) {
  SelectionState& selection = Selection();
  selection.currentObject = object;
  const ObjectValues v = ReadObjectValues(Sheet().hostSettings, object);
  SetTrackbarWithLabel(page, IDC_OBJ_LUMINOSITY, v.luminosity);
  SetTrackbarWithLabel(page, IDC_OBJ_SHINE, v.shine);
  SetTrackbarWithLabel(page, IDC_OBJ_TRANSPARENCY, v.transparency);
  SetTrackbarWithLabel(page, IDC_OBJ_CHANGE_PERIOD, v.changePeriod);
  SetTrackbarWithLabel(page, IDC_OBJ_PATH_ROTATION, v.pathRotation);
  CheckDlgButton(page, IDC_OBJ_ROTATES_WITH_PATH, v.rotatesWithPath ? BST_CHECKED : BST_UNCHECKED);
  std::shared_ptr<const EffectRecord> effect = CurrentEffect(selection);
  const BOOL directed = effect && effect->directionFlag() != 0;
  EnableWindow(GetDlgItem(page, IDC_OBJ_PATH_ROTATION), directed);
  EnableWindow(GetDlgItem(page, IDC_OBJ_ROTATES_WITH_PATH), directed);
  SetTrackbarWithLabel(page, IDC_OBJ_TRAIL_COUNT, v.trailCount);
  SetTrackbarWithLabel(page, IDC_OBJ_TRAIL_SPACING, v.trailSpacing);
}

void FillObjectsPage(HWND page) {
  filling = true;
  HWND list = GetDlgItem(page, IDC_OBJ_LIST);
  SendMessageA(list, CB_RESETCONTENT, 0, 0);
  const int object = Selection().currentObject;
  if (std::shared_ptr<const EffectRecord> effect = CurrentEffect(Selection())) {
    for (uint32_t i = 0; i < effect->objectCount(); ++i)
      SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(effect->objectName(i).c_str()));
  }
  SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(object), 0);
  LoadObjectControls(page, object);
  filling = false;
}

void StoreObjectControls(HWND page) {
  if (filling) return;
  const int object = Selection().currentObject;
  ObjectValues v;
  v.luminosity = GetTrackbarPos(page, IDC_OBJ_LUMINOSITY);
  v.shine = GetTrackbarPos(page, IDC_OBJ_SHINE);
  v.transparency = GetTrackbarPos(page, IDC_OBJ_TRANSPARENCY);
  v.changePeriod = GetTrackbarPos(page, IDC_OBJ_CHANGE_PERIOD);
  v.pathRotation = GetTrackbarPos(page, IDC_OBJ_PATH_ROTATION);
  v.rotatesWithPath = IsDlgButtonChecked(page, IDC_OBJ_ROTATES_WITH_PATH) == BST_CHECKED;
  v.trailCount = GetTrackbarPos(page, IDC_OBJ_TRAIL_COUNT);
  v.trailSpacing = GetTrackbarPos(page, IDC_OBJ_TRAIL_SPACING);
  StoreObjectValues(Sheet().hostSettings, object, v);

  const LRESULT chosen = SendDlgItemMessageA(page, IDC_OBJ_LIST, CB_GETCURSEL, 0, 0);
  if (chosen != CB_ERR && chosen != object) LoadObjectControls(page, static_cast<int>(chosen));
}

INT_PTR ObjectsPageMessage(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  const INT_PTR result = PageFrameProc(page, message, wParam, lParam);
  switch (message) {
    case WM_INITDIALOG:
      SetupObjectTrackbars(page);
      FillObjectsPage(page);
      break;
    case WM_NOTIFY:
      if (lParam != 0 && reinterpret_cast<const NMHDR*>(lParam)->code == static_cast<UINT>(PSN_SETACTIVE)) {
        Selection().currentObject =
            ObjectOnActivation(Selection(), Sheet().hostSettings, Module().effAutoreverse != 0);
        FillObjectsPage(page);
      }
      break;
    case WM_COMMAND:
      StoreObjectControls(page);
      break;
    case WM_HSCROLL:
      if (lParam != 0) UpdateTrackbarLabel(page, reinterpret_cast<HWND>(lParam));
      if (LOWORD(wParam) != TB_THUMBTRACK) StoreObjectControls(page);
      break;
    default:
      break;
  }
  CheckSettingsChanged(page);
  return result;
}

}  // namespace

INT_PTR CALLBACK ObjectsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  return platform::CatchAll<INT_PTR>(0, [&] { return ObjectsPageMessage(page, message, wParam, lParam); });
}

}  // namespace lmx
