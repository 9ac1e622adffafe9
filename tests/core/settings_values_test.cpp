#include "selection/settings_values.h"

#include <gtest/gtest.h>

#include <optional>
#include <sstream>
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

// The ten values in the page's order, a string that is none as "-".
std::string Text(const SettingsValues& v) {
  std::ostringstream s;
  auto text = [](const std::optional<std::string>& t) { return t ? "'" + *t + "'" : std::string("-"); };
  s << v.effDisplay << ' ' << text(v.orgFile) << ' ' << v.effAutoreverse << ' ' << v.prevQuality << ' '
    << text(v.prevEngine) << ' ' << v.prevFrames << ' ' << v.prevRender << ' ' << v.prevSpeed << ' '
    << text(v.engine) << ' ' << v.rndLogging;
  return s.str();
}

// An engine entry is stored up to its first blank; one without a blank is stored whole.
TEST_F(SettingsValuesTest, WritesAllTenValuesCuttingEngineEntriesAtTheFirstBlank) {
  WriteSettingsValues({1, "MYORG", 1, 2, "RND_002 (Portable)", 20, 1, 15, "RND_003\r", 2});
  EXPECT_EQ(Text(ReadSettingsValues()), "1 'MYORG' 1 2 'RND_002' 20 1 15 'RND_003\r' 2");
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
  EXPECT_EQ(Text(v), "0 - 0 0 - 0 0 0 - 0");

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
