// The Settings page: the module's own preferences, all kept in the registry and
// written at every change. It has no preview panel, and keeps the sheet's
// notifications from the page frame except cancel and help.
#include <windows.h>

#include <commctrl.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "config/defaults_file.h"
#include "config/engine_list.h"
#include "config/library_path.h"
#include "pages/page_frame.h"
#include "pages/page_procs.h"
#include "platform/catch_all.h"
#include "platform/win32/gdi.h"
#include "preview/preview.h"
#include "resources/resource_ids.h"
#include "selection/settings_values.h"
#include "ui/controls.h"
#include "ui/module_state.h"

namespace lmx {
namespace {

void AddEntry(HWND page, int list, const std::string& text) {
  SendDlgItemMessageA(page, list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void FillSettingsLists(HWND page) {
  SendDlgItemMessageA(page, IDC_SET_PREVIEW_ENGINE, CB_RESETCONTENT, 0, 0);
  SendDlgItemMessageA(page, IDC_SET_RENDER_ENGINE, CB_RESETCONTENT, 0, 0);
  for (const std::string& line : ReadEngineList()) {
    AddEntry(page, IDC_SET_PREVIEW_ENGINE, line);
    AddEntry(page, IDC_SET_RENDER_ENGINE, line);
  }

  SendDlgItemMessageA(page, IDC_SET_ORG_LIST, CB_RESETCONTENT, 0, 0);
  char pattern[kLongPathSize];
  if (!BuildLibraryPath(pattern, sizeof pattern, "ORGS", "*", "ORG")) return;
  WIN32_FIND_DATAA data;
  FileSearch search(pattern, &data);
  if (!search.found()) return;
  do {
    AddEntry(page, IDC_SET_ORG_LIST, OrganizationListName(data.cFileName));
  } while (search.Next(&data));
}

// The list control's own prefix search: case-insensitive, from the second entry on,
// wrapping to the first. Unreadable text or no match leaves the selection alone.
void SelectByPrefix(HWND page, int list, const std::optional<std::string>& text) {
  if (text) SendDlgItemMessageA(page, list, CB_SELECTSTRING, 0, reinterpret_cast<LPARAM>(text->c_str()));
}

void Check(HWND page, int id, uint32_t value) { CheckDlgButton(page, id, value != 0 ? BST_CHECKED : BST_UNCHECKED); }
uint32_t Checked(HWND page, int id) { return IsDlgButtonChecked(page, id) == BST_CHECKED ? 1 : 0; }

// Radio indices and trackbar positions travel as signed numbers; a stored 0xFFFFFFFF
// is -1, which checks no button.
int32_t Signed(uint32_t value) { return static_cast<int32_t>(value); }

void LoadSettingsControls(SheetSession& session, HWND page) {
  session.settingsPage.filling = true;
  const SettingsValues v = ReadSettingsValues();
  SetRadioIndex(page, IDC_SET_SHOW_ICON, IDC_SET_SHOW_BOTH, Signed(v.effDisplay));
  SelectByPrefix(page, IDC_SET_ORG_LIST, v.orgFile);
  Check(page, IDC_SET_AUTOREVERSE, v.effAutoreverse);
  SetRadioIndex(page, IDC_SET_QUALITY_LOW, IDC_SET_QUALITY_HIGH, Signed(v.prevQuality));
  session.settingsPage.pendingPreviewQuality = Signed(v.prevQuality);
  SelectByPrefix(page, IDC_SET_PREVIEW_ENGINE, v.prevEngine);
  SetTrackbarWithLabel(page, IDC_SET_PREVIEW_FRAMES, Signed(v.prevFrames));
  session.settingsPage.pendingPreviewFrames = Signed(v.prevFrames);
  Check(page, IDC_SET_AUTO_RENDER, v.prevRender);
  SetTrackbarWithLabel(page, IDC_SET_PREVIEW_SPEED, Signed(v.prevSpeed));
  SelectByPrefix(page, IDC_SET_RENDER_ENGINE, v.engine);
  SetRadioIndex(page, IDC_SET_LOG_OFF, IDC_SET_LOG_DETAILED, Signed(v.rndLogging));
  session.settingsPage.filling = false;
}

// The selected entry's text, or none without a selection.
std::optional<std::string> SelectedText(HWND page, int list) {
  const LRESULT index = SendDlgItemMessageA(page, list, CB_GETCURSEL, 0, 0);
  if (index == CB_ERR) return std::nullopt;
  const LRESULT length = SendDlgItemMessageA(page, list, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length == CB_ERR) return std::nullopt;
  std::vector<char> text(static_cast<size_t>(length) + 1, '\0');
  if (SendDlgItemMessageA(page, list, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data())) ==
      CB_ERR)
    return std::nullopt;
  return std::string(text.data());
}

void StoreSettingsControls(SheetSession& session, HWND page) {
  if (session.settingsPage.filling) return;
  SettingsValues v;
  v.effDisplay = static_cast<uint32_t>(GetRadioIndex(page, IDC_SET_SHOW_ICON, IDC_SET_SHOW_BOTH));
  v.orgFile = SelectedText(page, IDC_SET_ORG_LIST);
  v.effAutoreverse = Checked(page, IDC_SET_AUTOREVERSE);
  v.prevQuality = static_cast<uint32_t>(GetRadioIndex(page, IDC_SET_QUALITY_LOW, IDC_SET_QUALITY_HIGH));
  v.prevEngine = SelectedText(page, IDC_SET_PREVIEW_ENGINE);
  v.prevFrames = static_cast<uint32_t>(GetTrackbarPos(page, IDC_SET_PREVIEW_FRAMES));
  v.prevRender = Checked(page, IDC_SET_AUTO_RENDER);
  v.prevSpeed = static_cast<uint32_t>(GetTrackbarPos(page, IDC_SET_PREVIEW_SPEED));
  v.engine = SelectedText(page, IDC_SET_RENDER_ENGINE);
  v.rndLogging = static_cast<uint32_t>(GetRadioIndex(page, IDC_SET_LOG_OFF, IDC_SET_LOG_DETAILED));
  WriteSettingsValues(v);

  Module().effDisplay = v.effDisplay;
  Module().effAutoreverse = v.effAutoreverse;
  session.settingsPage.pendingPreviewQuality = Signed(v.prevQuality);
  session.settingsPage.pendingPreviewFrames = Signed(v.prevFrames);
  session.preview.autoRender = v.prevRender;
  session.preview.previewSpeed = v.prevSpeed;
}

// Leaving the page with a frame count or quality the buffers were not built with
// rebuilds them from the registry, where the page has stored its values.
void RebuildPreviewIfPending(SheetSession& session) {
  const PreviewSettings& preview = session.preview;
  if (session.settingsPage.pendingPreviewFrames == preview.frameCount &&
      session.settingsPage.pendingPreviewQuality == static_cast<int32_t>(preview.previewQuality))
    return;
  DestroyPreviewBuffers(session);
  CreatePreviewBuffers(session);
  session.render.renderFrame = -1;
}

INT_PTR HandleNotify(SheetSession& session, HWND page, LPARAM lParam) {
  const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
  if (header == nullptr) return 0;
  switch (header->code) {
    case PSN_SETACTIVE:
      RequestRenderStop(session.render);
      LoadSettingsControls(session, page);
      return 0;
    case PSN_KILLACTIVE:
      RebuildPreviewIfPending(session);
      return 0;
    case PSN_QUERYCANCEL:  // the cancel counts for the sheet's result
      RequestCancel(session);
      return 0;
    case PSN_HELP:
      ShowHelpContents(page);
      return 0;
    default:
      return 0;
  }
}

INT_PTR SettingsMessage(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  SheetSession* found = PageSession(page, message, lParam);
  if (!found) return 0;
  SheetSession& session = *found;
  session.frame.panelLessPage = page;
  INT_PTR result = 0;
  switch (message) {
    case WM_NOTIFY:
      result = HandleNotify(session, page, lParam);
      break;
    case WM_TIMER:
      break;
    case WM_INITDIALOG:
      result = PageFrameProc(session, page, message, wParam, lParam);
      session.settingsPage = SettingsPageState{};
      SetupTrackbar(page, IDC_SET_PREVIEW_SPEED, 1, 30, 5);
      SetupTrackbar(page, IDC_SET_PREVIEW_FRAMES, 1, 60, 10);
      FillSettingsLists(page);
      break;
    case WM_COMMAND:
      result = PageFrameProc(session, page, message, wParam, lParam);
      if (LOWORD(wParam) == IDC_SET_SAVE_DEFAULTS && HIWORD(wParam) == BN_CLICKED)
        SaveDefaults(session.sheet.hostSettings);
      else
        StoreSettingsControls(session, page);
      break;
    case WM_HSCROLL:
      result = PageFrameProc(session, page, message, wParam, lParam);
      if (lParam != 0) UpdateTrackbarLabel(page, reinterpret_cast<HWND>(lParam));
      if (LOWORD(wParam) != TB_THUMBTRACK) StoreSettingsControls(session, page);
      break;
    default:
      result = PageFrameProc(session, page, message, wParam, lParam);
      break;
  }
  CheckSettingsChanged(session, page);
  return result;
}

}  // namespace

INT_PTR CALLBACK SettingsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  return platform::CatchAll<INT_PTR>(0, [&] { return SettingsMessage(page, message, wParam, lParam); });
}

}  // namespace lmx
