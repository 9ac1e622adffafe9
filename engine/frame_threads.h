// The helper threads that draw one frame beside the calling thread.
#pragma once

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace lmx::engine {

class FrameThreads {
 public:
  FrameThreads() = default;
  // Runs work(1) .. work(count - 1) on helper threads at the caller's scheduling
  // priority; `work` must outlive this object. A helper that cannot be started is left
  // out, so the work must not rely on every index running. Once only.
  void Start(int count, const std::function<void(int)>& work);
  // Joins every helper.
  ~FrameThreads();
  FrameThreads(const FrameThreads&) = delete;
  FrameThreads& operator=(const FrameThreads&) = delete;

  // A helper's word that it got on (drew a pass): wakes the caller's Wait.
  void Report();
  // Sleeps until a helper reports or has returned; false once every helper has returned.
  bool Wait();
  // Whether a helper's work threw (no memory).
  bool failed() const { return failed_.load(); }

 private:
  std::mutex lock_;
  std::condition_variable changed_;
  unsigned reports_ = 0, seen_ = 0;  // reports made, and those Wait has seen
  int running_ = 0;
  std::atomic<bool> failed_{false};
  std::vector<std::thread> threads_;
};

}  // namespace lmx::engine
