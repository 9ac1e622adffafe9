#include "ui/panel_messages.h"

namespace lmx {
namespace {

// Read by the render thread, which has no window of its own to keep it in.
PageFrameState g_frame;

}  // namespace

PageFrameState& PageFrame() { return g_frame; }

bool IsPanelLess(HWND page) { return page == g_frame.panelLessPage.load(); }

void PostRenderStateChanged() {
  if (HWND page = g_frame.currentPage) PostMessageA(page, kRenderStateMessage, 0, 0);
}

void PostRenderProgress(int32_t percent) {
  HWND page = g_frame.currentPage;
  if (page && !IsPanelLess(page)) PostMessageA(page, kRenderProgressMessage, static_cast<WPARAM>(percent), 0);
}

}  // namespace lmx
