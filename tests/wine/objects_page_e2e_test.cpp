// The Objects page through the real sheet: one object's row at a time, the store that
// saves the shown object before following the list, and the object chosen on activation.
#include "page_driver.h"
#include "sheet_fixture.h"

namespace lmx::test {
namespace {

constexpr int kObjectsPage = 2;  // FX, Options, Objects, Settings

using ObjectsPageE2E = SheetFixture;

TEST_F(ObjectsPageE2E, ShowsTheRowTruncatedAndStoresItBackClamped) {
  Load();
  block_.objectValues[0][Luminosity] = 20.0f;
  block_.objectValues[0][Shine] = 150.0f;
  block_.objectValues[0][Transparency] = 37.9f;
  block_.objectValues[0][ChangePeriod] = 5.0f;
  block_.objectValues[0][PathRotation] = 400.0f;
  block_.objectValues[0][RotatesWithPath] = 1.0f;
  block_.objectValues[0][TrailCount] = 3.0f;
  block_.objectValues[0][TrailSpacing] = 4.0f;
  block_.objectValues[0][8] = 8.5f;
  block_.objectValues[0][9] = 9.5f;
  SheetRun& run = Open();
  ASSERT_TRUE(ShowPage(run, kObjectsPage));

  ASSERT_EQ(ListCount(run, IDC_OBJ_LIST), 2);
  EXPECT_EQ(ListEntry(run, IDC_OBJ_LIST, 0), "Object 1");
  EXPECT_EQ(ListEntry(run, IDC_OBJ_LIST, 1), "Object 2");
  EXPECT_EQ(ListSelection(run, IDC_OBJ_LIST), 0);
  EXPECT_EQ(run.Text(IDC_OBJ_LUMINOSITY_LABEL), "20%");
  EXPECT_EQ(run.Text(IDC_OBJ_SHINE_LABEL), "150%");
  EXPECT_EQ(Position(run, IDC_OBJ_SHINE), 100);
  EXPECT_EQ(run.Text(IDC_OBJ_TRANSPARENCY_LABEL), "37%");
  EXPECT_EQ(run.Text(IDC_OBJ_CHANGE_PERIOD_LABEL), "5%");
  EXPECT_EQ(run.Text(IDC_OBJ_PATH_ROTATION_LABEL), "400");
  EXPECT_EQ(Position(run, IDC_OBJ_PATH_ROTATION), 360);
  EXPECT_TRUE(IsChecked(run, IDC_OBJ_ROTATES_WITH_PATH));
  EXPECT_TRUE(IsWindowEnabled(run.Control(IDC_OBJ_PATH_ROTATION)));
  EXPECT_TRUE(IsWindowEnabled(run.Control(IDC_OBJ_ROTATES_WITH_PATH)));
  EXPECT_EQ(run.Text(IDC_OBJ_TRAIL_COUNT_LABEL), "3");
  EXPECT_EQ(run.Text(IDC_OBJ_TRAIL_SPACING_LABEL), "4");

  Scroll(run, IDC_OBJ_LUMINOSITY, 25, TB_THUMBTRACK);
  EXPECT_EQ(run.Text(IDC_OBJ_LUMINOSITY_LABEL), "25%");
  EXPECT_EQ(block_.objectValues[0][Luminosity], 20.0f) << "dragging writes nothing";
  Scroll(run, IDC_OBJ_LUMINOSITY, 25, TB_THUMBPOSITION);
  EXPECT_EQ(block_.objectValues[0][Luminosity], 25.0f);
  EXPECT_EQ(block_.objectValues[0][Shine], 100.0f);
  EXPECT_EQ(block_.objectValues[0][Transparency], 37.0f);
  EXPECT_EQ(block_.objectValues[0][PathRotation], 360.0f);
  EXPECT_EQ(block_.objectValues[0][RotatesWithPath], 1.0f);
  EXPECT_EQ(block_.objectValues[0][8], 8.5f);
  EXPECT_EQ(block_.objectValues[0][9], 9.5f);
  EXPECT_EQ(PressAndFinish(run, PSBTN_OK), 0);
}

TEST_F(ObjectsPageE2E, SwitchingObjectsKeepsTheMovedValueInTheFirst) {
  Load();
  block_.objectValues[0][Luminosity] = 10.0f;
  block_.objectValues[1][Luminosity] = 90.0f;
  block_.objectValues[1][TrailCount] = 7.0f;
  SheetRun& run = Open();
  ASSERT_TRUE(ShowPage(run, kObjectsPage));
  Scroll(run, IDC_OBJ_LUMINOSITY, 60, TB_THUMBTRACK);  // moved, not yet stored
  Choose(run, IDC_OBJ_LIST, 1);
  EXPECT_EQ(block_.objectValues[0][Luminosity], 60.0f);
  EXPECT_EQ(block_.objectValues[1][Luminosity], 90.0f);
  EXPECT_EQ(run.Text(IDC_OBJ_LUMINOSITY_LABEL), "90%");
  EXPECT_EQ(run.Text(IDC_OBJ_TRAIL_COUNT_LABEL), "7");
  run.Click(IDC_OBJ_ROTATES_WITH_PATH);
  EXPECT_EQ(block_.objectValues[1][RotatesWithPath], 1.0f);
  EXPECT_EQ(block_.objectValues[0][RotatesWithPath], 0.0f);
  EXPECT_EQ(PressAndFinish(run, PSBTN_OK), 0);
}

TEST_F(ObjectsPageE2E, DirectionChoosesTheObjectWithAutoreverseOn) {
  SetRegistryDword("Eff_Autoreverse", 1);
  Load();
  block_.generalValues[Direction] = 1.0f;
  block_.objectValues[1][Shine] = 44.0f;
  SheetRun& run = Open();
  ASSERT_TRUE(ShowPage(run, kObjectsPage));
  EXPECT_EQ(ListSelection(run, IDC_OBJ_LIST), 1);
  EXPECT_EQ(run.Text(IDC_OBJ_SHINE_LABEL), "44%");

  ASSERT_TRUE(ShowPage(run, 1));
  run.Click(IDC_OPT_FLY_OFF);  // "Fly-Off": objects 0 and 1 exchange, Direction 0
  EXPECT_EQ(block_.objectValues[0][Shine], 44.0f);
  ASSERT_TRUE(ShowPage(run, kObjectsPage));
  EXPECT_EQ(ListSelection(run, IDC_OBJ_LIST), 0);
  EXPECT_EQ(run.Text(IDC_OBJ_SHINE_LABEL), "44%");
  EXPECT_EQ(PressAndFinish(run, PSBTN_OK), 0);
}

TEST_F(ObjectsPageE2E, WithoutTheSwitchThePageKeepsItsObject) {
  Load();
  block_.generalValues[Direction] = 1.0f;
  SheetRun& run = Open();
  ASSERT_TRUE(ShowPage(run, kObjectsPage));
  EXPECT_EQ(ListSelection(run, IDC_OBJ_LIST), 0);
  Choose(run, IDC_OBJ_LIST, 1);
  ASSERT_TRUE(ShowPage(run, 1));
  ASSERT_TRUE(ShowPage(run, kObjectsPage));
  EXPECT_EQ(ListSelection(run, IDC_OBJ_LIST), 1);
  EXPECT_EQ(PressAndFinish(run, PSBTN_OK), 0);
}

TEST_F(ObjectsPageE2E, EffectsWithoutDirectionDisableRotationButStillStoreIt) {
  Load();
  std::memcpy(block_.effectName, "SLIDE", 6);  // one object, no direction
  block_.objectValues[0][RotatesWithPath] = 1.0f;
  SheetRun& run = Open();
  ASSERT_TRUE(ShowPage(run, kObjectsPage));
  EXPECT_EQ(ListCount(run, IDC_OBJ_LIST), 1);
  EXPECT_FALSE(IsWindowEnabled(run.Control(IDC_OBJ_PATH_ROTATION)));
  EXPECT_FALSE(IsWindowEnabled(run.Control(IDC_OBJ_ROTATES_WITH_PATH)));
  EXPECT_TRUE(IsChecked(run, IDC_OBJ_ROTATES_WITH_PATH));
  EXPECT_EQ(run.Text(IDC_OBJ_PATH_ROTATION_LABEL), "0") << "the pick forced path rotation to 0";
  Scroll(run, IDC_OBJ_TRAIL_COUNT, 12, TB_ENDTRACK);
  EXPECT_EQ(block_.objectValues[0][TrailCount], 12.0f);
  EXPECT_EQ(block_.objectValues[0][RotatesWithPath], 1.0f);

  // Another effect on the FX page: the list follows it when the page is shown again.
  ASSERT_TRUE(ShowPage(run, 0));
  run.Click(IDC_FX_BUTTON_FIRST);  // DOORS, two objects
  ASSERT_TRUE(WaitUntil([&] { return std::strcmp(block_.effectName, "DOORS") == 0; }));
  ASSERT_TRUE(ShowPage(run, kObjectsPage));
  EXPECT_EQ(ListCount(run, IDC_OBJ_LIST), 2);
  EXPECT_TRUE(IsWindowEnabled(run.Control(IDC_OBJ_PATH_ROTATION)));
  EXPECT_EQ(PressAndFinish(run, PSBTN_OK), 0);
}

}  // namespace
}  // namespace lmx::test
