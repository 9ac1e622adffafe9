// What one run of the selection sheet holds, from the start of RunSelectionSheet to its
// end: the host's block and the selection, the page frame, the preview and its render
// threads, and what the pages keep for the run. RunSelectionSheet owns it; its address
// goes to every page in PROPSHEETPAGE.lParam and to each render thread as its parameter.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <optional>
#include <vector>

#include "model/render_job.h"
#include "platform/win32/gdi.h"
#include "selection/render_flags.h"
#include "selection/render_control.h"
#include "selection/selection.h"
#include "selection/sheet_state.h"
#include "ui/panel_messages.h"

namespace lmx {

struct PreviewSettings {
  int32_t frameCount = 1;      // 1, or 6 and more
  uint32_t previewSpeed = 0;   // frames per second of playback; 0 plays at kDefaultPreviewSpeed
  uint32_t autoRender = 0;     // a change of the settings starts a render by itself
  uint32_t previewQuality = 0; // 0 32x32, 1 64x64, 2 128x128
};

struct FrameBuffer {
  Bitmap section;
  void* pixels = nullptr;
};

struct PreviewBuffers {
  bool exists = false;  // between CreatePreviewBuffers and DestroyPreviewBuffers
  bool ready = false;   // every frame was created
  PreviewQuality quality = kFirstQuality;
  BITMAPINFOHEADER header = {};
  std::vector<FrameBuffer> frames;
  RenderJob job = {};
  int32_t displayFrame = -2;
  std::optional<CriticalSection> renderLock;
};

// What the Settings page has shown or stored and the preview buffers may not yet be
// built with.
struct SettingsPageState {
  int32_t pendingPreviewFrames = 0;
  int32_t pendingPreviewQuality = 0;
  // Set until the page has filled its controls: a command before the first fill would
  // store the template's values.
  bool filling = true;
};

struct SheetSession {
  SheetSession() = default;
  SheetSession(const SheetSession&) = delete;
  SheetSession& operator=(const SheetSession&) = delete;

  SheetContext sheet;
  SelectionState selection;
  PageFrameState frame;
  PreviewSettings preview;
  // Shared by the user-interface thread and the render thread, without a lock.
  RenderFlags render;
  // Set by the render thread when the engine gave its error result for a frame; cleared
  // as a render begins and when the picture is cleared. The panel then says so.
  std::atomic<bool> renderFailed{false};
  PreviewBuffers buffers;
  // Every render thread that StartRender created and that may still run. Touched only on
  // the user-interface thread: a restart continues in the thread that was rendering.
  std::vector<KernelHandle> renderThreads;
  // The FX page's name font; exists while the page is the active page.
  Font nameFont;
  SettingsPageState settingsPage;
  // Set while the Filter page fills its controls, so that list notifications sent then
  // store nothing.
  bool filterFilling = false;
  // Set while the Objects page fills its controls, so that notifications the list may
  // send then never store half-loaded controls into a row.
  bool objectsFilling = false;
};

}  // namespace lmx
