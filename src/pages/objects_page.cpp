// The Objects page: one object of the effect at a time, chosen by name, with its eight
// values. The block is the only store; the page shows the row currentObject of it.
#include <windows.h>

#include <commctrl.h>

#include <memory>

#include "pages/page_frame.h"
#include "pages/page_procs.h"
#include "pages/value_page.h"
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

void InitObjectsPage(HWND page) {
  SetupObjectTrackbars(page);
  FillObjectsPage(page);
}

void ActivateObjectsPage(HWND page) {
  Selection().currentObject = ObjectOnActivation(Selection(), Sheet().hostSettings, Module().effAutoreverse != 0);
  FillObjectsPage(page);
}

constexpr ValuePageSteps kObjectsSteps = {InitObjectsPage, ActivateObjectsPage, StoreObjectControls};

}  // namespace

INT_PTR CALLBACK ObjectsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  return ValuePageProc(kObjectsSteps, page, message, wParam, lParam);
}

}  // namespace lmx
