#include "ui/panel_messages.h"

namespace lmx {

bool IsPanelLess(const PageFrameState& frame, HWND page) { return page == frame.panelLessPage.load(); }

void PostRenderStateChanged(const PageFrameState& frame) {
  if (HWND page = frame.currentPage) PostMessageA(page, kRenderStateMessage, 0, 0);
}

void PostRenderProgress(const PageFrameState& frame, int32_t percent) {
  HWND page = frame.currentPage;
  if (page && !IsPanelLess(frame, page)) PostMessageA(page, kRenderProgressMessage, static_cast<WPARAM>(percent), 0);
}

}  // namespace lmx
