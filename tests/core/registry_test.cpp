#include "config/registry.h"

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "config/library_path.h"
#include "selection/settings_values.h"
#include "support/registry_control.h"

namespace lmx {
namespace {

class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override { test::ResetRegistry(true); }
  void TearDown() override { test::ResetRegistry(false); }
};

TEST_F(RegistryTest, DwordReadsStoredBytesOrZero) {
  EXPECT_EQ(ReadRegistryDword("Prev_Frames"), 0u);
  test::SetRegistryDword("Prev_Frames", 20);
  EXPECT_EQ(ReadRegistryDword("Prev_Frames"), 20u);
  test::SetRegistryString("Eff_Display", "1");  // "1" and its zero: two bytes
  EXPECT_EQ(ReadRegistryDword("Eff_Display"), 49u);
  test::SetRegistryString("Long", "12345");  // six bytes do not fit in four
  EXPECT_EQ(ReadRegistryDword("Long"), 0u);
}

TEST_F(RegistryTest, StringReadRespectsBufferSize) {
  test::SetRegistryString("OrgFile", "DEFAULT");
  char buf[8];
  EXPECT_TRUE(ReadRegistryString(buf, sizeof buf, "OrgFile"));
  EXPECT_STREQ(buf, "DEFAULT");
  char small[7];
  EXPECT_FALSE(ReadRegistryString(small, sizeof small, "OrgFile"));
  EXPECT_FALSE(ReadRegistryString(buf, sizeof buf, "Missing"));
  // A value stored without its terminating zero is terminated, or refused when full.
  test::SetRegistryBytes("Raw", {'A', 'B', 'C'});
  char raw[8];
  std::memset(raw, 'x', sizeof raw);
  EXPECT_TRUE(ReadRegistryString(raw, sizeof raw, "Raw"));
  EXPECT_STREQ(raw, "ABC");
  char tight[3];
  EXPECT_FALSE(ReadRegistryString(tight, sizeof tight, "Raw"));
}

TEST_F(RegistryTest, WritesStoreTypedValuesAndNeverCreateTheKey) {
  EXPECT_TRUE(WriteRegistryDword("Prev_Speed", 0x01020304));
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(test::GetRegistryBytes("Prev_Speed", &bytes));
  EXPECT_EQ(bytes, (std::vector<uint8_t>{4, 3, 2, 1}));
  EXPECT_TRUE(WriteRegistryString("Engine", "RND_002"));
  ASSERT_TRUE(test::GetRegistryBytes("Engine", &bytes));
  EXPECT_EQ(bytes.size(), 8u) << "the terminating zero is part of the stored length";

  test::ResetRegistry(false);
  EXPECT_FALSE(WriteRegistryDword("Prev_Speed", 1));
  EXPECT_FALSE(WriteRegistryString("Engine", "x"));
  EXPECT_EQ(ReadRegistryDword("Prev_Speed"), 0u);
  EXPECT_FALSE(test::GetRegistryBytes("Engine", &bytes));
}

TEST_F(RegistryTest, LibraryPathJoinsPiecesAndFailsWhenTooLong) {
  char buf[kShortPathSize];
  EXPECT_FALSE(BuildLibraryPath(buf, sizeof buf, "EFFECTS", "X", "LMI")) << "no Path value";
  test::SetRegistryString("Path", "C:\\LMX");
  ASSERT_TRUE(BuildLibraryPath(buf, sizeof buf, "EFFECTS", "TILES", "LMI"));
  EXPECT_STREQ(buf, "C:\\LMX\\EFFECTS\\TILES.LMI");
  ASSERT_TRUE(BuildLibraryPath(buf, sizeof buf, "", "LMX", "BMP"));
  EXPECT_STREQ(buf, "C:\\LMX\\\\LMX.BMP");
  test::SetRegistryString("Path", "C:\\LMX\\");
  ASSERT_TRUE(BuildLibraryPath(buf, sizeof buf, "LIBS", "LMX", "DLL"));
  EXPECT_STREQ(buf, "C:\\LMX\\\\LIBS\\LMX.DLL");

  // Exactly fitting, then one byte too long: fails, and nothing past the buffer changes.
  std::string base(kShortPathSize - 1 - std::strlen("\\EFFECTS\\ABCDEFGH.LMI"), 'p');
  test::SetRegistryString("Path", base);
  char guarded[kShortPathSize + 8];
  std::memset(guarded, '#', sizeof guarded);
  ASSERT_TRUE(BuildLibraryPath(guarded, kShortPathSize, "EFFECTS", "ABCDEFGH", "LMI"));
  EXPECT_EQ(std::strlen(guarded), kShortPathSize - 1);
  test::SetRegistryString("Path", base + "p");
  std::memset(guarded, '#', sizeof guarded);
  EXPECT_FALSE(BuildLibraryPath(guarded, kShortPathSize, "EFFECTS", "ABCDEFGH", "LMI"));
  for (size_t i = kShortPathSize; i < sizeof guarded; ++i) EXPECT_EQ(guarded[i], '#');
  // A Path longer than the buffer fails at the read.
  test::SetRegistryString("Path", std::string(200, 'q'));
  EXPECT_FALSE(BuildLibraryPath(buf, sizeof buf, "EFFECTS", "X", "LMI"));
}

// The Settings page's ten values as the registry keeps them.
using SettingsValuesTest = RegistryTest;

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
