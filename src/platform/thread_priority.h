// The scheduling priority of the calling thread, so that threads working for it can run
// at the same one (a render thread at the lowest priority keeps its helpers there too).
#pragma once

namespace lmx::platform {

struct ThreadPriority {
  int level = 0;  // the system's own value: a Windows priority level, a POSIX nice value
};

ThreadPriority CurrentThreadPriority();
// Gives the calling thread `priority`. On POSIX only towards lower priority (a higher
// nice value), which needs no privilege; a higher one is left as it is.
void SetCurrentThreadPriority(ThreadPriority priority);

}  // namespace lmx::platform
