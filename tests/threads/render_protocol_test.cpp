// The preview's render protocol (the product's code) against every interleaving, up to two
// preemptions, of the user-interface thread's actions (a page's write with its change, a
// Render click, a stop, the teardown) with the render threads. The atomics, the render lock,
// the threads, the settings block (a version number) and the engine are stand-ins.
#include "selection/render_flags.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <climits>
#include <cstdint>
#include <mutex>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "selection/filter_values.h"
#include "selection/render_control.h"
#include "threads/step_scheduler.h"

namespace lmx {
namespace {

using test::StepScheduler;
using test::SteppedAtomic;
using SteppedFlags = BasicRenderFlags<SteppedAtomic>;

enum class Op { Change, Click, Stop, Teardown };
const char* const kOpNames[] = {"change", "click", "stop", "teardown"};

// Everything one explored run shares between its threads.
struct World {
  SteppedFlags flags;
  int32_t frameCount = 2;
  int version = 0;            // what the picture must show: raised by each change and Render click
  int block = 0;              // the settings block's values: raised by each page's write
  int inRender = 0;           // render threads between BeginRender and EndRender
  int completedVersion = -1;  // the oldest version the frames of the last complete render read
  std::vector<int> threads;   // every render thread started
  std::vector<std::string> faults;
  StepScheduler* scheduler = nullptr;

  void Fault(const std::string& what) {
    if (faults.size() < 4) faults.push_back(what);
  }
  // What the engine stand-in needs, read without a scheduling point but for the pauses.
  StepScheduler& RenderLock() { return *scheduler; }
  bool Busy() const { return flags.renderBusy.Peek(); }
  int32_t Frame() const { return flags.renderFrame.Peek(); }
  int Block() const { return block; }
  void Pause(bool free) { scheduler->Yield(free); }  // free: a frame takes any time
};

// A user-interface write of renderFrame while a render thread renders breaks the rule
// that only the render thread moves it during a render.
void ObserveStore(World& w, const void* address) {
  if (address == &w.flags.renderFrame && w.scheduler->Current() == 0 && w.inRender > 0)
    w.Fault("the user-interface thread wrote renderFrame during a render");
}

// Checked at every scheduling point, while every thread stands still.
void CheckStep(World& w) {
  if (w.inRender > 0 && !w.flags.renderBusy.Peek()) w.Fault("a render runs while renderBusy is false");
}

// The engine and the preview around it, for either world: the engine polls the stop first,
// as LMX_Render polls its abort callback, and then reads the settings block throughout the call.
template <class W>
class EngineSteps {
 public:
  explicit EngineSteps(W& world) : w_(world) {}

  int32_t FrameCount() const { return w_.frameCount; }
  void EnterLock() { w_.RenderLock().lock(); }
  void LeaveLock() { w_.RenderLock().unlock(); }
  void Publish() {}

  void BeginRender() {
    w_.Pause(false);
    if (++w_.inRender > 1 || !w_.Busy()) w_.Fault("a render began beside another or without renderBusy");
    oldest_ = INT_MAX;
    drawn_ = 0;
  }

  bool RenderFrame(int32_t k) {
    if (k < 0 || k >= w_.frameCount) {
      w_.Fault("frame index " + std::to_string(k) + " outside the frame table");
      return true;
    }
    if (StopWanted(w_.flags)) return true;
    const int read = w_.Block();
    oldest_ = std::min(oldest_, static_cast<int>(w_.version));
    w_.Pause(true);
    if (w_.Block() != read) w_.Fault("the block was written during an engine call");
    ++drawn_;
    return true;
  }

  void EndRender() {
    w_.Pause(false);
    if (w_.Frame() == w_.frameCount) {
      if (drawn_ != w_.frameCount) w_.Fault("a render left as complete has frames the engine never drew");
      w_.completedVersion = oldest_;
    }
    --w_.inRender;
  }

