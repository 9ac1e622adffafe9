// The types of the registry values the module writes: names as REG_SZ, numbers as
// REG_DWORD, read back from the real key, not through the module's own accessors.
#include <string>
#include <vector>

#include "sheet_fixture.h"

namespace lmx::test {
namespace {

constexpr int kSettingsPage = 3;  // FX, Options, Objects, Settings

struct StoredValue {
  DWORD type = REG_NONE;
  DWORD size = 0;
  bool exists = false;
};

StoredValue Stored(const char* name) {
  StoredValue value;
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Corvane\\LumoraFX\\CurrentVersion", 0, KEY_READ, &key) !=
      ERROR_SUCCESS)
    return value;
  value.exists = RegQueryValueExA(key, name, nullptr, &value.type, nullptr, &value.size) == ERROR_SUCCESS;
  RegCloseKey(key);
  return value;
}

using RegistryTypesE2E = SheetFixture;

TEST_F(RegistryTypesE2E, SettingsPageWritesNamesAsStringsAndNumbersAsDwords) {
  install_.Write("LIBS/LMX_ENG.LST", std::vector<uint8_t>{'R', 'N', 'D', '_', '1', '\n', 'R', 'N', 'D', '_', '2', '\n'});
  const char* const strings[] = {"OrgFile", "Prev_Engine", "Engine"};
  const char* const numbers[] = {"Eff_Display", "Eff_Autoreverse", "Prev_Quality", "Prev_Frames",
                                 "Prev_Render", "Prev_Speed",      "Rnd_Logging"};
  Load();
  SheetRun& run = Open();
  // Only what the module writes from here on is looked at.
  for (const char* name : strings) DeleteRegistryValue(name);
  for (const char* name : numbers) DeleteRegistryValue(name);
  ASSERT_TRUE(run.ShowPage(kSettingsPage));
  run.Choose(IDC_SET_PREVIEW_ENGINE, 1);
  run.Choose(IDC_SET_RENDER_ENGINE, 0);
  run.Choose(IDC_SET_ORG_LIST, 0);
  run.Click(IDC_SET_SHOW_NAME);  // a command stores every value of the page
  for (const char* name : strings) {
    StoredValue value = Stored(name);
    ASSERT_TRUE(value.exists) << name;
    EXPECT_EQ(value.type, DWORD(REG_SZ)) << name;
    EXPECT_GE(value.size, 1u) << name << ": the terminating zero is stored";
  }
  for (const char* name : numbers) {
    StoredValue value = Stored(name);
    ASSERT_TRUE(value.exists) << name;
    EXPECT_EQ(value.type, DWORD(REG_DWORD)) << name;
    EXPECT_EQ(value.size, 4u) << name;
  }
  EXPECT_EQ(run.Close(PSBTN_OK), 0);
}

TEST_F(RegistryTypesE2E, OrganizationFallbackIsWrittenAsAString) {
  // The FX page finds "OrgFile" naming an organization that cannot be read, loads
  // DEFAULT instead and stores that name.
  Load();
  SetRegistryString("OrgFile", "GONE");
  SheetRun& run = Open();
  ASSERT_TRUE(run.ShowPage(1));
  ASSERT_TRUE(run.ShowPage(0));  // the FX page checks the organization when it shows
  StoredValue value = Stored("OrgFile");
  ASSERT_TRUE(value.exists);
  EXPECT_EQ(value.type, DWORD(REG_SZ));
  EXPECT_EQ(value.size, 8u) << "\"DEFAULT\" and its zero";
  EXPECT_EQ(run.Close(PSBTN_OK), 0);
}

}  // namespace
}  // namespace lmx::test
