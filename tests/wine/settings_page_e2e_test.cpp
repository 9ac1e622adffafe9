// The Settings page through the real sheet: its lists, loading from and storing to the
// registry, the switches it keeps current, the preview rebuild when it is left, and
// "Save default options".
#include <tuple>
#include <vector>

#include "config/registry.h"
#include "sheet_fixture.h"

namespace lmx::test {
namespace {

std::string RegistryText(const char* name) {
  char buffer[1100];
  return ReadRegistryString(buffer, sizeof buffer, name) ? buffer : "<missing>";
}

class SettingsPageE2E : public SheetFixture {
 protected:
  void WriteEngineList() {
    const std::string list = "RND_001 (OpenGL)\r\nRND_002 (Portable)\r\nRND_004\r\nRND_003 (Accelerated)";
    install_.Write("LIBS/LMX_ENG.LST", {list.begin(), list.end()});
  }
};

TEST_F(SettingsPageE2E, ListsAndControlsComeFromFilesAndRegistry) {
  WriteEngineList();
  WriteOrganization(install_, "MINE", {{"Mine", {"DOORS"}}});
  WriteOrganization(install_, "lower", {{"Mine", {"DOORS"}}}, ".org");
  SetRegistryString("Prev_Engine", "rnd_002");
  SetRegistryString("Engine", "RND");  // the search starts at the second entry
  // Eff_Display 7 is no button of the group.
  for (auto [name, value] : {std::pair{"Eff_Display", 7u}, {"Eff_Autoreverse", 1u}, {"Prev_Quality", 1u},
                             {"Prev_Frames", 100u}, {"Prev_Speed", 12u}, {"Rnd_Logging", 2u}})
    SetRegistryDword(name, value);
  Load();
  SheetRun& run = Open();
  // The FX page has checked "OrgFile" when it became active; the Settings page reads it
  // again each time it does.
  SetRegistryString("OrgFile", "mi");
  ASSERT_TRUE(run.ShowPage(kSettingsPage));

  // The last line has no line feed and is not listed; a lower-case extension is not cut.
  const std::vector<std::string> engines = {"RND_001 (OpenGL)\r", "RND_002 (Portable)\r", "RND_004\r"};
  EXPECT_EQ(run.ListEntries(IDC_SET_PREVIEW_ENGINE), engines);
  EXPECT_EQ(run.ListEntries(IDC_SET_RENDER_ENGINE), engines);
  EXPECT_EQ(run.ListEntries(IDC_SET_ORG_LIST), (std::vector<std::string>{"DEFAULT", "lower.org", "MINE"}));

  EXPECT_EQ(std::tuple(run.ListSelection(IDC_SET_ORG_LIST), run.ListSelection(IDC_SET_PREVIEW_ENGINE),
                       run.ListSelection(IDC_SET_RENDER_ENGINE)), std::tuple(2, 1, 1));
  ExpectChecks(run, {{IDC_SET_SHOW_ICON, false}, {IDC_SET_SHOW_NAME, false}, {IDC_SET_SHOW_BOTH, false},
                     {IDC_SET_AUTOREVERSE, true}, {IDC_SET_QUALITY_MEDIUM, true}, {IDC_SET_AUTO_RENDER, false},
                     {IDC_SET_LOG_DETAILED, true}});
  ExpectTexts(run, {{IDC_SET_PREVIEW_FRAMES_LABEL, "100"}, {IDC_SET_PREVIEW_SPEED_LABEL, "12"}});
  EXPECT_EQ(run.Position(IDC_SET_PREVIEW_FRAMES), 60);

  // What the page writes from here on, read from the key itself too: numbers as REG_DWORD,
  // names as REG_SZ with their zero. Prev_Frames is the clamped position.
  const std::pair<const char*, uint32_t> numbers[] = {{"Eff_Display", 1},  {"Eff_Autoreverse", 1}, {"Prev_Quality", 1},
                                                      {"Prev_Frames", 60}, {"Prev_Render", 0},     {"Prev_Speed", 12},
                                                      {"Rnd_Logging", 2}};
  const std::pair<const char*, std::string> names[] = {
      {"OrgFile", "MINE"}, {"Prev_Engine", "RND_002"}, {"Engine", "RND_004\r"}};
  for (const auto& value : numbers) DeleteRegistryValue(value.first);
  for (const auto& value : names) DeleteRegistryValue(value.first);
  run.Choose(IDC_SET_RENDER_ENGINE, 2);  // "RND_004\r": no blank, stored whole
  run.Click(IDC_SET_SHOW_NAME);            // "Show Name": all ten values
  for (const auto& [name, value] : numbers) {
    EXPECT_EQ(ReadRegistryDword(name), value) << name;
    EXPECT_EQ(StoredType(name), std::make_pair(DWORD{REG_DWORD}, DWORD{4})) << name;
  }
  for (const auto& [name, text] : names) {
    EXPECT_EQ(RegistryText(name), text) << name;
    EXPECT_EQ(StoredType(name), std::make_pair(DWORD{REG_SZ}, DWORD(text.size() + 1))) << name;
  }
}

TEST_F(SettingsPageE2E, NoEngineListLeavesBothListsEmpty) {
  Load();
  SheetRun& run = Open(0, kSettingsPage);
  EXPECT_EQ(std::tuple(run.ListCount(IDC_SET_PREVIEW_ENGINE), run.ListCount(IDC_SET_RENDER_ENGINE),
                       run.ListCount(IDC_SET_ORG_LIST)), std::tuple(0, 0, 1));
  run.Click(IDC_SET_AUTO_RENDER);
  EXPECT_EQ(ReadRegistryDword("Prev_Render"), 1u);
  EXPECT_EQ(RegistryText("Engine"), "<missing>") << "a list without a selection leaves its value";
}

TEST_F(SettingsPageE2E, DraggingWritesTheRegistryOnlyWhenReleased) {
  Load();
  SheetRun& run = Open(0, kSettingsPage);
  run.Scroll(IDC_SET_PREVIEW_FRAMES, 30, TB_THUMBTRACK);
  EXPECT_EQ(run.Text(IDC_SET_PREVIEW_FRAMES_LABEL), "30");
  EXPECT_EQ(ReadRegistryDword("Prev_Frames"), 1u);
  run.Scroll(IDC_SET_PREVIEW_FRAMES, 31, TB_THUMBTRACK);
  EXPECT_EQ(run.Text(IDC_SET_PREVIEW_FRAMES_LABEL), "31");
  run.Scroll(IDC_SET_PREVIEW_FRAMES, 31, TB_ENDTRACK);
  EXPECT_EQ(ReadRegistryDword("Prev_Frames"), 31u);
  run.Scroll(IDC_SET_PREVIEW_SPEED, 25, TB_ENDTRACK);
  EXPECT_EQ(run.Text(IDC_SET_PREVIEW_SPEED_LABEL), "25");
  EXPECT_EQ(ReadRegistryDword("Prev_Speed"), 25u);
}

TEST_F(SettingsPageE2E, MissingKeyMakesEveryStoreSilent) {
  Load();
  SheetRun& run = Open(0, kSettingsPage);
  EXPECT_TRUE(run.IsChecked(IDC_SET_SHOW_BOTH));
  ResetRegistry(false);
  run.Click(IDC_SET_SHOW_ICON);
  run.Scroll(IDC_SET_PREVIEW_FRAMES, 40, TB_ENDTRACK);
  std::vector<uint8_t> bytes;
  EXPECT_FALSE(GetRegistryBytes("Eff_Display", &bytes));
  EXPECT_FALSE(GetRegistryBytes("Prev_Frames", &bytes));
  EXPECT_TRUE(boxes_.Texts().empty());

  ASSERT_TRUE(run.ShowPage(kOptionsPage));
  ASSERT_TRUE(run.ShowPage(kSettingsPage));
  EXPECT_TRUE(run.IsChecked(IDC_SET_SHOW_ICON)) << "index 0 from the missing value";
  EXPECT_EQ(run.Text(IDC_SET_PREVIEW_FRAMES_LABEL), "0");
  EXPECT_EQ(run.Text(IDC_SET_PREVIEW_SPEED_LABEL), "0");
  EXPECT_EQ(run.ListSelection(IDC_SET_ORG_LIST), 0) << "the list keeps its selection";
}

TEST_F(SettingsPageE2E, LeavingWithAnotherFrameCountOrQualityRebuildsThePreview) {
  SetRegistryDword("Prev_Frames", 6);
  Load();
  SheetRun& run = Open(0, kSettingsPage);
  run.Scroll(IDC_SET_PREVIEW_FRAMES, 20, TB_ENDTRACK);
  run.Click(IDC_SET_QUALITY_HIGH);  // "High"
  ASSERT_TRUE(run.ShowPage(kOptionsPage));
  engine_->Reset(0);
  RenderAndWait(20);
  std::vector<EngineCall> calls = engine_->Calls();
  ASSERT_EQ(calls.size(), 20u);
  EXPECT_EQ(std::tuple(calls.back().position, calls.back().lastPosition, calls.back().frameWidth),
            std::tuple(19, 19, 128u));
}

TEST_F(SettingsPageE2E, AutoreverseSwitchFollowsTheStore) {
  Load();
  block_.generalValues[Direction] = 1.0f;
  SheetRun& run = Open(0, kSettingsPage);
  run.Click(IDC_SET_AUTOREVERSE);
  EXPECT_EQ(ReadRegistryDword("Eff_Autoreverse"), 1u);
  ASSERT_TRUE(run.ShowPage(kObjectsPage));
  EXPECT_EQ(run.ListSelection(IDC_OBJ_LIST), 1) << "Fly-On shows the second object";
}

TEST_F(SettingsPageE2E, SavedDefaultsComeBackByteForByte) {
  Load();
  for (int i = 0; i < kGeneralCount; ++i) block_.generalValues[i] = 3.0f * i + 0.25f;
  for (int o = 0; o < kObjectRows; ++o)
    for (int c = 0; c < kObjectColumns; ++c) block_.objectValues[o][c] = o * 10.0f + c;
  block_.specialCount = 1;
  block_.specialValues[0] = SpecialValue{0, 7, 33.0f};
  block_.specialValues[9] = SpecialValue{5, 6, 7.0f};
  SheetRun& run = Open(0, kSettingsPage);
  run.Click(IDC_SET_SAVE_DEFAULTS);
  const EffectSettings saved = block_;
  EXPECT_TRUE(boxes_.Texts().empty());
  EXPECT_EQ(run.Close(PSBTN_OK), 0);

  std::memset(&block_, 0, sizeof block_);
  Open();
  EXPECT_EQ(std::memcmp(&block_, &saved, sizeof saved), 0) << "every byte comes back";
}

TEST_F(SettingsPageE2E, FailedSaveIsReportedAndCancelFromThisPageGivesOne) {
  install_.Remove("Work");
  Load();
  SheetRun& run = Open(0, kSettingsPage);
  run.Click(IDC_SET_SAVE_DEFAULTS);
  ASSERT_TRUE(WaitUntil([&] { return !boxes_.Texts().empty(); }));
  EXPECT_EQ(boxes_.Texts().at(0), "Could not create defaults file.");
  EXPECT_EQ(boxes_.Captions().at(0), "Could not save defaults");
  EXPECT_EQ(run.Close(PSBTN_CANCEL), 1);
}

}  // namespace
}  // namespace lmx::test