 private:
  W& w_;
  int oldest_ = INT_MAX;
  int drawn_ = 0;
};

enum class Expect { Complete, StoppedOrComplete, TornDown };

template <class Mutex>  // the render lock as the pages take it
struct PageLock {
  Mutex& mutex;
  void Enter() { mutex.lock(); }
  void Leave() { mutex.unlock(); }
};

void StartThread(World& w) {
  World* world = &w;
  w.threads.push_back(w.scheduler->Spawn([world] {
    EngineSteps<World> steps(*world);
    RunRenderThread(world->flags, steps);
  }));
}

// One action of the page frame or the teardown, using the protocol as the product does; what
// the end of the run must show after it.
Expect Do(World& w, Op op) {
  switch (op) {
    case Op::Change: {
      PageLock<StepScheduler> lock{w.RenderLock()};
      WriteBetweenRenders(w.flags, lock, [&w] { ++w.block, ++w.version; });  // then the change check
      if (ClaimRenderForChange(w.flags)) StartThread(w);
      return Expect::Complete;
    }
    case Op::Click: {
      ++w.version;
      RenderClick click = ClaimRenderForClick(w.flags, w.frameCount);
      if (click == RenderClick::Start) StartThread(w);
      return click == RenderClick::Stop ? Expect::StoppedOrComplete : Expect::Complete;
    }
    case Op::Stop:
      RequestRenderStop(w.flags);
      return Expect::StoppedOrComplete;
    case Op::Teardown:
      BeginRenderTeardown(w.flags);
      for (int thread : w.threads) w.scheduler->Join(thread);
      EndRenderTeardown(w.flags);
      return Expect::TornDown;
  }
  return Expect::TornDown;  // not reached
}

void CheckEnd(World& w, Expect expect) {
  const int32_t frame = w.flags.renderFrame.Peek();
  if (w.flags.renderBusy.Peek()) w.Fault("renderBusy still set with no render thread left");
  switch (expect) {
    case Expect::Complete:
      if (frame != w.frameCount)
        w.Fault("the last request was not rendered: renderFrame " + std::to_string(frame));
      else if (w.completedVersion != w.version)
        w.Fault("the picture shows version " + std::to_string(w.completedVersion) + ", not the last, " +
                std::to_string(w.version));
      break;
    case Expect::StoppedOrComplete:
      if (frame != -1 && frame != w.frameCount) w.Fault("a stopped render left renderFrame " + std::to_string(frame));
      break;
    case Expect::TornDown:
      if (frame != -2) w.Fault("the teardown left renderFrame " + std::to_string(frame));
      break;
  }
}

// Runs the script under every schedule with at most `bound` preemptions, counting the runs;
// the first run that broke the protocol, with its schedule, or nothing. Between two actions
// the user may pause for any time: any thread may run there without it counting as a preemption.
std::string Explore(const std::vector<Op>& script, int bound, size_t* runs) {
  std::vector<size_t> prefix;
  for (;;) {
    World world;
    StepScheduler scheduler(prefix, bound, 4000);
    world.scheduler = &scheduler;
    scheduler.onStep = [&] { CheckStep(world); };
    scheduler.onStore = [&](const void* address) { ObserveStore(world, address); };
    Expect expect = Expect::Complete;
    scheduler.Run([&] {
      for (size_t i = 0; i < script.size(); ++i) {
        if (i > 0) scheduler.Yield(true);
        expect = Do(world, script[i]);
      }
    });
    ++*runs;
    if (!scheduler.Abandoned().empty()) world.Fault(scheduler.Abandoned());
    else CheckEnd(world, expect);
    if (!world.faults.empty()) {
      std::ostringstream text;
      text << "script:";
      for (Op op : script) text << ' ' << kOpNames[static_cast<int>(op)];
      text << "; " << world.faults.front() << "; schedule:";
      for (const StepScheduler::Choice& choice : scheduler.Trail()) text << ' ' << choice.taken << '/' << choice.options;
      return text.str();
    }
    if (!test::NextSchedule(scheduler.Trail(), &prefix)) return "";
  }
}

// Every script of `length` actions from {change, click, stop}, optionally ended by the
// teardown.
std::vector<std::vector<Op>> Scripts(size_t length, bool teardown) {
  std::vector<std::vector<Op>> scripts = {{}};
  for (size_t i = 0; i < length; ++i) {
    std::vector<std::vector<Op>> longer;
    for (const std::vector<Op>& script : scripts)
      for (Op op : {Op::Change, Op::Click, Op::Stop}) {
        longer.push_back(script);
        longer.back().push_back(op);
      }
    scripts = std::move(longer);
  }
  if (teardown)
    for (std::vector<Op>& script : scripts) script.push_back(Op::Teardown);
  return scripts;
}

// Scripts of 1 to 3 actions, optionally ended by the teardown: two preemptions for short
// scripts, one for the longer ones (which already pass each other at every pause and frame).
TEST(RenderProtocolTest, ScriptsHoldInEveryInterleaving) {
  const struct {
    size_t length;
    bool teardown;
    int bound;
  } cases[] = {{1, false, 2}, {2, false, 2}, {3, false, 1}, {1, true, 2}, {2, true, 1}};
  size_t runs = 0;
  for (const auto& c : cases)
    for (const std::vector<Op>& script : Scripts(c.length, c.teardown)) {
      const std::string failure = Explore(script, c.bound, &runs);
      ASSERT_TRUE(failure.empty()) << failure;
    }
  RecordProperty("runs", static_cast<int>(runs));
  EXPECT_GT(runs, 0u);
}

// The scheduler itself: every order of two threads' steps is reached (a thread blocked
// in a join included), or the tests above would prove nothing.
TEST(RenderProtocolTest, ExplorationReachesEveryOrderOfTwoThreads) {
  std::vector<std::string> orders;
  std::vector<size_t> prefix;
  do {
    StepScheduler scheduler(prefix, 2, 100);
    std::string order;
    scheduler.Run([&] {
      int other = scheduler.Spawn([&] {
        scheduler.Yield();
        order += 'b';
        scheduler.Yield();
        order += 'c';
      });
      scheduler.Yield();
      order += 'a';
      scheduler.Join(other);
    });
    orders.push_back(order);
    if (!test::NextSchedule(scheduler.Trail(), &prefix)) break;
  } while (orders.size() < 100);
  std::sort(orders.begin(), orders.end());
  orders.erase(std::unique(orders.begin(), orders.end()), orders.end());
  EXPECT_EQ(orders, (std::vector<std::string>{"abc", "bac", "bca"}));
}

// The same with real threads and std::atomic: seeded changes (writes into the block),
// clicks and stops while render threads read the block through the product's selection
// code; ThreadSanitizer (the tsan preset) watches every access.

struct Shared {
  RenderFlags flags;
  std::mutex renderLock;
  EffectSettings block{};
  int32_t frameCount = 3;
  std::atomic<int> version{0};
  std::atomic<int> inRender{0};
  std::atomic<int> faults{0};
  std::atomic<int> completedVersion{-1};

