#include "selection/settings_values.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/registry.h"
#include "support/registry_control.h"

namespace lmx {
namespace {

class SettingsValuesTest : public ::testing::Test {
 protected:
  void SetUp() override { test::ResetRegistry(true); }
  void TearDown() override { test::ResetRegistry(false); }
};

std::string StoredString(const char* name) {
  char buffer[1024];
  return ReadRegistryString(buffer, sizeof buffer, name) ? buffer : "<missing>";
}

TEST_F(SettingsValuesTest, WritesAllTenValuesCuttingEngineEntriesAtTheFirstBlank) {
  SettingsValues v;
  v.effDisplay = 1;
  v.orgFile = "MYORG";
  v.effAutoreverse = 1;
  v.prevQuality = 2;
  v.prevEngine = "RND_002 (Portable)";
  v.prevFrames = 20;
  v.prevRender = 1;
  v.prevSpeed = 15;
  v.engine = "RND_003\r";
  v.rndLogging = 2;
  WriteSettingsValues(v);

  SettingsValues back = ReadSettingsValues();
  EXPECT_EQ(back.effDisplay, 1u);
  EXPECT_EQ(back.orgFile, "MYORG");
  EXPECT_EQ(back.effAutoreverse, 1u);
  EXPECT_EQ(back.prevQuality, 2u);
  EXPECT_EQ(back.prevEngine, "RND_002");
  EXPECT_EQ(back.prevFrames, 20u);
  EXPECT_EQ(back.prevRender, 1u);
  EXPECT_EQ(back.prevSpeed, 15u);
  EXPECT_EQ(back.engine, "RND_003\r") << "an entry without a blank is stored whole";
  EXPECT_EQ(back.rndLogging, 2u);
}

TEST_F(SettingsValuesTest, ListsWithoutSelectionLeaveTheirValues) {
  test::SetRegistryString("OrgFile", "KEEP");
  test::SetRegistryString("Prev_Engine", "RND_001");
  SettingsValues v;  // no list selected
  v.effDisplay = 2;
  WriteSettingsValues(v);
  EXPECT_EQ(StoredString("OrgFile"), "KEEP");
  EXPECT_EQ(StoredString("Prev_Engine"), "RND_001");
  EXPECT_EQ(StoredString("Engine"), "<missing>");
  EXPECT_EQ(ReadRegistryDword("Eff_Display"), 2u);
}

TEST_F(SettingsValuesTest, MissingValuesAndMissingKey) {
  SettingsValues v = ReadSettingsValues();
  EXPECT_EQ(v.effDisplay + v.effAutoreverse + v.prevQuality + v.prevFrames + v.prevRender + v.prevSpeed + v.rndLogging,
            0u);
  EXPECT_FALSE(v.orgFile || v.prevEngine || v.engine);

  test::ResetRegistry(false);  // every store is silent and creates nothing
  v.prevFrames = 30;
  v.orgFile = "X";
  WriteSettingsValues(v);
  EXPECT_EQ(ReadRegistryDword("Prev_Frames"), 0u);
  std::vector<uint8_t> bytes;
  EXPECT_FALSE(test::GetRegistryBytes("OrgFile", &bytes));
}

}  // namespace
}  // namespace lmx
