// The FX page: the organization's groups in a list, the shown group's effects in a grid
// of 16 owner-drawn buttons, a click picks the effect.
#include <windows.h>

#include <commctrl.h>

#include <cstring>

#include "config/installed_files.h"
#include "config/registry.h"
#include "library/bytes.h"
#include "pages/page_frame.h"
#include "pages/page_procs.h"
#include "platform/catch_all.h"
#include "platform/win32/gdi.h"
#include "preview/preview.h"
#include "resources/resource_ids.h"
#include "ui/controls.h"
#include "ui/dialog_scale.h"
#include "ui/dib_draw.h"
#include "ui/module_state.h"

namespace lmx {
namespace {

constexpr int kGroupList = IDC_FX_GROUP_LIST;
constexpr int kFirstButton = IDC_FX_BUTTON_FIRST;
constexpr int kLastButton = IDC_FX_BUTTON_LAST;

void SelectShownGroupInList(SheetSession& session, HWND page) {
  SendDlgItemMessageA(page, kGroupList, CB_SETCURSEL, static_cast<WPARAM>(session.selection.shownGroup), 0);
}

void PickEffect(SheetSession& session, HWND page, int group, int entry) {
  bool picked = false;
  WriteSettings(session, [&](EffectSettings* block) {
    picked = SelectEffect(session.selection, block, Module().organization, group, entry);
  });
  if (picked) {
    RefreshPanelTexts(session, page);
    RepaintControl(page, kFirstButton + entry);
  }
}

void ReleaseIcons(SheetSession& session) {
  for (platform::MemoryHandle& slot : session.sheet.iconSlots) {
    if (slot) platform::FreeMovable(slot);
    slot = nullptr;
  }
}

// Shows group g in the grid. Every filled slot is released first, not only those of the
// group shown so far: after an organization reload that group may have changed size.
void ShowGroup(SheetSession& session, HWND page, int group) {
  ReleaseIcons(session);
  SelectionState& selection = session.selection;
  const Organization& organization = Module().organization;
  selection.shownGroup = group;
  int count = organization.EntryCount(group);
  for (int i = 0; i < count && i < kIconSlots; ++i) {
    session.sheet.iconSlots[i] = LoadInstalledIcon(organization, group, i);
    RepaintControl(page, kFirstButton + i);
  }
  for (int id = kFirstButton; id <= kLastButton; ++id) {
    HWND button = GetDlgItem(page, id);
    bool present = id - kFirstButton < count;
    EnableWindow(button, present);
    ShowWindow(button, present ? SW_SHOW : SW_HIDE);
  }
  SelectShownGroupInList(session, page);
}

void FillFxPage(SheetSession& session, HWND page) {
  const Organization& organization = Module().organization;
  SendDlgItemMessageA(page, kGroupList, CB_RESETCONTENT, 0, 0);
  for (int g = 0; g < organization.GroupCount(); ++g)
    if (const EffectGroup* group = organization.GroupAt(g))
      SendDlgItemMessageA(page, kGroupList, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(group->name));
  SelectionState& selection = session.selection;
  ShowGroup(session, page, selection.selectedGroup);
  PickEffect(session, page, selection.selectedGroup, selection.selectedIndex);
  RefreshPanelTexts(session, page);
  TakeSettingsSnapshot(session);
  SelectShownGroupInList(session, page);
}

void CheckOrganizationChange(SheetSession& session, HWND page) {
  ModuleState& module = Module();
  char name[9];
  if (!ReadRegistryString(name, sizeof name, "OrgFile")) return;
  if (std::strcmp(name, module.currentOrgName) == 0) return;
  CopyFixed(module.currentOrgName, sizeof module.currentOrgName, "DEFAULT");
  if (ReadInstalledOrganization(module.organization, name) == 1)
    CopyFixed(module.currentOrgName, sizeof module.currentOrgName, name);
  else
    ReadInstalledOrganization(module.organization, "DEFAULT");
  if (std::strcmp(name, module.currentOrgName) != 0) WriteRegistryString("OrgFile", module.currentOrgName);
  WriteSettings(session, [&](EffectSettings* block) {
    InitSelection(session.selection, block, module.organization, session.sheet.filterMode);
  });
  FillFxPage(session, page);
}

void DrawName(HFONT nameFont, HDC dc, RECT rect, const char* name, uint32_t mode) {
  if (!name) return;
  SelectedObject font(dc, nameFont);
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  UINT format = DT_SINGLELINE | DT_CENTER | (mode == 1 ? DT_VCENTER : DT_BOTTOM);
  DrawTextA(dc, name, -1, &rect, format);
}

void Line(HDC dc, HPEN pen, const POINT* points, int count) {
  SelectedObject use(dc, pen);
  MoveToEx(dc, points[0].x, points[0].y, nullptr);
  for (int i = 1; i < count; ++i) LineTo(dc, points[i].x, points[i].y);
}

void DrawButton(SheetSession& session, const DRAWITEMSTRUCT& item) {
  const SelectionState& selection = session.selection;
  const Organization& organization = Module().organization;
  int i = static_cast<int>(item.CtlID) - kFirstButton;
  if (i < 0 || i >= organization.EntryCount(selection.shownGroup)) return;
  HDC dc = item.hDC;
  int w = item.rcItem.right;
  int h = item.rcItem.bottom;
  uint32_t mode = Module().effDisplay;

  if (item.itemAction == ODA_DRAWENTIRE) {
    platform::MemoryHandle icon = i < kIconSlots ? session.sheet.iconSlots[i] : nullptr;
    const RECT inside = {2, 2, w - 2, h - 2};
    if ((mode == 0 || mode == 2) && icon) {
      PictureStretch stretch(dc, DialogScale::Of(GetParent(item.hwndItem)));
      DrawDibBlock(dc, inside, icon);
    }
    if (mode == 1 || mode == 2)
      DrawName(session.nameFont.get(), dc, item.rcItem, organization.EntryName(selection.shownGroup, i), mode);
  }

  bool selected = selection.shownGroup == selection.selectedGroup && i == selection.selectedIndex;
  Pen highlight(CreatePen(PS_SOLID, 0, GetSysColor(COLOR_BTNHIGHLIGHT)));
  Pen shadow(CreatePen(PS_SOLID, 0, GetSysColor(COLOR_BTNSHADOW)));
  HPEN a = selected ? shadow.get() : highlight.get();
  HPEN b = selected ? highlight.get() : shadow.get();
  const POINT upperLeft[] = {{1, h - 2}, {1, 1}, {w - 2, 1}};
  const POINT lowerRight[] = {{w - 2, 2}, {w - 2, h - 2}, {2, h - 2}};
  Line(dc, a, upperLeft, 3);
  Line(dc, b, lowerRight, 3);
  Pen outlinePen(item.itemState == ODS_FOCUS ? CreatePen(PS_DOT, 0, RGB(0, 0, 0))
                                             : CreatePen(PS_SOLID, 0, GetSysColor(COLOR_BTNFACE)));
  const POINT outline[] = {{0, 0}, {w - 1, 0}, {w - 1, h - 1}, {0, h - 1}, {0, 0}};
  Line(dc, outlinePen.get(), outline, 5);
}

void OnCommand(SheetSession& session, HWND page, WPARAM wParam) {
  int id = LOWORD(wParam);
  int code = HIWORD(wParam);
  SelectionState& selection = session.selection;
  if (code == BN_CLICKED && id >= kFirstButton && id <= kLastButton) {
    if (selection.shownGroup == selection.selectedGroup) RepaintControl(page, kFirstButton + selection.selectedIndex);
    PickEffect(session, page, selection.shownGroup, id - kFirstButton);
  } else if (code == BN_CLICKED && (id == IDOK || id == IDCANCEL)) {
    // Closing the page alone would leave the sheet open without it: close the sheet
    // the way its own buttons do.
    if (id == IDCANCEL) RequestCancel(session);
    PropSheet_PressButton(GetParent(page), id == IDCANCEL ? PSBTN_CANCEL : PSBTN_OK);
  } else if (code == CBN_SELCHANGE && id == kGroupList) {
    int group = static_cast<int>(SendDlgItemMessageA(page, kGroupList, CB_GETCURSEL, 0, 0));
    if (group != CB_ERR && group != selection.shownGroup) ShowGroup(session, page, group);
  }
}

void FxMessage(SheetSession& session, HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      FillFxPage(session, page);
      if (session.preview.autoRender) RequestRenderForChange(session);
      break;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (header && header->code == PSN_SETACTIVE) {
        CheckOrganizationChange(session, page);
        const int height = DialogScale::Of(page).Pixels(12);
        session.nameFont.reset(CreateFontA(height, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "Arial"));
      } else if (header && header->code == PSN_KILLACTIVE) {
        session.nameFont.reset();
      }
      break;
    }
    case WM_DRAWITEM:
      if (lParam) DrawButton(session, *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      break;
    case WM_COMMAND:
      OnCommand(session, page, wParam);
      CheckSettingsChanged(session, page);
      break;
    case WM_DESTROY:
      session.nameFont.reset();
      break;
    default: break;
  }
}

}  // namespace

INT_PTR CALLBACK FxPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  return platform::CatchAll<INT_PTR>(0, [&] {
    SheetSession* session = PageSession(page, message, lParam);
    if (!session) return INT_PTR{0};
    INT_PTR result = PageFrameProc(*session, page, message, wParam, lParam);
    FxMessage(*session, page, message, wParam, lParam);
    return result;
  });
}

}  // namespace lmx
