#include <windows.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "platform/win32/gdi.h"
#include "preview/preview.h"
#include "selection/render_control.h"
#include "selection/sheet_state.h"
#include "ui/panel_messages.h"

namespace lmx {
namespace {

// Every render thread that StartRender created and that may still run. Touched only on
// the user-interface thread: a restart continues in the thread that was rendering.
std::vector<KernelHandle> g_threads;

void PruneFinishedThreads() {
  g_threads.erase(std::remove_if(g_threads.begin(), g_threads.end(),
                                 [](const KernelHandle& h) { return WaitForSingleObject(h.get(), 0) == WAIT_OBJECT_0; }),
                  g_threads.end());
}

// What one render thread does at each step of RunRenderThread.
class ThreadSteps {
 public:
  ThreadSteps() = default;
  ThreadSteps(const ThreadSteps&) = delete;
  ThreadSteps& operator=(const ThreadSteps&) = delete;
  ~ThreadSteps() {
    if (locked_) LeaveRenderLock();
  }

  int32_t FrameCount() const { return Preview().frameCount; }
  void EnterLock() {
    EnterRenderLock();
    locked_ = true;
  }
  void LeaveLock() {
    locked_ = false;
    LeaveRenderLock();
  }

  void BeginRender() {
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_LOWEST);
    // The render keeps its own reference: a pick meanwhile replaces the selection's
    // record but cannot free the one read here.
    effect_ = CurrentEffect(Selection());
    PreviewJob().objectCount = effect_ ? effect_->objectCount() : 0;
    bestPosition_ = effect_ ? effect_->bestPosition() : 0.0f;
  }

  void RenderFrame(int32_t k) {
    const SheetContext& sheet = Sheet();
    RenderJob& job = PreviewJob();
    auto* pixels = static_cast<uint8_t*>(FramePixels(k));
    if (!pixels) return;
    FramePosition at = PositionForFrame(k, FrameCount(), sheet.filterMode, *sheet.hostSettings, bestPosition_);
    job.position = at.position;
    job.lastPosition = at.lastPosition;
    job.target.pixels = pixels;
    job.abortCallback = AbortCallback;
    job.progressCallback = sheet.filterMode ? ProgressCallback : nullptr;
    sheet.renderEntry(sheet.hostSettings, &job, 1);
    if (sheet.filterMode) ProgressCallback(0);
  }

  void Publish() { PostRenderStateChanged(); }
  void EndRender() { effect_.reset(); }

 private:
  std::shared_ptr<const EffectRecord> effect_;
  float bestPosition_ = 0.0f;
  bool locked_ = false;  // left by the destructor should a step throw
};

DWORD WINAPI RenderThreadMain(void*) {
  try {
    ThreadSteps steps;
    RunRenderThread(Render(), steps);
  } catch (...) {
    // Nothing in a render throws by design; were it to, the lock is left (by the
    // steps' destructor) and the thread ends as a stopped render would.
    Render().renderFrame = -1;
    Render().renderBusy = false;
  }
  return 0;
}

}  // namespace

extern "C" int16_t __cdecl AbortCallback(void) { return StopWanted(Render()) ? 1 : 0; }

extern "C" int16_t __cdecl ProgressCallback(int32_t percent) {
  PostRenderProgress(percent);
  return 0;
}

void StartRender() {
  RenderFlags& flags = Render();
  PruneFinishedThreads();
  if (flags.closing || !PreviewReady() || !Sheet().renderEntry || !Sheet().hostSettings) {
    flags.renderBusy = false;
    return;
  }
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
  BeginRenderTeardown(Render());
  for (const KernelHandle& thread : g_threads) WaitForSingleObject(thread.get(), INFINITE);
  g_threads.clear();
}

}  // namespace lmx
