// The Filter page through the real sheet in filter mode: reloaded at every activation,
// nothing written on load, the source list from the effect's objects.
#include <algorithm>
#include <vector>

#include "sheet_fixture.h"

namespace lmx::test {
namespace {

using FilterPageE2E = SheetFixture;

TEST_F(FilterPageE2E, OutOfRangeValuesStayUntilTheUserWorksAControl) {
  // A defaults image brings FilterFrames 0 back after the start of the selection.
  SetGeneral({{FilterFrames, 0}, {FilterSource, 5}, {FilterPercent, 100}, {CenterObjects, 1}});
  const auto* bytes = reinterpret_cast<const uint8_t*>(&block_);
  install_.Write("Work/Defaults.LRI", std::vector<uint8_t>(bytes, bytes + sizeof block_));
  Load();
  std::memset(&block_, 0, sizeof block_);
  SheetRun& run = Open(1, kFilterPage);

  EXPECT_EQ(run.ListCount(IDC_FILTER_SOURCE), 2);
  EXPECT_EQ(run.ListEntry(IDC_FILTER_SOURCE, 1), "Object 2");
  EXPECT_EQ(run.ListSelection(IDC_FILTER_SOURCE), CB_ERR) << "source 5 of two objects selects nothing";
  ExpectTexts(run, {{IDC_FILTER_PERCENT_LABEL, "100%"}, {IDC_FILTER_FRAMES_LABEL, "0"}});
  EXPECT_EQ(run.Position(IDC_FILTER_FRAMES), 10);
  EXPECT_TRUE(run.IsChecked(IDC_FILTER_CENTER_OBJECTS));
  EXPECT_EQ(block_.generalValues[FilterFrames], 0.0f) << "loading writes nothing";

  run.Click(IDC_FILTER_CENTER_OBJECTS);
  EXPECT_EQ(block_.generalValues[FilterFrames], 10.0f);
  EXPECT_EQ(block_.generalValues[CenterObjects], 0.0f);
  EXPECT_EQ(block_.generalValues[FilterPercent], 100.0f);
  EXPECT_EQ(block_.generalValues[FilterSource], 5.0f) << "no entry selected: the source stays";

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

TEST_F(FilterPageE2E, NoFilterPageOutsideFilterMode) {
  Load();
  const std::vector<std::string> titles = Open(0).TabTitles();
  EXPECT_EQ(std::count(titles.begin(), titles.end(), "Filter Options"), 0);
}

}  // namespace
}  // namespace lmx::test
