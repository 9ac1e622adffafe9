// lmxhost render: the transition the saved block names, rendered from clip A to clip B
// through the installation's LMX.DLL as a host's final render does, one BMP a frame.
#pragma once

#include "options.h"

namespace lmx::host {

// 0 when every frame was written; 1 with the reason on stderr otherwise.
int RunRender(const HostOptions& options);

}  // namespace lmx::host
