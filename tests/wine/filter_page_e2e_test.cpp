// The Filter page through the real sheet in filter mode: reloaded at every activation,
// nothing written on load, the source list from the effect's objects.
#include <algorithm>
#include <vector>

#include "page_driver.h"
#include "sheet_fixture.h"

namespace lmx::test {
namespace {

constexpr int kFilterPage = 2;  // FX, Options, Filter, Objects, Settings

using FilterPageE2E = SheetFixture;

TEST_F(FilterPageE2E, OutOfRangeValuesStayUntilTheUserWorksAControl) {
  // A defaults image brings FilterFrames 0 back after the start of the selection.
  EffectSettings defaults{};
  std::memcpy(defaults.effectName, "DOORS", 6);
  defaults.generalValues[FilterFrames] = 0.0f;
  defaults.generalValues[FilterSource] = 5.0f;
  defaults.generalValues[FilterPercent] = 100.0f;
  defaults.generalValues[CenterObjects] = 1.0f;
  const auto* bytes = reinterpret_cast<const uint8_t*>(&defaults);
  install_.Write("Work/Defaults.LRI", std::vector<uint8_t>(bytes, bytes + sizeof defaults));
  Load();
  std::memset(&block_, 0, sizeof block_);
  SheetRun& run = Open(1);
  ASSERT_EQ(run.TabTitles().size(), 5u);
  ASSERT_TRUE(ShowPage(run, kFilterPage));

  EXPECT_EQ(ListCount(run, IDC_FILTER_SOURCE), 2);
  EXPECT_EQ(ListEntry(run, IDC_FILTER_SOURCE, 1), "Object 2");
  EXPECT_EQ(ListSelection(run, IDC_FILTER_SOURCE), CB_ERR) << "source 5 of two objects selects nothing";
  EXPECT_EQ(run.Text(IDC_FILTER_PERCENT_LABEL), "100%");
  EXPECT_EQ(run.Text(IDC_FILTER_FRAMES_LABEL), "0");
  EXPECT_EQ(Position(run, IDC_FILTER_FRAMES), 10);
  EXPECT_TRUE(IsChecked(run, IDC_FILTER_CENTER_OBJECTS));
  EXPECT_EQ(block_.generalValues[FilterFrames], 0.0f) << "loading writes nothing";

  run.Click(IDC_FILTER_CENTER_OBJECTS);
  EXPECT_EQ(block_.generalValues[FilterFrames], 10.0f);
  EXPECT_EQ(block_.generalValues[CenterObjects], 0.0f);
  EXPECT_EQ(block_.generalValues[FilterPercent], 100.0f);
  EXPECT_EQ(block_.generalValues[FilterSource], 5.0f) << "no entry selected: the source stays";

  Choose(run, IDC_FILTER_SOURCE, 1);
  EXPECT_EQ(block_.generalValues[FilterSource], 1.0f);
  Scroll(run, IDC_FILTER_FRAMES, 100, TB_THUMBTRACK);
  EXPECT_EQ(run.Text(IDC_FILTER_FRAMES_LABEL), "100") << "no percent sign: the maximum is 200";
  EXPECT_EQ(block_.generalValues[FilterFrames], 10.0f);
  Scroll(run, IDC_FILTER_FRAMES, 100, TB_ENDTRACK);
  EXPECT_EQ(block_.generalValues[FilterFrames], 100.0f);
  EXPECT_EQ(PressAndFinish(run, PSBTN_OK), 0);
}

TEST_F(FilterPageE2E, ReloadsAtEveryActivation) {
  Load();
  block_.generalValues[FilterFrames] = 50.0f;
  block_.generalValues[FilterSource] = 1.0f;
  SheetRun& run = Open(1);
  ASSERT_TRUE(ShowPage(run, kFilterPage));
  EXPECT_EQ(ListSelection(run, IDC_FILTER_SOURCE), 1);
  EXPECT_EQ(run.Text(IDC_FILTER_FRAMES_LABEL), "50");

  ASSERT_TRUE(ShowPage(run, 0));
  run.Click(IDC_FX_BUTTON_FIRST + 1);  // SLIDE: one object
  ASSERT_TRUE(WaitUntil([&] { return std::strcmp(block_.effectName, "SLIDE") == 0; }));
  ASSERT_TRUE(ShowPage(run, kFilterPage));
  EXPECT_EQ(ListCount(run, IDC_FILTER_SOURCE), 1);
  EXPECT_EQ(ListSelection(run, IDC_FILTER_SOURCE), CB_ERR);
  EXPECT_EQ(block_.generalValues[FilterSource], 1.0f);
  EXPECT_EQ(PressAndFinish(run, PSBTN_OK), 0);
}

TEST_F(FilterPageE2E, NoFilterPageOutsideFilterMode) {
  Load();
  SheetRun& run = Open(0);
  const std::vector<std::string> titles = run.TabTitles();
  EXPECT_EQ(std::count(titles.begin(), titles.end(), "Filter Options"), 0);
  EXPECT_EQ(PressAndFinish(run, PSBTN_OK), 0);
}

}  // namespace
}  // namespace lmx::test
