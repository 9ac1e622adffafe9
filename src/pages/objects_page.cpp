// The Objects page: one object of the effect at a time, chosen by name, with its eight
// values. The block is the only store; the page shows the row currentObject of it.
#include <windows.h>

#include <commctrl.h>

#include <memory>

#include "entry/controls.h"
#include "entry/module_state.h"
#include "entry/page_frame.h"
#include "entry/sheet_context.h"
#include "pages/object_values.h"

namespace lmx {
namespace {

enum : int {
  kObjectList = 1300,
  kLuminosity = 1301,
  kShine = 1303,
  kTransparency = 1305,
  kTrailCount = 1307,
  kChangePeriod = 1309,
  kPathRotation = 1119,
  kRotatesWithPath = 1312,
  kTrailSpacing = 1320,
};

// Set while the page fills its controls, so that notifications the list may send then
// never store half-loaded controls into a row.
bool filling = false;

void SetupObjectTrackbars(HWND page) {
  SetupTrackbar(page, kLuminosity, 0, 100, 10);
  SetupTrackbar(page, kTransparency, 0, 100, 10);
  SetupTrackbar(page, kShine, 0, 100, 10);
  SetupTrackbar(page, kChangePeriod, 0, 100, 10);
  SetupTrackbar(page, kPathRotation, 0, 360, 45);
  SetupTrackbar(page, kTrailCount, 0, 20, 0);
  SetupTrackbar(page, kTrailSpacing, 0, 20, 0);
}

void LoadObjectControls(HWND page, int object) {
  SelectionState& selection = Selection();
  selection.currentObject = object;
  const ObjectValues v = ReadObjectValues(Sheet().hostSettings, object);
  SetTrackbarWithLabel(page, kLuminosity, v.luminosity);
  SetTrackbarWithLabel(page, kShine, v.shine);
  SetTrackbarWithLabel(page, kTransparency, v.transparency);
  SetTrackbarWithLabel(page, kChangePeriod, v.changePeriod);
  SetTrackbarWithLabel(page, kPathRotation, v.pathRotation);
  CheckDlgButton(page, kRotatesWithPath, v.rotatesWithPath ? BST_CHECKED : BST_UNCHECKED);
  std::shared_ptr<const EffectRecord> effect = CurrentEffect(selection);
  const BOOL directed = effect && effect->directionFlag() != 0;
  EnableWindow(GetDlgItem(page, kPathRotation), directed);
  EnableWindow(GetDlgItem(page, kRotatesWithPath), directed);
  SetTrackbarWithLabel(page, kTrailCount, v.trailCount);
  SetTrackbarWithLabel(page, kTrailSpacing, v.trailSpacing);
}

void FillObjectsPage(HWND page) {
  filling = true;
  HWND list = GetDlgItem(page, kObjectList);
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
  v.luminosity = GetTrackbarPos(page, kLuminosity);
  v.shine = GetTrackbarPos(page, kShine);
  v.transparency = GetTrackbarPos(page, kTransparency);
  v.changePeriod = GetTrackbarPos(page, kChangePeriod);
  v.pathRotation = GetTrackbarPos(page, kPathRotation);
  v.rotatesWithPath = IsDlgButtonChecked(page, kRotatesWithPath) == BST_CHECKED;
  v.trailCount = GetTrackbarPos(page, kTrailCount);
  v.trailSpacing = GetTrackbarPos(page, kTrailSpacing);
  StoreObjectValues(Sheet().hostSettings, object, v);

  const LRESULT chosen = SendDlgItemMessageA(page, kObjectList, CB_GETCURSEL, 0, 0);
  if (chosen != CB_ERR && chosen != object) LoadObjectControls(page, static_cast<int>(chosen));
}

}  // namespace

INT_PTR CALLBACK ObjectsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
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

}  // namespace lmx
