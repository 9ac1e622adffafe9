#include "preview/render_flags.h"

namespace lmx {

bool ClaimRenderForChange(RenderFlags& flags) {
  flags.restartRequested = true;
  flags.stopRequested = true;
  if (flags.renderBusy.exchange(true)) return false;  // the running render restarts itself
  flags.restartRequested = false;
  flags.stopRequested = false;
  flags.renderFrame = -1;
  return true;
}

bool RestartBeforeRelease(RenderFlags& flags, bool closing) {
  if (!closing && flags.restartRequested.exchange(false)) {
    flags.stopRequested = false;
    return true;
  }
  flags.renderBusy = false;
  return false;
}

bool RestartAfterRelease(RenderFlags& flags, bool closing) {
  if (closing || !flags.restartRequested || flags.renderBusy.exchange(true)) return false;
  flags.restartRequested = false;
  flags.stopRequested = false;
  return true;
}

}  // namespace lmx
