// The render protocol with real threads and std::atomic, as the product runs it: the
// user-interface side fires changes (a page's write into the block), clicks and stops
// from a seeded generator while render threads read the block through the product's
// selection code; ThreadSanitizer (the tsan preset) watches every access.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <random>
#include <thread>
#include <vector>

#include "selection/filter_values.h"
#include "selection/render_control.h"
#include "selection/render_flags.h"

namespace lmx {
namespace {

struct Shared {
  RenderFlags flags;
  std::mutex renderLock;
  EffectSettings block{};
  int32_t frameCount = 3;
  std::atomic<int> version{0};
  std::atomic<int> inRender{0};
  std::atomic<int> faults{0};
  std::atomic<int> completedVersion{-1};
};

class ThreadSteps {
 public:
  explicit ThreadSteps(Shared& shared) : s_(shared) {}
  int32_t FrameCount() const { return s_.frameCount; }
  void EnterLock() { s_.renderLock.lock(); }
  void LeaveLock() { s_.renderLock.unlock(); }
  void BeginRender() {
    if (++s_.inRender > 1 || !s_.flags.renderBusy) ++s_.faults;
    oldest_ = INT32_MAX;
    drawn_ = 0;
  }
  bool RenderFrame(int32_t k) {
    if (k < 0 || k >= s_.frameCount) ++s_.faults;
    const int32_t read = PositionForFrame(k, 1, true, s_.block, 0.0f).lastPosition;  // as the engine call begins
    for (int i = 0; i < 200 && !StopWanted(s_.flags); ++i) std::this_thread::yield();
    if (PositionForFrame(k, 1, true, s_.block, 0.0f).lastPosition != read) ++s_.faults;
    if (StopWanted(s_.flags)) return true;
    int seen = s_.version;
    if (seen < oldest_) oldest_ = seen;
    ++drawn_;
    return true;
  }
  void Publish() {}
  void EndRender() {
    if (s_.flags.renderFrame == s_.frameCount && drawn_ == s_.frameCount) s_.completedVersion = oldest_;
    --s_.inRender;
  }

 private:
  Shared& s_;
  int oldest_ = INT32_MAX;
  int drawn_ = 0;
};

void RenderThread(Shared* shared) {
  ThreadSteps steps(*shared);
  RunRenderThread(shared->flags, steps);
}

// One burst of user actions; the last one asks for a render, so it must end complete.
void RunBurst(Shared& shared, std::mt19937& random, std::vector<std::thread>& threads) {
  std::uniform_int_distribution<int> action(0, 9);
  std::uniform_int_distribution<int> pause(0, 2000);
  for (int i = 0; i < 12; ++i) {
    for (int spin = pause(random); spin > 0; --spin) std::this_thread::yield();
    int which = i == 11 ? 0 : action(random);
    if (which < 5) {
      const int version = ++shared.version;
      struct {
        std::mutex& lock;
        void Enter() { lock.lock(); }
        void Leave() { lock.unlock(); }
      } lock{shared.renderLock};
      WriteBetweenRenders(shared.flags, lock, [&] { StoreFilterValues(&shared.block, {-1, 50, 10 + version, false}); });
      if (ClaimRenderForChange(shared.flags)) threads.emplace_back(RenderThread, &shared);
    } else if (which < 9) {
      ++shared.version;
      if (ClaimRenderForClick(shared.flags, shared.frameCount) == RenderClick::Start)
        threads.emplace_back(RenderThread, &shared);
    } else {
      RequestRenderStop(shared.flags);
    }
  }
}

// Rounds of one burst each on fresh flags, then the wait for its threads: until they end
// by themselves (the last request rendered), or through the teardown (nothing left running).
void ExpectRounds(std::mt19937::result_type seed, bool teardown) {
  std::mt19937 random(seed);
  for (int round = 0; round < 30; ++round) {
    SCOPED_TRACE(round);
    Shared shared;
    std::vector<std::thread> threads;
    RunBurst(shared, random, threads);
    if (teardown) BeginRenderTeardown(shared.flags);
    for (std::thread& thread : threads) thread.join();
    if (teardown) EndRenderTeardown(shared.flags);
    EXPECT_EQ(shared.faults, 0);
    EXPECT_EQ(shared.inRender, 0);
    EXPECT_FALSE(shared.flags.renderBusy);
    EXPECT_EQ(shared.flags.renderFrame, teardown ? -2 : shared.frameCount);
    if (!teardown) EXPECT_EQ(shared.completedVersion, shared.version);
  }
}

TEST(RenderThreadsTest, RacingActionsEndWithTheLastRequestRendered) { ExpectRounds(20261206, false); }

TEST(RenderThreadsTest, TeardownDuringRacingActionsLeavesNothingRunning) { ExpectRounds(7, true); }

}  // namespace
}  // namespace lmx
