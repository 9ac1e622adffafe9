#include <windows.h>

#include "platform/thread_priority.h"

namespace lmx::platform {

ThreadPriority CurrentThreadPriority() {
  const int level = GetThreadPriority(GetCurrentThread());
  return {level == THREAD_PRIORITY_ERROR_RETURN ? THREAD_PRIORITY_NORMAL : level};
}

void SetCurrentThreadPriority(ThreadPriority priority) { SetThreadPriority(GetCurrentThread(), priority.level); }

}  // namespace lmx::platform
