#include "pages/page_frame.h"

#include <commctrl.h>

#include <cstring>

#include "platform/win32/gdi.h"
#include "preview/preview.h"
#include "selection/render_control.h"
#include "selection/sheet_state.h"
#include "ui/help.h"
#include "ui/panel_ids.h"

namespace lmx {
namespace {

void StartPreviewTimer(HWND page) {
  SetTimer(page, kPreviewTimer, PlaybackIntervalMs(Preview().previewSpeed), nullptr);
}

void SetUpSpeedTrackbar(HWND page) {
  HWND speed = GetDlgItem(page, kPanelSpeed);
  if (!speed) return;
  if (Sheet().filterMode) {
    EnableWindow(speed, FALSE);
    ShowWindow(speed, SW_HIDE);
    return;
  }
  SendMessageA(speed, TBM_SETRANGE, TRUE, MAKELPARAM(1, 30));
  SendMessageA(speed, TBM_SETPAGESIZE, 0, 10);
  SendMessageA(speed, TBM_SETPOS, TRUE, static_cast<LPARAM>(Preview().previewSpeed));
  EnableWindow(speed, TRUE);
  ShowWindow(speed, SW_SHOW);
}

void OnSetActive(HWND page) {
  PageFrame().currentPage = page;
  if (!Sheet().filterMode)
    SendDlgItemMessageA(page, kPanelSpeed, TBM_SETPOS, TRUE, static_cast<LPARAM>(Preview().previewSpeed));
  SetTimer(page, kProgressTimer, kProgressTimerMs, nullptr);
  StartPreviewTimer(page);
  RefreshPanelTexts(page);
  UpdateRenderButton(page);
}

// A render in progress is stopped. Otherwise the click claims the render as a change
// does: a thread that is still ending (after a stop) or between two renders (a restart)
// renders again, and only when none is busy does a new thread start.
void OnRenderClicked() {
  HWND current = PageFrame().currentPage;
  RenderClick click = ClaimRenderForClick(Render(), Preview().frameCount);
  if (click == RenderClick::Stop) {
    if (current) UpdateRenderButton(current);
    return;
  }
  if (current) ClearPreviewPicture(current);
  if (click == RenderClick::Start) StartRender();
}

void OnPreviewTick(HWND page) {
  HWND picture = GetDlgItem(page, kPanelPicture);
  if (!picture) return;
  WindowDc dc(picture);
  RECT rect;
  GetClientRect(picture, &rect);
  if (dc.get()) ShowNextFrame(dc.get(), rect);
}

void OnNotify(HWND page, const NMHDR* header) {
  switch (header->code) {
    case PSN_SETACTIVE: OnSetActive(page); break;
    case PSN_KILLACTIVE:
      KillTimer(page, kProgressTimer);
      KillTimer(page, kPreviewTimer);
      break;
    case PSN_HELP: ShowHelpContents(page); break;
    case PSN_QUERYCANCEL: RequestCancel(); break;
    default: break;
  }
}

void FrameMessage(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      if (!IsPanelLess(page)) SetUpSpeedTrackbar(page);
      break;
    case WM_NOTIFY:
      if (lParam) OnNotify(page, reinterpret_cast<const NMHDR*>(lParam));
      break;
    case WM_HELP: {
      const auto* info = reinterpret_cast<const HELPINFO*>(lParam);
      if (info) RequestHelp(static_cast<HWND>(info->hItemHandle), HELP_WM_HELP, reinterpret_cast<ULONG_PTR>(HelpIdTable));
      break;
    }
    case WM_CONTEXTMENU:
      RequestHelp(reinterpret_cast<HWND>(wParam), HELP_CONTEXTMENU, reinterpret_cast<ULONG_PTR>(HelpIdTable));
      break;
    case WM_COMMAND:
      if (LOWORD(wParam) == kPanelRender && HIWORD(wParam) == BN_CLICKED) OnRenderClicked();
      break;
    case WM_TIMER:
      if (wParam == kProgressTimer) UpdateProgressBar(page);
      if (wParam == kPreviewTimer) OnPreviewTick(page);
      break;
    case WM_HSCROLL:
      if (lParam && GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) == kPanelSpeed) {
        Preview().previewSpeed = static_cast<uint32_t>(SendDlgItemMessageA(page, kPanelSpeed, TBM_GETPOS, 0, 0));
        StartPreviewTimer(page);
      }
      break;
    case WM_PAINT: {
      PaintScope paint(page);
      break;
    }
    case kRenderStateMessage:
      UpdateRenderButton(page);
      break;
    case kRenderProgressMessage:
      if (!IsPanelLess(page)) SendDlgItemMessageA(page, kPanelProgress, PBM_SETPOS, wParam, 0);
      break;
    default: break;
  }
}

}  // namespace

INT_PTR PageFrameProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  try {
    FrameMessage(page, message, wParam, lParam);
  } catch (...) {
    // A message that could not be handled is left undone.
  }
  return 0;
}

void CheckSettingsChanged(HWND page) {
  const EffectSettings* block = Sheet().hostSettings;
  if (!block || std::memcmp(block, PageFrame().settingsSnapshot, sizeof PageFrame().settingsSnapshot) == 0) return;
  ClearPreviewPicture(page);
  std::memcpy(PageFrame().settingsSnapshot, block, sizeof PageFrame().settingsSnapshot);
  if (Preview().autoRender) RequestRenderForChange();
}

void TakeSettingsSnapshot() {
  if (const EffectSettings* block = Sheet().hostSettings)
    std::memcpy(PageFrame().settingsSnapshot, block, sizeof PageFrame().settingsSnapshot);
}

void RefreshPanelTexts(HWND page) {
  if (IsPanelLess(page)) return;
  std::shared_ptr<const EffectRecord> effect = CurrentEffect(Selection());
  SetDlgItemTextA(page, kPanelGroupBox, effect ? effect->longName().c_str() : "");
  SetDlgItemTextA(page, kPanelDescription, effect ? effect->description().c_str() : "");
}

void ClearPreviewPicture(HWND page) {
  if (IsPanelLess(page)) return;
  HWND picture = GetDlgItem(page, kPanelPicture);
  if (!picture) return;
  RECT rect;
  GetClientRect(picture, &rect);
  WindowDc dc(picture);
  if (!dc.get()) return;
  COLORREF face = GetSysColor(COLOR_BTNFACE);
  Pen pen(CreatePen(PS_SOLID, 1, face));
  Brush brush(CreateSolidBrush(face));
  SelectedObject usePen(dc.get(), pen.get());
  SelectedObject useBrush(dc.get(), brush.get());
  Rectangle(dc.get(), rect.left + 1, rect.top + 1, rect.right - 1, rect.bottom - 1);
}

void UpdateRenderButton(HWND page) {
  if (!page || IsPanelLess(page)) return;
  HWND button = GetDlgItem(page, kPanelRender);
  if (!button) return;
  RenderCaption caption = RenderButtonCaption(Render().renderFrame, Preview().frameCount, Render().stopRequested);
  SetWindowTextA(button, RenderCaptionText(caption));
}

void UpdateProgressBar(HWND page) {
  if (Sheet().filterMode || IsPanelLess(page)) return;
  int32_t percent = ProgressPercent(Render().renderFrame, Preview().frameCount);
  SendDlgItemMessageA(page, kPanelProgress, PBM_SETPOS, static_cast<WPARAM>(percent), 0);
}

void RequestCancel() { Sheet().cancelRequested = true; }

void ShowHelpContents(HWND page) { RequestHelp(page, HELP_FINDER, 0); }

}  // namespace lmx
