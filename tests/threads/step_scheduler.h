// Runs real threads one at a time, choosing at every scheduling point which one goes on, so
// that a test walks through a protocol's interleavings depth first, with a bound on
// preemptions, and can replay any of them. Scheduling points: Yield (SteppedAtomic yields
// before every access), lock, unlock and Join. Switching away from a thread that could go on
// is a preemption, unless it yields freely (Yield(true): e.g. the user's pause between actions).
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace lmx::test {

class StepScheduler {
 public:
  struct Choice {
    size_t taken;
    size_t options;
  };

  // prefix: the choices to take at the first scheduling points (0 beyond it).
  StepScheduler(std::vector<size_t> prefix, int preemptionBound, size_t stepLimit);
  StepScheduler(const StepScheduler&) = delete;
  StepScheduler& operator=(const StepScheduler&) = delete;

  // Runs body as the first scheduled thread and returns when every scheduled thread has
  // ended (or the run was abandoned: a deadlock or the step limit).
  void Run(std::function<void()> body);

  // From a scheduled thread: a new scheduled thread; it first runs when chosen.
  int Spawn(std::function<void()> body);
  void Yield(bool free = false);
  void lock();  // the render lock (a std::mutex's names, for code written against one)
  void unlock();
  void Join(int thread);

  int Current() const { return current_; }
  const std::vector<Choice>& Trail() const { return trail_; }
  // Empty when the run ended normally.
  const std::string& Abandoned() const { return abandoned_; }

  // Called at every scheduling point while no other thread runs (the checks of a test).
  std::function<void()> onStep;
  // Called after every store through a SteppedAtomic (for checks on who writes what).
  std::function<void(const void* address)> onStore;

 private:
  enum class State { Runnable, WaitingLock, WaitingJoin, Done };
  struct Thread {
    State state = State::Runnable;
    int joinTarget = -1;
  };
  struct Abandon {};

  bool Enabled(const Thread& thread) const;
  bool AllDone() const;
  void SwitchFrom(int me, bool free);
  void WaitTurn(std::unique_lock<std::mutex>& lock, int me);
  void Block(std::unique_lock<std::mutex>& lock, State state, int joinTarget);
  void AbandonRun(const std::string& why);
  void ThreadMain(int id, std::function<void()> body);

  std::mutex mutex_;
  std::condition_variable turn_;
  std::deque<Thread> threads_;
  int current_ = -1;
  int lockOwner_ = -1;
  int preemptions_ = 0;
  const int preemptionBound_;
  size_t steps_ = 0;
  const size_t stepLimit_;
  std::vector<size_t> prefix_;
  std::vector<Choice> trail_;
  std::string abandoned_;
};

// The next prefix to run after a run that took `trail` (depth first): the last choice
// with an untried option moved on by one. False when every interleaving has been run.
bool NextSchedule(const std::vector<StepScheduler::Choice>& trail, std::vector<size_t>* prefix);

// A scheduling point of the run in progress, when called from one of its threads.
void StepIfScheduled();

void NotifyStore(const void* address);

// An atomic whose every load, store and exchange is a scheduling point. Peek reads the
// value without one (for checks made while the threads stand still).
template <class T>
class SteppedAtomic {
 public:
  SteppedAtomic(T value) : value_(value) {}  // NOLINT: initialised as std::atomic is
  SteppedAtomic(const SteppedAtomic&) = delete;
  SteppedAtomic& operator=(const SteppedAtomic&) = delete;

  operator T() const {
    StepIfScheduled();
    return value_;
  }
  SteppedAtomic& operator=(T value) {
    exchange(value);
    return *this;
  }
  T exchange(T value) {
    StepIfScheduled();
    T old = value_;
    value_ = value;
    NotifyStore(this);
    return old;
  }
  T Peek() const { return value_; }

 private:
  T value_;
};

}  // namespace lmx::test
