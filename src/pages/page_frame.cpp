#include "pages/page_frame.h"

#include <commctrl.h>

#include <cstring>

#include "platform/win32/gdi.h"
#include "preview/preview.h"
#include "selection/render_control.h"
#include "ui/dialog_scale.h"
#include "ui/help.h"
#include "ui/panel_ids.h"

namespace lmx {
namespace {

// What the picture shows after a render the engine could not finish.
constexpr char kRenderFailedText[] = "Preview could not be rendered";

void StartPreviewTimer(SheetSession& session, HWND page) {
  SetTimer(page, kPreviewTimer, PlaybackIntervalMs(session.preview.previewSpeed), nullptr);
}

void SetUpSpeedTrackbar(SheetSession& session, HWND page) {
  HWND speed = GetDlgItem(page, kPanelSpeed);
  if (!speed) return;
  if (session.sheet.filterMode) {
    EnableWindow(speed, FALSE);
    ShowWindow(speed, SW_HIDE);
    return;
  }
  SendMessageA(speed, TBM_SETRANGE, TRUE, MAKELPARAM(1, 30));
  SendMessageA(speed, TBM_SETPAGESIZE, 0, 10);
  SendMessageA(speed, TBM_SETPOS, TRUE, static_cast<LPARAM>(session.preview.previewSpeed));
  EnableWindow(speed, TRUE);
  ShowWindow(speed, SW_SHOW);
}

void OnSetActive(SheetSession& session, HWND page) {
  session.frame.currentPage = page;
  if (!session.sheet.filterMode)
    SendDlgItemMessageA(page, kPanelSpeed, TBM_SETPOS, TRUE, static_cast<LPARAM>(session.preview.previewSpeed));
  SetTimer(page, kProgressTimer, kProgressTimerMs, nullptr);
  StartPreviewTimer(session, page);
  RefreshPanelTexts(session, page);
  UpdateRenderButton(session, page);
}

// A render in progress is stopped. Otherwise the click claims the render as a change
// does: a thread that is still ending (after a stop) or between two renders (a restart)
// renders again, and only when none is busy does a new thread start.
void OnRenderClicked(SheetSession& session) {
  HWND current = session.frame.currentPage;
  RenderClick click = ClaimRenderForClick(session.render, session.preview.frameCount);
  if (click == RenderClick::Stop) {
    if (current) UpdateRenderButton(session, current);
    return;
  }
  if (current) ClearPreviewPicture(session, current);
  if (click == RenderClick::Start) StartRender(session);
}

// The failure in the picture, centred in the page's font and colours. The text is drawn
// with its background, so that drawing it again at each tick does not flicker.
void ShowRenderFailure(HWND page, HDC dc, RECT rect) {
  SelectedObject font(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(page, WM_GETFONT, 0, 0)));
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
  InflateRect(&rect, -4, -4);
  RECT measured = rect;
  DrawTextA(dc, kRenderFailedText, -1, &measured, DT_CENTER | DT_WORDBREAK | DT_CALCRECT);
  rect.top += (rect.bottom - measured.bottom) / 2;
  DrawTextA(dc, kRenderFailedText, -1, &rect, DT_CENTER | DT_WORDBREAK);
}

// A tick of playback: the next frame of a complete render, or the failure of the last.
void OnPreviewTick(SheetSession& session, HWND page) {
  HWND picture = GetDlgItem(page, kPanelPicture);
  if (!picture) return;
  WindowDc dc(picture);
  RECT rect;
  GetClientRect(picture, &rect);
  if (!dc.get()) return;
  if (session.renderFailed) {
    ShowRenderFailure(page, dc.get(), rect);
    return;
  }
  // The frames keep the size their quality gives; only their stretching follows the page.
  PictureStretch stretch(dc.get(), DialogScale::Of(page));
  ShowNextFrame(session, dc.get(), rect);
}

void OnNotify(SheetSession& session, HWND page, const NMHDR* header) {
  switch (header->code) {
    case PSN_SETACTIVE: OnSetActive(session, page); break;
    case PSN_KILLACTIVE:
      KillTimer(page, kProgressTimer);
      KillTimer(page, kPreviewTimer);
      break;
    case PSN_HELP: ShowHelpContents(page); break;
    case PSN_QUERYCANCEL: RequestCancel(session); break;
    default: break;
  }
}

void FrameMessage(SheetSession& session, HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      if (!IsPanelLess(session.frame, page)) SetUpSpeedTrackbar(session, page);
      break;
    case WM_NOTIFY:
      if (lParam) OnNotify(session, page, reinterpret_cast<const NMHDR*>(lParam));
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
      if (LOWORD(wParam) == kPanelRender && HIWORD(wParam) == BN_CLICKED) OnRenderClicked(session);
      break;
    case WM_TIMER:
      if (wParam == kProgressTimer) UpdateProgressBar(session, page);
      if (wParam == kPreviewTimer) OnPreviewTick(session, page);
      break;
    case WM_HSCROLL:
      if (lParam && GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) == kPanelSpeed) {
        session.preview.previewSpeed = static_cast<uint32_t>(SendDlgItemMessageA(page, kPanelSpeed, TBM_GETPOS, 0, 0));
        StartPreviewTimer(session, page);
      }
      break;
    case WM_PAINT: {
      PaintScope paint(page);
      break;
    }
    case kRenderStateMessage:
      UpdateRenderButton(session, page);
      if (session.renderFailed) OnPreviewTick(session, page);
      break;
    case kRenderProgressMessage:
      if (!IsPanelLess(session.frame, page)) SendDlgItemMessageA(page, kPanelProgress, PBM_SETPOS, wParam, 0);
      break;
    default: break;
  }
}

}  // namespace

