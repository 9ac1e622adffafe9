// The host's road to one effect's description: registry, installation directory, effect
// file, and the 60-byte structure, through the real DLL.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

#include "model/effect_info.h"
#include "platform/module.h"
#include "sheet_harness.h"
#include "support/test_install.h"

namespace lmx {
namespace {

using GetEffectInfoFn = int16_t(__cdecl*)(const char*, EffectInfo*);

class EffectInfoE2E : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dll_.IsLoaded()) << "LMX_GUI.DLL did not load";
    byName_ = platform::ProcAs<GetEffectInfoFn>(dll_.Find("LMXGUI_GetEffectInfo"));
    ASSERT_NE(byName_, nullptr);
  }

  test::TestInstall install_;  // before the DLL loads: its start-up reads the registry
  // The installation has no organization: the module reports that once as it loads.
  test::MessageBoxCatcher boxes_;
  platform::LoadedModule dll_{"LMX_GUI.DLL"};
  GetEffectInfoFn byName_ = nullptr;
};

TEST_F(EffectInfoE2E, FullFile) {
  test::WriteEffect(install_, test::EffectSpec{"DOORS", "Double Doors", "Two doors open.", 2, 1, 1, 1, 50.0f, {}, 1});
  // A structure pre-set to a pattern, so that every byte the call leaves is seen.
  EffectInfo info;
  std::memset(&info, 0xA5, sizeof info);
  EXPECT_EQ(byName_("DOORS", &info), 0);

  uint8_t expected[60] = {};
  expected[0] = 1;
  std::memcpy(expected + 4, "DOORS", 6);
  std::memcpy(expected + 13, "Double Doors", 13);
  expected[56] = 2;
  EXPECT_EQ(std::memcmp(&info, expected, 60), 0) << "byte-for-byte layout of the structure";
}

}  // namespace
}  // namespace lmx
