#include <windows.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "platform/win32/gdi.h"
#include "preview/preview.h"
#include "selection/render_control.h"
#include "ui/panel_messages.h"

namespace lmx {
namespace {

// The session of the render running on this thread, set from the thread's parameter.
// Thread-local because the engine's callbacks (AbortCallback, ProgressCallback) are plain
// C functions with no context argument; null on every thread that is not rendering.
thread_local SheetSession* t_renderSession = nullptr;

void PruneFinishedThreads(std::vector<KernelHandle>& threads) {
  threads.erase(std::remove_if(threads.begin(), threads.end(),
                               [](const KernelHandle& h) { return WaitForSingleObject(h.get(), 0) == WAIT_OBJECT_0; }),
                threads.end());
}

// What one render thread does at each step of RunRenderThread.
class ThreadSteps {
 public:
  explicit ThreadSteps(SheetSession& session) : session_(session) {}
  ThreadSteps(const ThreadSteps&) = delete;
  ThreadSteps& operator=(const ThreadSteps&) = delete;
  ~ThreadSteps() {
    if (locked_) session_.buffers.renderLock->Leave();
  }

  int32_t FrameCount() const { return session_.preview.frameCount; }
  void EnterLock() {
    session_.buffers.renderLock->Enter();
    locked_ = true;
  }
  void LeaveLock() {
    locked_ = false;
    session_.buffers.renderLock->Leave();
  }

  void BeginRender() {
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_LOWEST);
    session_.renderFailed = false;
    // The render keeps its own reference: a pick meanwhile replaces the selection's
    // record but cannot free the one read here.
    effect_ = CurrentEffect(session_.selection);
    session_.buffers.job.objectCount = effect_ ? effect_->objectCount() : 0;
    bestPosition_ = effect_ ? effect_->bestPosition() : 0.0f;
  }

  // False when the engine gave its error result (no memory, a job it refuses).
  bool RenderFrame(int32_t k) {
    const SheetContext& sheet = session_.sheet;
    RenderJob& job = session_.buffers.job;
    auto* pixels = static_cast<uint8_t*>(FramePixels(session_, k));
    if (!pixels) return false;
    FramePosition at = PositionForFrame(k, FrameCount(), sheet.filterMode, *sheet.hostSettings, bestPosition_);
    job.position = at.position;
    job.lastPosition = at.lastPosition;
    job.target.pixels = pixels;
    job.abortCallback = AbortCallback;
    job.progressCallback = sheet.filterMode ? ProgressCallback : nullptr;
    const int32_t result = sheet.renderEntry(sheet.hostSettings, &job, 1);
    if (sheet.filterMode) ProgressCallback(0);
    if (result < 0) session_.renderFailed = true;
    return result >= 0;
  }

  void Publish() { PostRenderStateChanged(session_.frame); }
  void EndRender() { effect_.reset(); }

 private:
  SheetSession& session_;
  std::shared_ptr<const EffectRecord> effect_;
  float bestPosition_ = 0.0f;
  bool locked_ = false;  // left by the destructor should a step throw
};

// The parameter is the sheet's session, which outlives the thread: the teardown joins
// every render thread before the session ends.
DWORD WINAPI RenderThreadMain(void* parameter) {
  SheetSession& session = *static_cast<SheetSession*>(parameter);
  t_renderSession = &session;
  try {
    ThreadSteps steps(session);
    RunRenderThread(session.render, steps);
  } catch (...) {
    // Nothing in a render throws by design; were it to, the lock is left (by the
    // steps' destructor) and the thread ends as a stopped render would.
    session.render.renderFrame = -1;
    session.render.renderBusy = false;
  }
  t_renderSession = nullptr;
  return 0;
}

}  // namespace

extern "C" int16_t __cdecl AbortCallback(void) {
  return t_renderSession && StopWanted(t_renderSession->render) ? 1 : 0;
}

extern "C" int16_t __cdecl ProgressCallback(int32_t percent) {
  if (t_renderSession) PostRenderProgress(t_renderSession->frame, percent);
  return 0;
}

void StartRender(SheetSession& session) {
  RenderFlags& flags = session.render;
  PruneFinishedThreads(session.renderThreads);
  if (flags.closing || !PreviewReady(session) || !session.sheet.renderEntry || !session.sheet.hostSettings) {
    flags.renderBusy = false;
    return;
  }
  HANDLE thread = CreateThread(nullptr, 0, RenderThreadMain, &session, 0, nullptr);
  if (!thread) {
    flags.renderBusy = false;
    return;
  }
  session.renderThreads.emplace_back(thread);
}

void RequestRenderForChange(SheetSession& session) {
  if (ClaimRenderForChange(session.render)) StartRender(session);
}

void JoinRenderThreads(SheetSession& session) {
  BeginRenderTeardown(session.render);
  for (const KernelHandle& thread : session.renderThreads) WaitForSingleObject(thread.get(), INFINITE);
  session.renderThreads.clear();
}

}  // namespace lmx