  void Fault(const std::string&) { ++faults; }
  std::mutex& RenderLock() { return renderLock; }
  bool Busy() const { return flags.renderBusy; }
  int32_t Frame() const { return flags.renderFrame; }
  int32_t Block() const { return PositionForFrame(0, 1, true, block, 0.0f).lastPosition; }
  void Pause(bool inFrame) {
    for (int i = 0; inFrame && i < 200 && !StopWanted(flags); ++i) std::this_thread::yield();
  }
};

// One burst of user actions; the last one asks for a render, so it must end complete.
void RunBurst(Shared& shared, std::mt19937& random, std::vector<std::thread>& threads) {
  std::uniform_int_distribution<int> action(0, 9);
  std::uniform_int_distribution<int> pause(0, 2000);
  const auto start = [&] {
    threads.emplace_back([&shared] {
      EngineSteps<Shared> steps(shared);
      RunRenderThread(shared.flags, steps);
    });
  };
  for (int i = 0; i < 12; ++i) {
    for (int spin = pause(random); spin > 0; --spin) std::this_thread::yield();
    int which = i == 11 ? 0 : action(random);
    if (which < 5) {
      PageLock<std::mutex> lock{shared.renderLock};
      WriteBetweenRenders(shared.flags, lock,
                          [&] { StoreFilterValues(&shared.block, {-1, 50, 10 + ++shared.version, false}); });
      if (ClaimRenderForChange(shared.flags)) start();
    } else if (which < 9) {
      ++shared.version;
      if (ClaimRenderForClick(shared.flags, shared.frameCount) == RenderClick::Start) start();
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
    if (!teardown) {
      EXPECT_EQ(shared.completedVersion, shared.version);
    }
  }
}

TEST(RenderThreadsTest, RacingActionsEndWithTheLastRequestRendered) { ExpectRounds(20261206, false); }

TEST(RenderThreadsTest, TeardownDuringRacingActionsLeavesNothingRunning) { ExpectRounds(7, true); }

}  // namespace
}  // namespace lmx
