// On Linux the nice value belongs to each thread (and a new thread starts with its
// creator's); PRIO_PROCESS with id 0 names the calling thread.
#include <sys/resource.h>

#include <cerrno>

#include "platform/thread_priority.h"

namespace lmx::platform {

ThreadPriority CurrentThreadPriority() {
  errno = 0;
  const int nice = getpriority(PRIO_PROCESS, 0);
  return {errno == 0 ? nice : 0};
}

void SetCurrentThreadPriority(ThreadPriority priority) {
  if (priority.level > CurrentThreadPriority().level) setpriority(PRIO_PROCESS, 0, priority.level);
}

}  // namespace lmx::platform
