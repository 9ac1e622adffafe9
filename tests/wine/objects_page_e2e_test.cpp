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

  ASSERT_EQ(ListCount(run, 1300), 2);
  EXPECT_EQ(ListEntry(run, 1300, 0), "Object 1");
  EXPECT_EQ(ListEntry(run, 1300, 1), "Object 2");
  EXPECT_EQ(ListSelection(run, 1300), 0);
  EXPECT_EQ(run.Text(1302), "20%");
  EXPECT_EQ(run.Text(1304), "150%");
  EXPECT_EQ(Position(run, 1303), 100);
  EXPECT_EQ(run.Text(1306), "37%");
  EXPECT_EQ(run.Text(1310), "5%");
  EXPECT_EQ(run.Text(1120), "400");
  EXPECT_EQ(Position(run, 1119), 360);
  EXPECT_TRUE(IsChecked(run, 1312));
  EXPECT_TRUE(IsWindowEnabled(run.Control(1119)));
  EXPECT_TRUE(IsWindowEnabled(run.Control(1312)));
  EXPECT_EQ(run.Text(1308), "3");
  EXPECT_EQ(run.Text(1321), "4");

  Scroll(run, 1301, 25, TB_THUMBTRACK);
  EXPECT_EQ(run.Text(1302), "25%");
  EXPECT_EQ(block_.objectValues[0][Luminosity], 20.0f) << "dragging writes nothing";
  Scroll(run, 1301, 25, TB_THUMBPOSITION);
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
  Scroll(run, 1301, 60, TB_THUMBTRACK);  // moved, not yet stored
  Choose(run, 1300, 1);
  EXPECT_EQ(block_.objectValues[0][Luminosity], 60.0f);
  EXPECT_EQ(block_.objectValues[1][Luminosity], 90.0f);
  EXPECT_EQ(run.Text(1302), "90%");
  EXPECT_EQ(run.Text(1308), "7");
  run.Click(1312);
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
  EXPECT_EQ(ListSelection(run, 1300), 1);
  EXPECT_EQ(run.Text(1304), "44%");

  ASSERT_TRUE(ShowPage(run, 1));
  run.Click(1100);  // "Fly-Off": objects 0 and 1 exchange, Direction 0
  EXPECT_EQ(block_.objectValues[0][Shine], 44.0f);
  ASSERT_TRUE(ShowPage(run, kObjectsPage));
  EXPECT_EQ(ListSelection(run, 1300), 0);
  EXPECT_EQ(run.Text(1304), "44%");
  EXPECT_EQ(PressAndFinish(run, PSBTN_OK), 0);
}

TEST_F(ObjectsPageE2E, WithoutTheSwitchThePageKeepsItsObject) {
  Load();
  block_.generalValues[Direction] = 1.0f;
  SheetRun& run = Open();
  ASSERT_TRUE(ShowPage(run, kObjectsPage));
  EXPECT_EQ(ListSelection(run, 1300), 0);
  Choose(run, 1300, 1);
  ASSERT_TRUE(ShowPage(run, 1));
  ASSERT_TRUE(ShowPage(run, kObjectsPage));
  EXPECT_EQ(ListSelection(run, 1300), 1);
  EXPECT_EQ(PressAndFinish(run, PSBTN_OK), 0);
}

TEST_F(ObjectsPageE2E, EffectsWithoutDirectionDisableRotationButStillStoreIt) {
  Load();
  std::memcpy(block_.effectName, "SLIDE", 6);  // one object, no direction
  block_.objectValues[0][RotatesWithPath] = 1.0f;
  SheetRun& run = Open();
  ASSERT_TRUE(ShowPage(run, kObjectsPage));
  EXPECT_EQ(ListCount(run, 1300), 1);
  EXPECT_FALSE(IsWindowEnabled(run.Control(1119)));
  EXPECT_FALSE(IsWindowEnabled(run.Control(1312)));
  EXPECT_TRUE(IsChecked(run, 1312));
  EXPECT_EQ(run.Text(1120), "0") << "the pick forced path rotation to 0";
  Scroll(run, 1307, 12, TB_ENDTRACK);
  EXPECT_EQ(block_.objectValues[0][TrailCount], 12.0f);
  EXPECT_EQ(block_.objectValues[0][RotatesWithPath], 1.0f);

  // Another effect on the FX page: the list follows it when the page is shown again.
  ASSERT_TRUE(ShowPage(run, 0));
  run.Click(1001);  // DOORS, two objects
  ASSERT_TRUE(WaitUntil([&] { return std::strcmp(block_.effectName, "DOORS") == 0; }));
  ASSERT_TRUE(ShowPage(run, kObjectsPage));
  EXPECT_EQ(ListCount(run, 1300), 2);
  EXPECT_TRUE(IsWindowEnabled(run.Control(1119)));
  EXPECT_EQ(PressAndFinish(run, PSBTN_OK), 0);
}

}  // namespace
}  // namespace lmx::test
