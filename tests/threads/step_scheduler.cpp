#include "threads/step_scheduler.h"

#include <algorithm>
#include <utility>

namespace lmx::test {
namespace {

StepScheduler* g_active = nullptr;
thread_local bool t_scheduled = false;

// Threads kept for the whole test program: an exploration makes thousands of short
// runs, and starting threads for each would cost more than the runs themselves.
class WorkerPool {
 public:
  void Submit(std::function<void()> task) {
    std::lock_guard<std::mutex> lock(mutex_);
    tasks_.push_back(std::move(task));
    if (idle_ == 0) return std::thread(&WorkerPool::Work, this).detach();
    --idle_;
    work_.notify_one();
  }

 private:
  void Work() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
      work_.wait(lock, [&] { return !tasks_.empty(); });
      std::function<void()> task = std::move(tasks_.front());
      tasks_.pop_front();
      lock.unlock();
      task();
      lock.lock();
      ++idle_;
    }
  }

  std::mutex mutex_;
  std::condition_variable work_;
  std::deque<std::function<void()>> tasks_;
  size_t idle_ = 0;
};

WorkerPool& Pool() {
  static WorkerPool& pool = *new WorkerPool;  // never destroyed: its idle workers wait until the program ends
  return pool;
}

}  // namespace

void StepIfScheduled() {
  if (g_active && t_scheduled) g_active->Yield();
}
void NotifyStore(const void* address) {
  if (g_active && t_scheduled && g_active->onStore) g_active->onStore(address);
}

bool NextSchedule(const std::vector<StepScheduler::Choice>& trail, std::vector<size_t>* prefix) {
  size_t depth = trail.size();
  while (depth > 0 && trail[depth - 1].taken + 1 >= trail[depth - 1].options) --depth;
  if (depth == 0) return false;
  prefix->clear();
  for (size_t i = 0; i < depth; ++i) prefix->push_back(trail[i].taken);
  ++prefix->back();
  return true;
}

StepScheduler::StepScheduler(std::vector<size_t> prefix, int preemptionBound, size_t stepLimit)
    : preemptionBound_(preemptionBound), stepLimit_(stepLimit), prefix_(std::move(prefix)) {}

bool StepScheduler::Enabled(const Thread& thread) const {
  switch (thread.state) {
    case State::Runnable: return true;
    case State::WaitingLock: return lockOwner_ == -1;
    case State::WaitingJoin: return threads_[static_cast<size_t>(thread.joinTarget)].state == State::Done;
    case State::Done: return false;
  }
  return false;
}

// With the mutex held: picks the thread that goes on and hands it the turn.
void StepScheduler::SwitchFrom(int me, bool free) {
  if (onStep) onStep();
  std::vector<int> options;
  const bool meEnabled = me >= 0 && Enabled(threads_[static_cast<size_t>(me)]);
  if (meEnabled) options.push_back(me);
  if (!meEnabled || free || preemptions_ < preemptionBound_) {
    for (size_t id = 0; id < threads_.size(); ++id)
      if (static_cast<int>(id) != me && Enabled(threads_[id])) options.push_back(static_cast<int>(id));
  }
  if (options.empty()) {
    if (!AllDone()) return AbandonRun("deadlock: no thread can go on");
    current_ = -1;
    turn_.notify_all();
    return;
  }
  size_t taken = 0;
  if (options.size() > 1) {
    const size_t at = trail_.size();
    taken = at < prefix_.size() ? prefix_[at] : 0;
    if (taken >= options.size()) taken = 0;  // a prefix from another run: stay on course
    trail_.push_back({taken, options.size()});
  }
  const int next = options[taken];
  if (meEnabled && next != me && !free) ++preemptions_;
  Thread& chosen = threads_[static_cast<size_t>(next)];
  if (chosen.state == State::WaitingLock) lockOwner_ = next;
  chosen.state = State::Runnable;
  current_ = next;
  turn_.notify_all();
}

void StepScheduler::WaitTurn(std::unique_lock<std::mutex>& lock, int me) {
  turn_.wait(lock, [&] { return current_ == me || !abandoned_.empty(); });
  if (!abandoned_.empty()) throw Abandon{};
}

void StepScheduler::AbandonRun(const std::string& why) {
  if (abandoned_.empty()) abandoned_ = why;
  current_ = -1;
  turn_.notify_all();
}

void StepScheduler::ThreadMain(int id, std::function<void()> body) {
  t_scheduled = true;  // a pool worker runs nothing but scheduled threads
  try {
    {
      std::unique_lock<std::mutex> lock(mutex_);
      WaitTurn(lock, id);
    }
    body();
  } catch (const Abandon&) {  // the run was abandoned: this thread only winds up
  }
  std::unique_lock<std::mutex> lock(mutex_);
  threads_[static_cast<size_t>(id)].state = State::Done;
  if (lockOwner_ == id) lockOwner_ = -1;
  if (abandoned_.empty() && current_ == id) SwitchFrom(id, true);
  turn_.notify_all();
}

bool StepScheduler::AllDone() const {
  return std::all_of(threads_.begin(), threads_.end(), [](const Thread& t) { return t.state == State::Done; });
}

void StepScheduler::Run(std::function<void()> body) {
  g_active = this;
  current_ = 0;  // before the first thread exists
  Spawn(std::move(body));
  {
    std::unique_lock<std::mutex> lock(mutex_);
    turn_.wait(lock, [&] { return AllDone(); });
  }
  g_active = nullptr;
}

int StepScheduler::Spawn(std::function<void()> body) {
  std::unique_lock<std::mutex> lock(mutex_);
  const int id = static_cast<int>(threads_.size());
  threads_.emplace_back();
  Pool().Submit([this, id, body = std::move(body)] { ThreadMain(id, body); });
  return id;
}

void StepScheduler::Yield(bool free) {
  std::unique_lock<std::mutex> lock(mutex_);
  if (!abandoned_.empty()) throw Abandon{};
  if (++steps_ > stepLimit_) {
    AbandonRun("step limit reached: the protocol does not settle");
    throw Abandon{};
  }
  const int me = current_;
  SwitchFrom(me, free);
  WaitTurn(lock, me);
}

// With the mutex held: this thread waits in `state` until SwitchFrom hands it the turn again.
void StepScheduler::Block(std::unique_lock<std::mutex>& lock, State state, int joinTarget) {
  const int me = current_;
  threads_[static_cast<size_t>(me)] = {state, joinTarget};
  SwitchFrom(me, true);
  WaitTurn(lock, me);
}

void StepScheduler::lock() {
  Yield();
  std::unique_lock<std::mutex> lock(mutex_);
  if (lockOwner_ != -1) return Block(lock, State::WaitingLock, -1);  // chosen once free: SwitchFrom makes it ours
  lockOwner_ = current_;
}

void StepScheduler::unlock() {
  {
    std::unique_lock<std::mutex> lock(mutex_);
    lockOwner_ = -1;
  }
  Yield();
}

void StepScheduler::Join(int thread) {
  Yield();
  std::unique_lock<std::mutex> lock(mutex_);
  if (threads_[static_cast<size_t>(thread)].state != State::Done) Block(lock, State::WaitingJoin, thread);
}

}  // namespace lmx::test
