#include <windows.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <vector>

#include "entry/gdi.h"
#include "entry/page_frame.h"
#include "entry/sheet_context.h"
#include "preview/preview.h"
#include "preview/render_control.h"

namespace lmx {
namespace {

// Every render thread that StartRender created and that may still run. Touched only on
// the user-interface thread: a restart continues in the thread that was rendering.
std::vector<KernelHandle> g_threads;
// Set while the teardown waits: no render starts or restarts any more.
std::atomic<bool> g_closing{false};

bool StopWanted() { return Render().stopRequested || g_closing; }

void PruneFinishedThreads() {
  g_threads.erase(std::remove_if(g_threads.begin(), g_threads.end(),
                                 [](const KernelHandle& h) { return WaitForSingleObject(h.get(), 0) == WAIT_OBJECT_0; }),
                  g_threads.end());
}

// One render under the lock: every frame from 0, or until a stop.
void RenderOnce() {
  RenderFlags& flags = Render();
  const SheetContext& sheet = Sheet();
  const int32_t frameCount = Preview().frameCount;
  // The render keeps its own reference: a pick meanwhile replaces the selection's
  // record but cannot free the one read here.
  std::shared_ptr<const EffectRecord> effect = CurrentEffect(Selection());
  RenderJob& job = PreviewJob();
  job.objectCount = effect ? effect->objectCount() : 0;
  float bestPosition = effect ? effect->bestPosition() : 0.0f;

  flags.renderFrame = 0;
  PostRenderStateChanged();
  while (flags.renderFrame < frameCount && !StopWanted()) {
    int32_t k = flags.renderFrame;
    FramePosition at = PositionForFrame(k, frameCount, sheet.filterMode, *sheet.hostSettings, bestPosition);
    job.position = at.position;
    job.lastPosition = at.lastPosition;
    job.target.pixels = static_cast<uint8_t*>(FramePixels(k));
    job.abortCallback = AbortCallback;
    job.progressCallback = sheet.filterMode ? ProgressCallback : nullptr;
    sheet.renderEntry(sheet.hostSettings, &job, 1);
    if (sheet.filterMode) ProgressCallback(0);
    flags.renderFrame = k + 1;
  }
  if (StopWanted()) flags.renderFrame = -1;
  PostRenderStateChanged();
}

DWORD WINAPI RenderThreadMain(void*) {
  RenderFlags& flags = Render();
  for (;;) {
    EnterRenderLock();
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_LOWEST);
    RenderOnce();
    // A restart renders again in this same thread, after leaving and taking the lock
    // again, so that every render thread is one the user-interface thread can join.
    bool again = RestartBeforeRelease(flags, g_closing);
    LeaveRenderLock();
    if (again || RestartAfterRelease(flags, g_closing)) continue;
    return 0;
  }
}

}  // namespace

extern "C" int16_t __cdecl AbortCallback(void) { return StopWanted() ? 1 : 0; }

extern "C" int16_t __cdecl ProgressCallback(int32_t percent) {
  PostRenderProgress(percent);
  return 0;
}

void StartRender() {
  RenderFlags& flags = Render();
  PruneFinishedThreads();
  if (g_closing || !PreviewReady() || !Sheet().renderEntry || !Sheet().hostSettings) {
    flags.renderBusy = false;
    return;
  }
  flags.renderBusy = true;
  flags.stopRequested = false;
  HANDLE thread = CreateThread(nullptr, 0, RenderThreadMain, nullptr, 0, nullptr);
  if (!thread) {
    flags.renderBusy = false;
    return;
  }
  g_threads.emplace_back(thread);
}

void RequestRenderForChange() {
  if (ClaimRenderForChange(Render())) StartRender();
}

void JoinRenderThreads() {
  g_closing = true;
  Render().stopRequested = true;
  Render().restartRequested = false;
  for (const KernelHandle& thread : g_threads) WaitForSingleObject(thread.get(), INFINITE);
  g_threads.clear();
  g_closing = false;
}

}  // namespace lmx
