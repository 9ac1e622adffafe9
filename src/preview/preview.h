// The preview of the sheet: frame buffers (DIB sections), the 20 textures and the
// RenderJob, the render thread and its shared flags.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>

namespace lmx {

struct PreviewSettings {
  int32_t frameCount = 1;      // 1, or 6 and more
  uint32_t previewSpeed = 0;   // frames per second of playback
  uint32_t autoRender = 0;     // a change of the settings starts a render by itself
  uint32_t previewQuality = 0; // 0 32x32, 1 64x64, 2 128x128
};

PreviewSettings& Preview();

// Shared by the user-interface thread and the render thread, without a lock.
struct RenderFlags {
  std::atomic<int32_t> renderFrame{-1};  // -1 none, 0..frameCount-1 rendering, frameCount done, -2 torn down
  std::atomic<bool> stopRequested{false};
  std::atomic<bool> renderBusy{false};
  std::atomic<bool> restartRequested{false};
};

RenderFlags& Render();

int CreatePreviewBuffers();
void DestroyPreviewBuffers();
void ShowNextFrame(HDC dc, const RECT& rect);
void StartRender();

}  // namespace lmx
