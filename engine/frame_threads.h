// The threads that draw one frame together.
#pragma once

#include <functional>

namespace lmx::engine {

// Runs work(0) on the calling thread and work(1) .. work(count - 1) on helper threads
// at the caller's scheduling priority, and returns once every one has returned. False
// when one threw (no memory); a helper that cannot be started is left out, so the work
// must not rely on every index running.
bool RunOnThreads(int count, const std::function<void(int)>& work);

}  // namespace lmx::engine
