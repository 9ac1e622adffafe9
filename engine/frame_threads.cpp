#include "frame_threads.h"

#include <atomic>
#include <system_error>
#include <thread>
#include <vector>

#include "platform/thread_priority.h"

namespace lmx::engine {

bool RunOnThreads(int count, const std::function<void(int)>& work) {
  std::atomic<bool> failed{false};
  auto run = [&](int index) {
    try {
      work(index);
    } catch (...) {
      failed.store(true);
    }
  };
  // A thread starts at the process's normal priority on Windows, whatever its creator's:
  // a render thread that lowered itself would otherwise compete through its helpers.
  const platform::ThreadPriority priority = platform::CurrentThreadPriority();
  std::vector<std::thread> helpers;
  for (int i = 1; i < count; ++i) {
    try {
      helpers.emplace_back([&run, priority, i] {
        platform::SetCurrentThreadPriority(priority);
        run(i);
      });
    } catch (const std::system_error&) {
      break;  // no more threads to be had: those running share the work
    } catch (const std::bad_alloc&) {
      break;
    }
  }
  run(0);
  // Joining waits in the system until each has ended; nothing spins.
  for (std::thread& t : helpers) t.join();
  return !failed.load();
}

}  // namespace lmx::engine
