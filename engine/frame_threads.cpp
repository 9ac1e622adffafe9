#include "frame_threads.h"

#include <new>
#include <system_error>

#include "platform/thread_priority.h"

namespace lmx::engine {

void FrameThreads::Start(int count, const std::function<void(int)>& work) {
  if (count <= 1) return;  // asking the priority can take a call into the system
  // A thread starts at the process's normal priority on Windows, whatever its creator's:
  // a render thread that lowered itself would otherwise compete through its helpers.
  const platform::ThreadPriority priority = platform::CurrentThreadPriority();
  for (int i = 1; i < count; ++i) {
    {
      std::lock_guard<std::mutex> hold(lock_);
      ++running_;
    }
    try {
      threads_.emplace_back([this, &work, priority, i] {
        platform::SetCurrentThreadPriority(priority);
        try {
          work(i);
        } catch (...) {
          failed_.store(true);
        }
        std::lock_guard<std::mutex> hold(lock_);
        --running_;
        changed_.notify_one();
      });
    } catch (const std::system_error&) {
      std::lock_guard<std::mutex> hold(lock_);
      --running_;  // no more threads to be had: those running share the work
      break;
    } catch (const std::bad_alloc&) {
      std::lock_guard<std::mutex> hold(lock_);
      --running_;
      break;
    }
  }
}

FrameThreads::~FrameThreads() {
  for (std::thread& t : threads_) t.join();
}

void FrameThreads::Report() {
  std::lock_guard<std::mutex> hold(lock_);
  ++reports_;
  changed_.notify_one();
}

bool FrameThreads::Wait() {
  std::unique_lock<std::mutex> hold(lock_);
  changed_.wait(hold, [this] { return reports_ != seen_ || running_ == 0; });
  seen_ = reports_;
  return running_ > 0;
}

}  // namespace lmx::engine
