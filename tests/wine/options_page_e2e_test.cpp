// The Options page through the real sheet: loading the block once, storing all twelve
// values on any command or finished scroll, and the exchange of objects 0 and 1.
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
  EXPECT_EQ(run.Position(IDC_OPT_ANTIALIAS), 2);
  EXPECT_EQ(run.Position(IDC_OPT_BLUR_PERCENT), 100);
  EXPECT_EQ(run.Position(IDC_OPT_TRANSITION_PERIOD), 0);
  EXPECT_EQ(block_.generalValues[BlurPercent], 150.0f) << "loading writes nothing";

  run.Click(IDC_OPT_LIGHTING);  // one command stores everything
  ASSERT_TRUE(WaitUntil([&] { return block_.generalValues[Lighting] == 1.0f; }));
  const float expected[] = {1, 0, 1, 0, 2, 1, 1, 100, 3, 123, 1, 90};
  for (int i = 0; i < 12; ++i) EXPECT_EQ(block_.generalValues[i], expected[i]) << "general value " << i;
  EXPECT_EQ(block_.generalValues[TransitionPeriod], 0.0f);
  EXPECT_EQ(block_.generalValues[FrameField], 2.0f);
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

TEST_F(OptionsPageE2E, NoExchangeWithTheSwitchOffOrForOtherEffectTypes) {
  WriteEffect(install_, EffectSpec{"SPIN", "Spin", "", 2, 1, 1, 1, 50.0f, {}, 2});  // effect type 2
  SetRegistryDword("Eff_Autoreverse", 1);
  Load();
  MarkObjects();
  std::memcpy(block_.effectName, "SPIN", 5);
  SheetRun& run = Open(0, kOptionsPage);
  run.Click(IDC_OPT_FLY_ON);
  EXPECT_EQ(block_.generalValues[Direction], 1.0f);
  EXPECT_TRUE(ObjectRowsAre(10, 50)) << "type 2";
  EXPECT_EQ(run.Close(PSBTN_OK), 0);

  SetRegistryDword("Eff_Autoreverse", 0);
  dll_.reset();  // the switch is read when the module loads
  Load(false);
  std::memcpy(block_.effectName, "DOORS", 6);
  block_.generalValues[Direction] = 0.0f;
  MarkObjects();
  SheetRun& again = Open(0, kOptionsPage);
  again.Click(IDC_OPT_FLY_ON);
  EXPECT_EQ(block_.generalValues[Direction], 1.0f);
  EXPECT_TRUE(ObjectRowsAre(10, 50)) << "switch off";
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

}  // namespace
}  // namespace lmx::test
