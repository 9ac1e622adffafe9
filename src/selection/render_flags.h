// The render protocol: the flags the user-interface thread and the render thread share
// without a lock, the user-interface side's requests (a change, a Render click, a stop,
// the teardown) and the render thread's body.
//
// Everything here is written against a flags type whose members behave as atomics
// (load by conversion, store by assignment, exchange), so that the same code runs in the
// product with std::atomic and under a test that schedules every access itself.
#pragma once

#include <atomic>
#include <cstdint>

namespace lmx {

template <template <class> class Atomic>
struct BasicRenderFlags {
  Atomic<int32_t> renderFrame{-1};  // -1 none, 0..frameCount-1 rendering, frameCount done, -2 torn down
  Atomic<bool> stopRequested{false};
  Atomic<bool> renderBusy{false};   // a render thread owns the render (claimed until it ends)
  Atomic<bool> restartRequested{false};
  Atomic<bool> closing{false};      // the teardown waits: nothing renders or restarts any more
};
using RenderFlags = BasicRenderFlags<std::atomic>;

// True while a render is between its first and last frame.
inline bool RenderInProgress(int32_t renderFrame, int32_t frameCount) {
  return renderFrame >= 0 && renderFrame < frameCount;
}

template <class Flags>
bool StopWanted(Flags& flags) {
  return flags.stopRequested || flags.closing;
}

// A change of the settings (user-interface thread). A busy render is asked to stop and
// start again; true when no render was busy: the caller then starts the render thread,
// renderBusy being already claimed for it and renderFrame -1.
//
// The stop is raised before the restart: a render thread that takes the restart in
// between clears the stop for its re-run, so the stop can never end the re-run of a
// change (which would leave the picture empty).
template <class Flags>
bool ClaimRenderForChange(Flags& flags) {
  flags.stopRequested = true;
  flags.restartRequested = true;
  if (flags.renderBusy.exchange(true)) return false;  // the busy render restarts itself
  flags.restartRequested = false;
  flags.stopRequested = false;
  flags.renderFrame = -1;
  return true;
}

enum class RenderClick {
  Start,    // nothing was busy: the caller starts the render thread (claimed as for a change)
  Stop,     // a render was in progress and is asked to stop
  Restart,  // a render thread is still busy (ending, or between two renders): it renders again
};

// The Render button (user-interface thread). A render in progress is stopped; otherwise
// the click claims the render exactly as a change does, so that a thread that is still
// ending is never joined by a second one.
template <class Flags>
RenderClick ClaimRenderForClick(Flags& flags, int32_t frameCount) {
  if (RenderInProgress(flags.renderFrame, frameCount)) {
    flags.restartRequested = false;
    flags.stopRequested = true;
    return RenderClick::Stop;
  }
  return ClaimRenderForChange(flags) ? RenderClick::Start : RenderClick::Restart;
}

// Asks a busy render to stop, and drops a restart a change had asked for.
template <class Flags>
void RequestRenderStop(Flags& flags) {
  flags.restartRequested = false;
  if (flags.renderBusy) flags.stopRequested = true;
}

// A page's write into the settings block that the engine reads (user-interface thread).
// The running render is asked to stop and a restart asked for earlier is dropped, so that
// the render lock comes free at the engine's next poll of the stop (one pass) and no
// render takes it again meanwhile; the write is made under the lock, so no engine call
// ever reads half of it. The change check that follows starts the render again. The wait
// cannot block both threads: the render thread never waits for this one (its panel
// updates are posted). Lock provides void Enter(); void Leave(); write must not throw.
template <class Flags, class Lock, class Write>
void WriteBetweenRenders(Flags& flags, Lock& lock, Write&& write) {
  RequestRenderStop(flags);
  lock.Enter();
  write();
  lock.Leave();
}

// The teardown, before it waits for every render thread: no render goes on or starts.
template <class Flags>
void BeginRenderTeardown(Flags& flags) {
  flags.closing = true;
  flags.stopRequested = true;
  flags.restartRequested = false;
}
// After every render thread has ended.
template <class Flags>
void EndRenderTeardown(Flags& flags) {
  flags.renderFrame = -2;
  flags.renderBusy = false;
  flags.closing = false;
}

// The render thread after one render, still holding the render lock: true to render
// again at once (a restart was asked for). Otherwise renderBusy is released; the caller
// then leaves the lock and asks RestartAfterRelease.
template <class Flags>
bool RestartBeforeRelease(Flags& flags) {
  if (!flags.closing && flags.restartRequested.exchange(false)) {
    flags.stopRequested = false;
    return true;
  }
  flags.renderBusy = false;
  return false;
}

// After the lock is left: true when a change arrived just as the render ended (it saw
// renderBusy still set and so started nothing) and this thread has taken it over.
template <class Flags>
bool RestartAfterRelease(Flags& flags) {
  if (flags.closing || !flags.restartRequested || flags.renderBusy.exchange(true)) return false;
  flags.restartRequested = false;
  flags.stopRequested = false;
  return true;
}

// One render: frames 0 to frameCount - 1 from a counter of its own, each published in
// renderFrame once done, until a stop or a frame the engine could not render. A stopped
// or failed render leaves renderFrame -1: none of its frames is shown.
//
// Steps provides: int32_t FrameCount(); void BeginRender(); bool RenderFrame(int32_t k)
// (k always inside 0..frameCount-1; false when the engine failed); void Publish()
// (renderFrame changed); void EndRender().
template <class Flags, class Steps>
void RenderFrames(Flags& flags, Steps& steps) {
  const int32_t frameCount = steps.FrameCount();
  steps.BeginRender();
  flags.renderFrame = 0;
  steps.Publish();
  bool failed = false;
  for (int32_t k = 0; k < frameCount && !StopWanted(flags); ++k) {
    failed = !steps.RenderFrame(k);
    if (failed) break;
    flags.renderFrame = k + 1;
  }
  if (failed || StopWanted(flags)) flags.renderFrame = -1;
  steps.Publish();
  steps.EndRender();
}

// The body of a render thread. Each render holds the render lock throughout; a restart
// renders again in this same thread after leaving and retaking the lock, so every render
// thread is one the user-interface thread started and can join.
// Steps adds to RenderFrames' needs: void EnterLock(); void LeaveLock().
template <class Flags, class Steps>
void RunRenderThread(Flags& flags, Steps& steps) {
  for (;;) {
    steps.EnterLock();
    RenderFrames(flags, steps);
    const bool again = RestartBeforeRelease(flags);
    steps.LeaveLock();
    if (again || RestartAfterRelease(flags)) continue;
    return;
  }
}

}  // namespace lmx
