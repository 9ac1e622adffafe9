// The Options page through the real sheet: loading the block once, storing all twelve
// values on any command or finished scroll, and the exchange of objects 0 and 1.
#include "common/chunk_writer.h"
#include "library/bytes.h"
#include "library/effect_record.h"
#include "page_driver.h"
#include "sheet_fixture.h"

namespace lmx::test {
namespace {

constexpr int kOptionsPage = 1;

class OptionsPageE2E : public SheetFixture {
 protected:
  // Rows 0 and 1 of objectValues hold distinct values.
  void MarkObjects() {
    for (int c = 0; c < kObjectColumns; ++c) {
      block_.objectValues[0][c] = 10.0f + c;
      block_.objectValues[1][c] = 50.0f + c;
    }
  }
  bool ObjectsExchanged() const {
    for (int c = 0; c < kObjectColumns; ++c)
      if (block_.objectValues[0][c] != 50.0f + c || block_.objectValues[1][c] != 10.0f + c) return false;
    return true;
  }
  bool ObjectsInPlace() const {
    for (int c = 0; c < kObjectColumns; ++c)
      if (block_.objectValues[0][c] != 10.0f + c || block_.objectValues[1][c] != 50.0f + c) return false;
    return true;
  }
};

TEST_F(OptionsPageE2E, LoadsTheBlockAndAnyCommandStoresAllTwelveValuesClamped) {
  Load();
  block_.generalValues[Direction] = 1.0f;
  block_.generalValues[RenderMode] = 3.0f;  // outside its group: no button checked
  block_.generalValues[Quality] = 1.0f;
  block_.generalValues[ImageQuality] = 0.0f;
  block_.generalValues[FrameField] = 2.0f;
  block_.generalValues[Lighting] = 0.0f;
  block_.generalValues[Shadows] = 1.0f;
  block_.generalValues[AntiAliasing] = 2.9f;
  block_.generalValues[BlurPercent] = 150.0f;
  block_.generalValues[BlurCount] = 3.0f;
  block_.generalValues[LightDirection] = 90.0f;
  block_.generalValues[TransitionPeriod] = -5.0f;
  block_.generalValues[9] = 123.0f;
  block_.generalValues[CenterObjects] = 1.0f;
  block_.generalValues[20] = 77.0f;
  SheetRun& run = Open();
  ASSERT_TRUE(ShowPage(run, kOptionsPage));

  EXPECT_TRUE(IsChecked(run, IDC_OPT_FLY_ON));
  EXPECT_FALSE(IsChecked(run, IDC_OPT_FLY_OFF));
  for (int id : {IDC_OPT_SMOOTH, IDC_OPT_FLAT, IDC_OPT_WIRE}) EXPECT_FALSE(IsChecked(run, id)) << id;
  EXPECT_TRUE(IsChecked(run, IDC_OPT_QUALITY_BEST));
  EXPECT_TRUE(IsChecked(run, IDC_OPT_IMAGE_FASTEST));
  EXPECT_TRUE(IsChecked(run, IDC_OPT_FIELD_EVEN));
  EXPECT_FALSE(IsChecked(run, IDC_OPT_LIGHTING));
  EXPECT_TRUE(IsChecked(run, IDC_OPT_SHADOWS));
  EXPECT_EQ(run.Text(IDC_OPT_ANTIALIAS_LABEL), "2");
  EXPECT_EQ(Position(run, IDC_OPT_ANTIALIAS), 2);
  EXPECT_EQ(run.Text(IDC_OPT_BLUR_PERCENT_LABEL), "150%") << "the label shows the value, the trackbar clamps";
  EXPECT_EQ(Position(run, IDC_OPT_BLUR_PERCENT), 100);
  EXPECT_EQ(run.Text(IDC_OPT_BLUR_COUNT_LABEL), "3");
  EXPECT_EQ(run.Text(IDC_OPT_LIGHT_DIRECTION_LABEL), "90");
  EXPECT_EQ(run.Text(IDC_OPT_TRANSITION_PERIOD_LABEL), "-5%");
  EXPECT_EQ(Position(run, IDC_OPT_TRANSITION_PERIOD), 0);
  EXPECT_EQ(block_.generalValues[BlurPercent], 150.0f) << "loading writes nothing";

  run.Click(IDC_OPT_LIGHTING);  // "Lighting": one command stores everything
  ASSERT_TRUE(WaitUntil([&] { return block_.generalValues[Lighting] == 1.0f; }));
  const float expected[] = {1, 0, 1, 0, 2, 1, 1, 100, 3, 123, 1, 90};
  for (int i = 0; i < 12; ++i) EXPECT_EQ(block_.generalValues[i], expected[i]) << "general value " << i;
  EXPECT_EQ(block_.generalValues[TransitionPeriod], 0.0f);
  EXPECT_EQ(block_.generalValues[FrameField], 2.0f);
  EXPECT_EQ(block_.generalValues[20], 77.0f) << "slots no page edits are carried";
  EXPECT_EQ(PressAndFinish(run, PSBTN_OK), 0);
}

TEST_F(OptionsPageE2E, DraggingMovesOnlyTheLabelUntilTheThumbIsReleased) {
  Load();
  block_.generalValues[BlurPercent] = 20.0f;
  block_.generalValues[LightDirection] = 45.0f;
  SheetRun& run = Open();
  ASSERT_TRUE(ShowPage(run, kOptionsPage));
  Scroll(run, IDC_OPT_BLUR_PERCENT, 60, TB_THUMBTRACK);
  EXPECT_EQ(run.Text(IDC_OPT_BLUR_PERCENT_LABEL), "60%");
  Scroll(run, IDC_OPT_BLUR_PERCENT, 70, TB_THUMBTRACK);
  EXPECT_EQ(run.Text(IDC_OPT_BLUR_PERCENT_LABEL), "70%");
  EXPECT_EQ(block_.generalValues[BlurPercent], 20.0f);
  Scroll(run, IDC_OPT_BLUR_PERCENT, 70, TB_ENDTRACK);
  EXPECT_EQ(block_.generalValues[BlurPercent], 70.0f);

  Scroll(run, IDC_OPT_LIGHT_DIRECTION, 180, TB_PAGEDOWN);  // a finished scroll of another trackbar
  EXPECT_EQ(run.Text(IDC_OPT_LIGHT_DIRECTION_LABEL), "180");
  EXPECT_EQ(block_.generalValues[LightDirection], 180.0f);
  EXPECT_EQ(PressAndFinish(run, PSBTN_OK), 0);
}

TEST_F(OptionsPageE2E, TypeChangesExchangeObjectsOnceWithAutoreverseOn) {
  SetRegistryDword("Eff_Autoreverse", 1);
  Load();
  MarkObjects();
  SheetRun& run = Open();
  ASSERT_TRUE(ShowPage(run, kOptionsPage));
  run.Click(IDC_OPT_FLY_ON);  // "Fly-On"
  EXPECT_TRUE(ObjectsExchanged());
  EXPECT_EQ(block_.generalValues[Direction], 1.0f);
  run.Click(IDC_OPT_FLY_ON);  // again: no change of type
  run.Click(IDC_OPT_LIGHTING);
  EXPECT_TRUE(ObjectsExchanged());
  run.Click(IDC_OPT_FLY_OFF);  // "Fly-Off" exchanges them back
  EXPECT_TRUE(ObjectsInPlace());
  EXPECT_EQ(block_.generalValues[Direction], 0.0f);
  EXPECT_EQ(PressAndFinish(run, PSBTN_OK), 0);
}

TEST_F(OptionsPageE2E, NoExchangeWithTheSwitchOffOrForOtherEffectTypes) {
  ChunkWriter other(kEffectHeader);
  other.U32(FourCC("ETYP"), 2).Text(FourCC("ENAM"), "SPIN").Text(FourCC("ELNM"), "Spin").U32(FourCC("VCNT"), 2)
      .U32(FourCC("FDIR"), 1).U32(FourCC("FSHD"), 1).U32(FourCC("FMOT"), 1);
  install_.Write("EFFECTS/SPIN.LMI", other.bytes());
  SetRegistryDword("Eff_Autoreverse", 1);
  Load();
  MarkObjects();
  std::memcpy(block_.effectName, "SPIN", 5);
  SheetRun& run = Open();
  ASSERT_TRUE(ShowPage(run, kOptionsPage));
  run.Click(IDC_OPT_FLY_ON);
  EXPECT_EQ(block_.generalValues[Direction], 1.0f);
  EXPECT_TRUE(ObjectsInPlace()) << "type 2";
  EXPECT_EQ(PressAndFinish(run, PSBTN_OK), 0);

  SetRegistryDword("Eff_Autoreverse", 0);
  dll_.reset();  // the switch is read when the module loads
  Load(false);
  std::memcpy(block_.effectName, "DOORS", 6);
  block_.generalValues[Direction] = 0.0f;
  MarkObjects();
  SheetRun& again = Open();
  ASSERT_TRUE(ShowPage(again, kOptionsPage));
  again.Click(IDC_OPT_FLY_ON);
  EXPECT_EQ(block_.generalValues[Direction], 1.0f);
  EXPECT_TRUE(ObjectsInPlace()) << "switch off";
  EXPECT_EQ(PressAndFinish(again, PSBTN_OK), 0);
}

TEST_F(OptionsPageE2E, ControlsWinOverValuesAnotherPageChanged) {
  Load();
  block_.generalValues[Shadows] = 1.0f;
  SheetRun& run = Open();
  ASSERT_TRUE(ShowPage(run, kOptionsPage));
  EXPECT_TRUE(IsChecked(run, IDC_OPT_SHADOWS));
  ASSERT_TRUE(ShowPage(run, 0));
  run.Click(IDC_FX_BUTTON_FIRST + 1);  // SLIDE has no shadows
  ASSERT_TRUE(WaitUntil([&] { return block_.generalValues[Shadows] == 0.0f; }));
  ASSERT_TRUE(ShowPage(run, kOptionsPage));
  EXPECT_TRUE(IsChecked(run, IDC_OPT_SHADOWS)) << "the page is not loaded again";
  run.Click(IDC_OPT_LIGHTING);
  EXPECT_EQ(block_.generalValues[Shadows], 1.0f);
  EXPECT_EQ(PressAndFinish(run, PSBTN_OK), 0);
}

}  // namespace
}  // namespace lmx::test
