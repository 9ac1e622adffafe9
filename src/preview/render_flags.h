// The flags the user-interface thread and the render thread share without a lock, and
// the two decisions taken on them: whether a change of the settings must start a render
// itself, and whether a render thread that has finished one render must render again.
#pragma once

#include <atomic>
#include <cstdint>

namespace lmx {

struct RenderFlags {
  std::atomic<int32_t> renderFrame{-1};  // -1 none, 0..frameCount-1 rendering, frameCount done, -2 torn down
  std::atomic<bool> stopRequested{false};
  std::atomic<bool> renderBusy{false};
  std::atomic<bool> restartRequested{false};
};

// A change of the settings (user-interface thread). Asks a running render to stop and
// start again; true when no render is busy, so that the caller starts one (renderBusy is
// then already claimed and renderFrame is -1).
bool ClaimRenderForChange(RenderFlags& flags);

// The render thread after one render, still holding the render lock: true to render
// again at once (a restart was asked for). Otherwise renderBusy is released; the caller
// then leaves the lock and asks AfterRelease.
bool RestartBeforeRelease(RenderFlags& flags, bool closing);
// After the lock is left: true when a change arrived just as the render ended (it saw
// renderBusy still set and so started nothing) and this thread has taken it over.
bool RestartAfterRelease(RenderFlags& flags, bool closing);

}  // namespace lmx
