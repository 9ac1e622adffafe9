// LMX.DLL as the front end sees it: loaded by file name, LMX_Render found by name,
// called with the cdecl convention from another module.
#include <gtest/gtest.h>

#include "job_fixture.h"
#include "platform/module.h"

namespace lmx::engine::test {
namespace {

int g_polls = 0;
int16_t __cdecl CountPolls() {
  ++g_polls;
  return 0;
}

TEST(EngineDll, RendersThroughTheExportByName) {
  platform::LoadedModule dll("LMX.DLL");
  ASSERT_TRUE(dll.IsLoaded());
  auto entry = platform::ProcAs<RenderEntryFn>(dll.Find("LMX_Render"));
  ASSERT_NE(entry, nullptr);

  JobFixture f(64, 64);
  g_polls = 0;
  f.job().abortCallback = &CountPolls;
  f.SetPosition(0, 9);
  EXPECT_EQ(f.Render(entry), 0);
  EXPECT_LT(f.MeanDifferenceTo(0), 4.0);
  EXPECT_GT(g_polls, 0);
  f.SetPosition(9, 9);
  EXPECT_EQ(f.Render(entry), 0);
  EXPECT_LT(f.MeanDifferenceTo(1), 4.0);
  f.SetPosition(4, 9);
  EXPECT_EQ(f.Render(entry), 0);
  EXPECT_GT(f.MeanDifferenceTo(0), 10.0);
  EXPECT_GT(f.MeanDifferenceTo(1), 10.0);
  EXPECT_TRUE(f.GuardsIntact());
}

}  // namespace
}  // namespace lmx::engine::test
