// The parameter pages through the real sheet. Options: loading the block once, storing all
// twelve values on any command or finished scroll, and the exchange of objects 0 and 1.
// Objects: one object's row at a time, the store that saves the shown object before
// following the list, and the object chosen on activation. Filter, in filter mode:
// reloaded at every activation, nothing written on load, the source list from the
// effect's objects.
#include <algorithm>
#include <iterator>
#include <tuple>
#include <vector>

#include "sheet_fixture.h"

namespace lmx::test {
namespace {

class OptionsPageE2E : public SheetFixture {
 protected:
  // Rows 0 and 1 of objectValues hold 10 and 50 plus the column.
  void MarkObjects() {
    for (int c = 0; c < kObjectColumns; ++c) {
      block_.objectValues[0][c] = 10.0f + c;
      block_.objectValues[1][c] = 50.0f + c;
    }
  }
  // Whether rows 0 and 1 hold `first` and `second` plus the column.
  bool ObjectRowsAre(float first, float second) const {
    for (int c = 0; c < kObjectColumns; ++c)
      if (block_.objectValues[0][c] != first + c || block_.objectValues[1][c] != second + c) return false;
    return true;
  }
};

TEST_F(OptionsPageE2E, LoadsTheBlockAndAnyCommandStoresAllTwelveValuesClamped) {
  Load();
  // RenderMode 3 is outside its group: no button checked.
  SetGeneral({{Direction, 1}, {RenderMode, 3}, {Quality, 1}, {ImageQuality, 0}, {FrameField, 2}, {Lighting, 0},
              {Shadows, 1}, {AntiAliasing, 2.9f}, {BlurPercent, 150}, {BlurCount, 3}, {LightDirection, 90},
              {TransitionPeriod, -5}, {9, 123}, {CenterObjects, 1}, {20, 77}});
  SheetRun& run = Open(0, kOptionsPage);
  ExpectChecks(run, {{IDC_OPT_FLY_ON, true}, {IDC_OPT_FLY_OFF, false}, {IDC_OPT_SMOOTH, false}, {IDC_OPT_FLAT, false},
                     {IDC_OPT_WIRE, false}, {IDC_OPT_QUALITY_BEST, true}, {IDC_OPT_IMAGE_FASTEST, true},
                     {IDC_OPT_FIELD_EVEN, true}, {IDC_OPT_LIGHTING, false}, {IDC_OPT_SHADOWS, true}});
  // The labels show the values, the trackbars clamp them.
  ExpectTexts(run, {{IDC_OPT_ANTIALIAS_LABEL, "2"}, {IDC_OPT_BLUR_PERCENT_LABEL, "150%"},
                    {IDC_OPT_BLUR_COUNT_LABEL, "3"}, {IDC_OPT_LIGHT_DIRECTION_LABEL, "90"},
                    {IDC_OPT_TRANSITION_PERIOD_LABEL, "-5%"}});
  EXPECT_EQ(std::tuple(run.Position(IDC_OPT_ANTIALIAS), run.Position(IDC_OPT_BLUR_PERCENT),
                       run.Position(IDC_OPT_TRANSITION_PERIOD)), std::tuple(2, 100, 0));
  EXPECT_EQ(block_.generalValues[BlurPercent], 150.0f) << "loading writes nothing";

  run.Click(IDC_OPT_LIGHTING);  // one command stores everything
  ASSERT_TRUE(WaitUntil([&] { return block_.generalValues[Lighting] == 1.0f; }));
  // Up to FrameField, the last slot the page edits.
  const float expected[] = {1, 0, 1, 0, 2, 1, 1, 100, 3, 123, 1, 90, 0, 0, 0, 0, 2};
  for (int i = 0; i <= FrameField; ++i) EXPECT_EQ(block_.generalValues[i], expected[i]) << "general value " << i;
  EXPECT_EQ(block_.generalValues[20], 77.0f) << "slots no page edits are carried";
}

TEST_F(OptionsPageE2E, DraggingMovesOnlyTheLabelUntilTheThumbIsReleased) {
  Load();
  SetGeneral({{BlurPercent, 20}, {LightDirection, 45}});
  SheetRun& run = Open(0, kOptionsPage);
  run.Scroll(IDC_OPT_BLUR_PERCENT, 60, TB_THUMBTRACK);
  EXPECT_EQ(run.Text(IDC_OPT_BLUR_PERCENT_LABEL), "60%");
  run.Scroll(IDC_OPT_BLUR_PERCENT, 70, TB_THUMBTRACK);
  EXPECT_EQ(run.Text(IDC_OPT_BLUR_PERCENT_LABEL), "70%");
  EXPECT_EQ(block_.generalValues[BlurPercent], 20.0f);
  run.Scroll(IDC_OPT_BLUR_PERCENT, 70, TB_ENDTRACK);
  EXPECT_EQ(block_.generalValues[BlurPercent], 70.0f);

  run.Scroll(IDC_OPT_LIGHT_DIRECTION, 180, TB_PAGEDOWN);  // a finished scroll of another trackbar
  EXPECT_EQ(run.Text(IDC_OPT_LIGHT_DIRECTION_LABEL), "180");
  EXPECT_EQ(block_.generalValues[LightDirection], 180.0f);
}

TEST_F(OptionsPageE2E, TypeChangesExchangeObjectsOnceWithAutoreverseOn) {
  SetRegistryDword("Eff_Autoreverse", 1);
  Load();
  MarkObjects();
  SheetRun& run = Open(0, kOptionsPage);
  run.Click(IDC_OPT_FLY_ON);  // "Fly-On"
  EXPECT_TRUE(ObjectRowsAre(50, 10));
  EXPECT_EQ(block_.generalValues[Direction], 1.0f);
  run.Click(IDC_OPT_FLY_ON);  // again: no change of type
  run.Click(IDC_OPT_LIGHTING);
  EXPECT_TRUE(ObjectRowsAre(50, 10));
  run.Click(IDC_OPT_FLY_OFF);  // "Fly-Off" exchanges them back
  EXPECT_TRUE(ObjectRowsAre(10, 50));
  EXPECT_EQ(block_.generalValues[Direction], 0.0f);
}

// Which effect types exchange is the selection's rule (tests/core); the page passes the switch.
TEST_F(OptionsPageE2E, NoExchangeWithTheSwitchOff) {
  Load();
  MarkObjects();
  Open(0, kOptionsPage).Click(IDC_OPT_FLY_ON);
  EXPECT_EQ(block_.generalValues[Direction], 1.0f);
  EXPECT_TRUE(ObjectRowsAre(10, 50));
}

TEST_F(OptionsPageE2E, ControlsWinOverValuesAnotherPageChanged) {
  Load();
  block_.generalValues[Shadows] = 1.0f;
  SheetRun& run = Open(0, kOptionsPage);
  EXPECT_TRUE(run.IsChecked(IDC_OPT_SHADOWS));
  ASSERT_TRUE(run.ShowPage(kFxPage));
  run.Click(IDC_FX_BUTTON_FIRST + 1);  // SLIDE has no shadows
  ASSERT_TRUE(WaitUntil([&] { return block_.generalValues[Shadows] == 0.0f; }));
  ASSERT_TRUE(run.ShowPage(kOptionsPage));
  EXPECT_TRUE(run.IsChecked(IDC_OPT_SHADOWS)) << "the page is not loaded again";
  run.Click(IDC_OPT_LIGHTING);
  EXPECT_EQ(block_.generalValues[Shadows], 1.0f);
}

using ObjectsPageE2E = SheetFixture;

TEST_F(ObjectsPageE2E, ShowsTheRowTruncatedAndStoresItBackClamped) {
  Load();
  // Shine, Transparency, Luminosity, TrailCount, ChangePeriod, PathRotation, RotatesWithPath,
  // TrailSpacing and two columns no control shows.
  const float row[kObjectColumns] = {150, 37.9f, 20, 3, 5, 400, 1, 4, 8.5f, 9.5f};
  std::copy(std::begin(row), std::end(row), block_.objectValues[0]);
  SheetRun& run = Open(0, kObjectsPage);
  EXPECT_EQ(run.ListEntries(IDC_OBJ_LIST), (std::vector<std::string>{"Object 1", "Object 2"}));
  EXPECT_EQ(run.ListSelection(IDC_OBJ_LIST), 0);
  ExpectTexts(run, {{IDC_OBJ_LUMINOSITY_LABEL, "20%"}, {IDC_OBJ_SHINE_LABEL, "150%"},
                    {IDC_OBJ_TRANSPARENCY_LABEL, "37%"}, {IDC_OBJ_CHANGE_PERIOD_LABEL, "5%"},
                    {IDC_OBJ_PATH_ROTATION_LABEL, "400"}, {IDC_OBJ_TRAIL_COUNT_LABEL, "3"},
                    {IDC_OBJ_TRAIL_SPACING_LABEL, "4"}});
  EXPECT_EQ(std::pair(run.Position(IDC_OBJ_SHINE), run.Position(IDC_OBJ_PATH_ROTATION)), std::pair(100, 360));
  EXPECT_TRUE(run.IsChecked(IDC_OBJ_ROTATES_WITH_PATH));
  EXPECT_TRUE(IsWindowEnabled(run.Control(IDC_OBJ_PATH_ROTATION)));
  EXPECT_TRUE(IsWindowEnabled(run.Control(IDC_OBJ_ROTATES_WITH_PATH)));

  run.Scroll(IDC_OBJ_LUMINOSITY, 25, TB_THUMBTRACK);
  EXPECT_EQ(run.Text(IDC_OBJ_LUMINOSITY_LABEL), "25%");
  EXPECT_EQ(block_.objectValues[0][Luminosity], 20.0f) << "dragging writes nothing";
  run.Scroll(IDC_OBJ_LUMINOSITY, 25, TB_THUMBPOSITION);
  const float stored[kObjectColumns] = {100, 37, 25, 3, 5, 360, 1, 4, 8.5f, 9.5f};
  for (int c = 0; c < kObjectColumns; ++c) EXPECT_EQ(block_.objectValues[0][c], stored[c]) << "column " << c;
}

TEST_F(ObjectsPageE2E, SwitchingObjectsKeepsTheMovedValueInTheFirst) {
  Load();
  block_.objectValues[0][Luminosity] = 10.0f;
  block_.objectValues[1][Luminosity] = 90.0f;
  block_.objectValues[1][TrailCount] = 7.0f;
  SheetRun& run = Open(0, kObjectsPage);
  run.Scroll(IDC_OBJ_LUMINOSITY, 60, TB_THUMBTRACK);  // moved, not yet stored
  run.Choose(IDC_OBJ_LIST, 1);
  EXPECT_EQ(std::pair(block_.objectValues[0][Luminosity], block_.objectValues[1][Luminosity]), std::pair(60.0f, 90.0f));
  ExpectTexts(run, {{IDC_OBJ_LUMINOSITY_LABEL, "90%"}, {IDC_OBJ_TRAIL_COUNT_LABEL, "7"}});
  run.Click(IDC_OBJ_ROTATES_WITH_PATH);
  EXPECT_EQ(std::pair(block_.objectValues[0][RotatesWithPath], block_.objectValues[1][RotatesWithPath]),
            std::pair(0.0f, 1.0f));
}

TEST_F(ObjectsPageE2E, DirectionChoosesTheObjectWithAutoreverseOn) {
  SetRegistryDword("Eff_Autoreverse", 1);
  Load();
  block_.generalValues[Direction] = 1.0f;
  block_.objectValues[1][Shine] = 44.0f;
  SheetRun& run = Open(0, kObjectsPage);
  EXPECT_EQ(std::pair(run.ListSelection(IDC_OBJ_LIST), run.Text(IDC_OBJ_SHINE_LABEL)), std::pair(1, std::string("44%")));

  ASSERT_TRUE(run.ShowPage(kOptionsPage));
  run.Click(IDC_OPT_FLY_OFF);  // "Fly-Off": objects 0 and 1 exchange, Direction 0
  EXPECT_EQ(block_.objectValues[0][Shine], 44.0f);
  ASSERT_TRUE(run.ShowPage(kObjectsPage));
  EXPECT_EQ(std::pair(run.ListSelection(IDC_OBJ_LIST), run.Text(IDC_OBJ_SHINE_LABEL)), std::pair(0, std::string("44%")));
}

TEST_F(ObjectsPageE2E, WithoutTheSwitchThePageKeepsItsObject) {
  Load();
  block_.generalValues[Direction] = 1.0f;
  SheetRun& run = Open(0, kObjectsPage);
  EXPECT_EQ(run.ListSelection(IDC_OBJ_LIST), 0);
  run.Choose(IDC_OBJ_LIST, 1);
  ASSERT_TRUE(run.ShowPage(kOptionsPage));
  ASSERT_TRUE(run.ShowPage(kObjectsPage));
  EXPECT_EQ(run.ListSelection(IDC_OBJ_LIST), 1);
}

TEST_F(ObjectsPageE2E, EffectsWithoutDirectionDisableRotationButStillStoreIt) {
  Load();
  std::memcpy(block_.effectName, "SLIDE", 6);  // one object, no direction
  block_.objectValues[0][RotatesWithPath] = 1.0f;
  SheetRun& run = Open(0, kObjectsPage);
  EXPECT_EQ(run.ListCount(IDC_OBJ_LIST), 1);
  EXPECT_FALSE(IsWindowEnabled(run.Control(IDC_OBJ_PATH_ROTATION)));
  EXPECT_FALSE(IsWindowEnabled(run.Control(IDC_OBJ_ROTATES_WITH_PATH)));
  EXPECT_TRUE(run.IsChecked(IDC_OBJ_ROTATES_WITH_PATH));
  EXPECT_EQ(run.Text(IDC_OBJ_PATH_ROTATION_LABEL), "0") << "the pick forced path rotation to 0";
  run.Scroll(IDC_OBJ_TRAIL_COUNT, 12, TB_ENDTRACK);
  EXPECT_EQ(block_.objectValues[0][TrailCount], 12.0f);
  EXPECT_EQ(block_.objectValues[0][RotatesWithPath], 1.0f);

  // Another effect on the FX page: the list follows it when the page is shown again.
  ASSERT_TRUE(run.ShowPage(kFxPage));
  ASSERT_TRUE(PickEffect(0, "DOORS"));
  ASSERT_TRUE(run.ShowPage(kObjectsPage));
  EXPECT_EQ(run.ListCount(IDC_OBJ_LIST), 2);
  EXPECT_TRUE(IsWindowEnabled(run.Control(IDC_OBJ_PATH_ROTATION)));
}

using FilterPageE2E = SheetFixture;

TEST_F(FilterPageE2E, OutOfRangeValuesStayUntilTheUserWorksAControl) {
  // A defaults image brings FilterFrames 0 back after the start of the selection.
  SetGeneral({{FilterFrames, 0}, {FilterSource, 5}, {FilterPercent, 100}, {CenterObjects, 1}});
  const auto* bytes = reinterpret_cast<const uint8_t*>(&block_);
  install_.Write("Work/Defaults.LRI", std::vector<uint8_t>(bytes, bytes + sizeof block_));
  Load();
  std::memset(&block_, 0, sizeof block_);
  SheetRun& run = Open(1, kFilterPage);

  EXPECT_EQ(run.ListEntries(IDC_FILTER_SOURCE), (std::vector<std::string>{"Object 1", "Object 2"}));
  EXPECT_EQ(run.ListSelection(IDC_FILTER_SOURCE), CB_ERR) << "source 5 of two objects selects nothing";
  ExpectTexts(run, {{IDC_FILTER_PERCENT_LABEL, "100%"}, {IDC_FILTER_FRAMES_LABEL, "0"}});
  EXPECT_EQ(run.Position(IDC_FILTER_FRAMES), 10);
  EXPECT_TRUE(run.IsChecked(IDC_FILTER_CENTER_OBJECTS));
  EXPECT_EQ(block_.generalValues[FilterFrames], 0.0f) << "loading writes nothing";

  run.Click(IDC_FILTER_CENTER_OBJECTS);  // with no entry selected, the source stays
  const float* general = block_.generalValues;
  EXPECT_EQ(std::tuple(general[FilterFrames], general[CenterObjects], general[FilterPercent], general[FilterSource]),
            std::tuple(10.0f, 0.0f, 100.0f, 5.0f));

  run.Choose(IDC_FILTER_SOURCE, 1);
  EXPECT_EQ(block_.generalValues[FilterSource], 1.0f);
  run.Scroll(IDC_FILTER_FRAMES, 100, TB_THUMBTRACK);
  EXPECT_EQ(run.Text(IDC_FILTER_FRAMES_LABEL), "100") << "no percent sign: the maximum is 200";
  EXPECT_EQ(block_.generalValues[FilterFrames], 10.0f);
  run.Scroll(IDC_FILTER_FRAMES, 100, TB_ENDTRACK);
  EXPECT_EQ(block_.generalValues[FilterFrames], 100.0f);
}

TEST_F(FilterPageE2E, ReloadsAtEveryActivation) {
  Load();
  SetGeneral({{FilterFrames, 50}, {FilterSource, 1}});
  SheetRun& run = Open(1, kFilterPage);
  EXPECT_EQ(run.ListSelection(IDC_FILTER_SOURCE), 1);
  EXPECT_EQ(run.Text(IDC_FILTER_FRAMES_LABEL), "50");

  ASSERT_TRUE(run.ShowPage(kFxPage));
  ASSERT_TRUE(PickEffect(1, "SLIDE"));
  ASSERT_TRUE(run.ShowPage(kFilterPage));
  EXPECT_EQ(run.ListCount(IDC_FILTER_SOURCE), 1);
  EXPECT_EQ(run.ListSelection(IDC_FILTER_SOURCE), CB_ERR);
  EXPECT_EQ(block_.generalValues[FilterSource], 1.0f);
}

}  // namespace
}  // namespace lmx::test