SheetSession* PageSession(HWND page, UINT message, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    const auto* sheetPage = reinterpret_cast<const PROPSHEETPAGEA*>(lParam);
    if (!sheetPage) return nullptr;
    SetWindowLongPtrA(page, DWLP_USER, sheetPage->lParam);
    return reinterpret_cast<SheetSession*>(sheetPage->lParam);
  }
  return reinterpret_cast<SheetSession*>(GetWindowLongPtrA(page, DWLP_USER));
}

INT_PTR PageFrameProc(SheetSession& session, HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  try {
    FrameMessage(session, page, message, wParam, lParam);
  } catch (...) {
    // A message that could not be handled is left undone.
  }
  return 0;
}

void CheckSettingsChanged(SheetSession& session, HWND page) {
  const EffectSettings* block = session.sheet.hostSettings;
  if (!block || std::memcmp(block, session.frame.settingsSnapshot, sizeof session.frame.settingsSnapshot) == 0) return;
  ClearPreviewPicture(session, page);
  std::memcpy(session.frame.settingsSnapshot, block, sizeof session.frame.settingsSnapshot);
  if (session.preview.autoRender) RequestRenderForChange(session);
}

void TakeSettingsSnapshot(SheetSession& session) {
  if (const EffectSettings* block = session.sheet.hostSettings)
    std::memcpy(session.frame.settingsSnapshot, block, sizeof session.frame.settingsSnapshot);
}

void RefreshPanelTexts(SheetSession& session, HWND page) {
  if (IsPanelLess(session.frame, page)) return;
  std::shared_ptr<const EffectRecord> effect = CurrentEffect(session.selection);
  SetDlgItemTextA(page, kPanelGroupBox, effect ? effect->longName().c_str() : "");
  SetDlgItemTextA(page, kPanelDescription, effect ? effect->description().c_str() : "");
}

void ClearPreviewPicture(SheetSession& session, HWND page) {
  session.renderFailed = false;
  if (IsPanelLess(session.frame, page)) return;
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

void UpdateRenderButton(SheetSession& session, HWND page) {
  if (!page || IsPanelLess(session.frame, page)) return;
  HWND button = GetDlgItem(page, kPanelRender);
  if (!button) return;
  const RenderFlags& flags = session.render;
  RenderCaption caption = RenderButtonCaption(flags.renderFrame, session.preview.frameCount, flags.stopRequested);
  SetWindowTextA(button, RenderCaptionText(caption));
}

void UpdateProgressBar(SheetSession& session, HWND page) {
  if (session.sheet.filterMode || IsPanelLess(session.frame, page)) return;
  int32_t percent = ProgressPercent(session.render.renderFrame, session.preview.frameCount);
  SendDlgItemMessageA(page, kPanelProgress, PBM_SETPOS, static_cast<WPARAM>(percent), 0);
}

void RequestCancel(SheetSession& session) { session.sheet.cancelRequested = true; }

void ShowHelpContents(HWND page) { RequestHelp(page, HELP_FINDER, 0); }

}  // namespace lmx
