// A frame drawn on several threads: the helpers' priority, and a video-size frame in a
// 32-bit process.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "frame_threads.h"
#include "job_fixture.h"
#include "platform/thread_priority.h"

namespace lmx::engine::test {
namespace {

TEST(RenderThreads, HelpersRunAtTheCallersPriority) {
#if defined(_WIN32)
  const platform::ThreadPriority lowered{-2};  // THREAD_PRIORITY_LOWEST, the preview's render thread's
#else
  const platform::ThreadPriority lowered{5};   // a nicer value than the test's own
#endif
  std::vector<int> levels(3, 99);
  std::thread caller([&] {
    platform::SetCurrentThreadPriority(lowered);
    const std::function<void(int)> record = [&](int i) {
      levels[static_cast<size_t>(i)] = platform::CurrentThreadPriority().level;
    };
    FrameThreads helpers;
    helpers.Start(3, record);
    record(0);
    while (helpers.Wait()) {
    }
  });
  caller.join();
  EXPECT_EQ(levels, std::vector<int>(3, lowered.level));
}

#if defined(_WIN32)
// 3840 x 2160 at eight samples on four threads: each thread's buffers cover a tile, so
// the frame fits the 2 GB of a 32-bit process, and little stays held afterwards.
TEST(RenderThreads, UhdFrameAtEightSamplesOnFourThreads) {
  JobFixture f(3840, 2160, 2048);
  f.general(AntiAliasing) = 8, f.general(Shadows) = 1, f.general(Lighting) = 1;
  f.job().progressCallback = &QuietProgress;  // a filter frame, as a host's final render
  f.SetPosition(40, 100);
  RenderScratch scratch;
  ASSERT_EQ(f.RenderKind(MotionKind::Tiles, 0, 4, &scratch), 0);
  EXPECT_TRUE(f.GuardsIntact());
  // Pieces in flight between the clips: the frame is neither clip.
  const int some = f.width() * f.height() / 20;
  EXPECT_GT(f.PixelsDifferingFrom(0, 8), some);
  EXPECT_GT(f.PixelsDifferingFrom(1, 8), some);
  EXPECT_LT(scratch.heldBytes(), size_t{64} << 20);
}
#endif

}  // namespace
}  // namespace lmx::engine::test
