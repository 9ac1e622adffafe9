// The Objects page: one object of the effect at a time, chosen by name, with its eight
// values. The block is the only store; the page shows the row currentObject of it.
#include <windows.h>

#include <commctrl.h>

#include <memory>

#include "pages/page_frame.h"
#include "pages/page_procs.h"
#include "pages/value_page.h"
#include "preview/preview.h"
#include "resources/resource_ids.h"
#include "selection/object_values.h"
#include "ui/controls.h"
#include "ui/module_state.h"

namespace lmx {
namespace {

void SetupObjectTrackbars(HWND page) {
  SetupTrackbar(page, IDC_OBJ_LUMINOSITY, 0, 100, 10);
  SetupTrackbar(page, IDC_OBJ_TRANSPARENCY, 0, 100, 10);
  SetupTrackbar(page, IDC_OBJ_SHINE, 0, 100, 10);
  SetupTrackbar(page, IDC_OBJ_CHANGE_PERIOD, 0, 100, 10);
  SetupTrackbar(page, IDC_OBJ_PATH_ROTATION, 0, 360, 45);
  SetupTrackbar(page, IDC_OBJ_TRAIL_COUNT, 0, 20, 0);
  SetupTrackbar(page, IDC_OBJ_TRAIL_SPACING, 0, 20, 0);
}

void LoadObjectControls(SheetSession& session, HWND page, int object) {
  SelectionState& selection = session.selection;
  selection.currentObject = object;
  const ObjectValues v = ReadObjectValues(session.sheet.hostSettings, object);
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

void FillObjectsPage(SheetSession& session, HWND page) {
  session.objectsFilling = true;
  HWND list = GetDlgItem(page, IDC_OBJ_LIST);
  SendMessageA(list, CB_RESETCONTENT, 0, 0);
  const int object = session.selection.currentObject;
  if (std::shared_ptr<const EffectRecord> effect = CurrentEffect(session.selection)) {
    for (uint32_t i = 0; i < effect->objectCount(); ++i)
      SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(effect->objectName(i).c_str()));
  }
  SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(object), 0);
  LoadObjectControls(session, page, object);
  session.objectsFilling = false;
}

void StoreObjectControls(SheetSession& session, HWND page) {
  if (session.objectsFilling) return;
  const int object = session.selection.currentObject;
  ObjectValues v;
  v.luminosity = GetTrackbarPos(page, IDC_OBJ_LUMINOSITY);
  v.shine = GetTrackbarPos(page, IDC_OBJ_SHINE);
  v.transparency = GetTrackbarPos(page, IDC_OBJ_TRANSPARENCY);
  v.changePeriod = GetTrackbarPos(page, IDC_OBJ_CHANGE_PERIOD);
  v.pathRotation = GetTrackbarPos(page, IDC_OBJ_PATH_ROTATION);
  v.rotatesWithPath = IsDlgButtonChecked(page, IDC_OBJ_ROTATES_WITH_PATH) == BST_CHECKED;
  v.trailCount = GetTrackbarPos(page, IDC_OBJ_TRAIL_COUNT);
  v.trailSpacing = GetTrackbarPos(page, IDC_OBJ_TRAIL_SPACING);
  WriteSettings(session, [&](EffectSettings* block) { StoreObjectValues(block, object, v); });

  const LRESULT chosen = SendDlgItemMessageA(page, IDC_OBJ_LIST, CB_GETCURSEL, 0, 0);
  if (chosen != CB_ERR && chosen != object) LoadObjectControls(session, page, static_cast<int>(chosen));
}

void InitObjectsPage(SheetSession& session, HWND page) {
  SetupObjectTrackbars(page);
  FillObjectsPage(session, page);
}

void ActivateObjectsPage(SheetSession& session, HWND page) {
  SelectionState& selection = session.selection;
  selection.currentObject = ObjectOnActivation(selection, session.sheet.hostSettings, Module().effAutoreverse != 0);
  FillObjectsPage(session, page);
}

constexpr ValuePageSteps kObjectsSteps = {InitObjectsPage, ActivateObjectsPage, StoreObjectControls};

}  // namespace

INT_PTR CALLBACK ObjectsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  return ValuePageProc(kObjectsSteps, page, message, wParam, lParam);
}

}  // namespace lmx
