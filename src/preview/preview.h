// The preview of the sheet: frame buffers (DIB sections), the 20 textures and the
// RenderJob, the render thread and its shared flags.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>

#include "model/render_job.h"
#include "selection/render_flags.h"

namespace lmx {

struct PreviewSettings {
  int32_t frameCount = 1;      // 1, or 6 and more
  uint32_t previewSpeed = 0;   // frames per second of playback; 0 plays at kDefaultPreviewSpeed
  uint32_t autoRender = 0;     // a change of the settings starts a render by itself
  uint32_t previewQuality = 0; // 0 32x32, 1 64x64, 2 128x128
};

PreviewSettings& Preview();

// Shared by the user-interface thread and the render thread, without a lock.
RenderFlags& Render();

// Reads the preview settings and builds frames, textures and job. Always 1; when a frame
// cannot be created the preview has no frames and no render starts.
int CreatePreviewBuffers();
// Stops any render, waits until every render thread has ended, and frees everything.
void DestroyPreviewBuffers();
// Shows the next frame of a complete render, stretched into rect inset by one pixel.
void ShowNextFrame(HDC dc, const RECT& rect);

// Starts a render thread for a render already claimed (ClaimRenderForChange or
// ClaimRenderForClick gave Start); user-interface thread only. Nothing starts while the
// buffers do not exist: the claim is then given back.
void StartRender();
// The change check's request: restarts a running render, or starts one.
void RequestRenderForChange();

// The engine's callbacks, whose addresses go into the RenderJob.
extern "C" int16_t __cdecl AbortCallback(void);
extern "C" int16_t __cdecl ProgressCallback(int32_t percent);

// What the render thread reads of the buffers (valid while they exist).
bool PreviewReady();
RenderJob& PreviewJob();
// The pixels of frame 0 to frameCount - 1; null for any other index.
void* FramePixels(int32_t frame);
// Joins every render thread that StartRender created (teardown only).
void JoinRenderThreads();
// Held by a render for its whole duration.
void EnterRenderLock();
void LeaveRenderLock();

}  // namespace lmx
