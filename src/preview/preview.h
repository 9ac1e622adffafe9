// The preview of the sheet: frame buffers (DIB sections), the 20 textures and the
// RenderJob, the render thread and its shared flags, all kept in the sheet's session.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>

#include "model/render_job.h"
#include "preview/sheet_session.h"

namespace lmx {

// Reads the preview settings and builds frames, textures and job. Always 1; when a frame
// cannot be created the preview has no frames and no render starts.
int CreatePreviewBuffers(SheetSession& session);
// Stops any render, waits until every render thread has ended, and frees everything.
void DestroyPreviewBuffers(SheetSession& session);
// Shows the next frame of a complete render, stretched into rect inset by one pixel.
void ShowNextFrame(SheetSession& session, HDC dc, const RECT& rect);

// Starts a render thread for a render already claimed (ClaimRenderForChange or
// ClaimRenderForClick gave Start); user-interface thread only. Nothing starts while the
// buffers do not exist: the claim is then given back.
void StartRender(SheetSession& session);
// The change check's request: restarts a running render, or starts one.
void RequestRenderForChange(SheetSession& session);

// A page's change of the host's block (user-interface thread only). `change` works on a
// copy; when the copy differs from the block, a running render is asked to stop and the
// copy is written under the render lock, once the engine call in progress has returned,
// so that no engine call reads a block half written. The change check then restarts it.
void WriteSettings(SheetSession& session, const std::function<void(EffectSettings*)>& change);

// The engine's callbacks, whose addresses go into the RenderJob. They act for the
// session of the render thread that calls them; on any other thread they do nothing.
extern "C" int16_t __cdecl AbortCallback(void);
extern "C" int16_t __cdecl ProgressCallback(int32_t percent);

// What the render thread reads of the buffers (valid while they exist).
bool PreviewReady(const SheetSession& session);
// The pixels of frame 0 to frameCount - 1; null for any other index.
void* FramePixels(SheetSession& session, int32_t frame);
// Joins every render thread that StartRender created (teardown only).
void JoinRenderThreads(SheetSession& session);

}  // namespace lmx
