// The selection sheet as a host sees it: the engine check, the pages and their titles,
// and the result for each way of closing, through the real DLL.

#include "sheet_fixture.h"

namespace lmx::test {
namespace {

using SheetE2E = SheetFixture;

bool Same(const EffectSettings& a, const EffectSettings& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

TEST_F(SheetE2E, TabTitlesWithoutAndWithFilterMode) {
  Load();
  SheetRun& plain = Open(0);
  EXPECT_EQ(plain.TabTitles(), (std::vector<std::string>{"   FX", "Options", "Objects", "Settings"}));
  EXPECT_EQ(plain.CurrentIndex(), 0);
  HWND apply = GetDlgItem(plain.sheet(), 0x3021);  // the common controls' Apply button
  EXPECT_TRUE(apply == nullptr || !IsWindowVisible(apply)) << "no Apply button";

  SheetRun& filter = Open(7);
  EXPECT_EQ(filter.TabTitles(),
            (std::vector<std::string>{"   FX", "Options", "Filter Options", "Objects", "Settings"}));
  EXPECT_EQ(filter.Close(PSBTN_OK), 0);
  EXPECT_EQ(block_.generalValues[FilterFrames], 100.0f) << "filter mode starts FilterFrames 0 at 100";
  EXPECT_TRUE(boxes_.Texts().empty());
}

TEST_F(SheetE2E, OkGivesZeroAndCancelGivesOneFromEveryPage) {
  Load();
  for (int32_t filterMode : {0, 1})
    for (int page = 0; page < 4 + filterMode; ++page)
      for (int button : {PSBTN_OK, PSBTN_CANCEL})
        EXPECT_EQ(Open(filterMode, page).Close(button), button == PSBTN_OK ? 0 : 1)
            << "filter mode " << filterMode << ", page " << page << (button == PSBTN_OK ? ", OK" : ", Cancel");
}

TEST_F(SheetE2E, OkWithoutTouchingLeavesAConsistentBlockUnchanged) {
  Load();
  // The block as the FX page leaves it for DOORS: its one special value in place.
  block_.specialCount = 1;
  block_.specialValues[0] = SpecialValue{0, 7, 40.0f};
  block_.generalValues[Shadows] = 1.0f;
  const EffectSettings before = block_;
  EXPECT_EQ(Open().Close(PSBTN_OK), 0);
  EXPECT_TRUE(Same(block_, before));
}

TEST_F(SheetE2E, IdCancelAtThePageClosesTheWholeSheetAsCancelledKeepingWhatThePagesWrote) {
  Load();
  SheetRun& run = Open();
  ASSERT_TRUE(PickEffect(1, "SLIDE"));
  run.Command(IDCANCEL, BN_CLICKED);
  EXPECT_EQ(run.Finish(), 1);
  EXPECT_STREQ(block_.effectName, "SLIDE");
  SheetRun& ok = Open();
  ok.Command(IDOK, BN_CLICKED);
  EXPECT_EQ(ok.Finish(), 0);
}

TEST_F(SheetE2E, MissingEngineOrExportShowsOneMessageAndLeavesTheBlock) {
  for (bool engineThere : {false, true}) {
    Load(engineThere, false);
    std::memset(&block_, 0xA5, sizeof block_);
    const EffectSettings before = block_;
    EXPECT_EQ(select_(nullptr, &block_, 0), 1);
    EXPECT_TRUE(Same(block_, before)) << "the block is left byte for byte";
    std::vector<std::string> texts = boxes_.Texts();
    ASSERT_EQ(texts.size(), engineThere ? 2u : 1u);
    EXPECT_EQ(texts.back(), engineThere ? "Error getting LMX_Render Function." : "Error getting LMX.DLL.");
    EXPECT_EQ(boxes_.Captions().back(), "Cannot continue");
    dll_.reset();
    engine_.reset();
  }
}

TEST_F(SheetE2E, NoBlockOrASecondSheetCannotBeCreated) {
  Load();
  EXPECT_EQ(select_(nullptr, nullptr, 0), 2);
  SheetRun& run = Open();
  EffectSettings other{};
  EXPECT_EQ(select_(nullptr, &other, 0), 2) << "one sheet at a time";
  EXPECT_EQ(run.Close(PSBTN_CANCEL), 1);
  EXPECT_TRUE(boxes_.Texts().empty());
}

TEST_F(SheetE2E, MissingOrganizationIsReportedOnceAtLoadAndTheSheetStillWorks) {
  install_.Remove("ORGS/DEFAULT.ORG");
  SetRegistryString("OrgFile", "NOWHERE");
  Load();
  ASSERT_TRUE(WaitUntil([&] { return boxes_.Texts().size() == 1; }));
  EXPECT_EQ(boxes_.Texts()[0], "Error reading LMX FX Organization file.");
  EXPECT_EQ(boxes_.Captions()[0], "Cannot continue");
  SheetRun& run = Open();
  EXPECT_EQ(run.ListCount(IDC_FX_GROUP_LIST), 0);
  EXPECT_EQ(run.FxButtons(), std::string(16, '0'));
  run.Click(IDC_FX_BUTTON_FIRST);
  EXPECT_EQ(run.Close(PSBTN_OK), 0);
  EXPECT_STREQ(block_.effectName, "DOORS");
  EXPECT_EQ(boxes_.Texts().size(), 1u) << "shown once, at load";
}

TEST_F(SheetE2E, OrgFileNamingAMissingOrganizationFallsBackSilently) {
  SetRegistryString("OrgFile", "GONE");
  Load();
  SheetRun& run = Open();
  EXPECT_EQ(run.ListCount(IDC_FX_GROUP_LIST), 2);
  // Returning to the FX page compares "OrgFile" with the loaded name ("DEFAULT").
  run.SelectPage(kSettingsPage);
  run.SelectPage(kFxPage);
  std::vector<uint8_t> value;
  ASSERT_TRUE(WaitUntil([&] {
    return GetRegistryBytes("OrgFile", &value) && std::string(value.begin(), value.end()).rfind("DEFAULT", 0) == 0;
  }));
  EXPECT_EQ(StoredType("OrgFile"), std::make_pair(DWORD{REG_SZ}, DWORD{8})) << "\"DEFAULT\" and its zero";
  EXPECT_EQ(run.Close(PSBTN_OK), 0);
  EXPECT_TRUE(boxes_.Texts().empty());
}

TEST_F(SheetE2E, EmptyOrganizationAndUnlistedEffectGiveAnEmptyGrid) {
  WriteOrganization(install_, "EMPTY", {});
  SetRegistryString("OrgFile", "EMPTY");
  Load();
  EXPECT_TRUE(boxes_.Texts().empty()) << "an empty organization is still an organization";
  EXPECT_EQ(Open().ListCount(IDC_FX_GROUP_LIST), 0);
  EXPECT_EQ(run_->Close(PSBTN_OK), 0);
  dll_.reset();

  SetRegistryString("OrgFile", "DEFAULT");
  Load(false);
  std::memcpy(block_.effectName, "LOST", 5);
  SheetRun& lost = Open();
  EXPECT_EQ(lost.FxButtons(), std::string(16, '0'));
  EXPECT_EQ(lost.ListSelection(IDC_FX_GROUP_LIST), CB_ERR);
  EXPECT_EQ(lost.Text(IDC_PANEL_NAME_BOX), "LOST long") << "the block's effect is still described";
  // Choosing a group shows it; the selection stays until a click.
  lost.Choose(IDC_FX_GROUP_LIST, 1);
  EXPECT_TRUE(WaitUntil([&] { return lost.FxButtons() == "1100000000000000"; })) << lost.FxButtons();
  EXPECT_STREQ(block_.effectName, "LOST");
  EXPECT_EQ(lost.Close(PSBTN_CANCEL), 1);
}

}  // namespace
}  // namespace lmx::test
