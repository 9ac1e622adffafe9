#include "selection/selection.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <string>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

#include "common/chunk_writer.h"
#include "config/installed_files.h"
#include "library/bytes.h"
#include "selection/settings_access.h"
#include "support/test_install.h"

namespace lmx {
namespace {

constexpr uint32_t kGroup = FourCC("OGRP");
constexpr uint32_t kItem = FourCC("OITM");

using Special = std::tuple<int, int, float>;
using Where = std::tuple<int, int, std::string>;
using Groups = std::vector<std::pair<std::string, std::vector<std::string>>>;  // names, entries

struct EffectPlan {
  std::string name;
  uint32_t type = 0;
  uint32_t features = 1;  // the direction, shadow and motion flags alike
  std::vector<std::pair<float, uint16_t>> options;  // default value, tag
  uint32_t objects = 2;
};

class SelectionTest : public ::testing::Test {
 protected:
  void PlantEffect(const EffectPlan& plan) {
    ChunkWriter w(kEffectHeader);
    w.U32(FourCC("ETYP"), plan.type).Text(FourCC("ENAM"), plan.name).Text(FourCC("ELNM"), plan.name + " long")
        .U32(FourCC("VCNT"), plan.objects).U32(FourCC("FDIR"), plan.features).U32(FourCC("FSHD"), plan.features)
        .U32(FourCC("FMOT"), plan.features).U32(FourCC("OCNT"), uint32_t(plan.options.size()));
    for (size_t i = 0; i < plan.options.size(); ++i) {
      EffectOption o{};
      o.defaultValue = plan.options[i].first;
      o.maximum = 100;
      o.tag = plan.options[i].second;
      w.IndexedBytes(FourCC("OPTS"), uint32_t(i), &o, sizeof o);
    }
    install_.Write("EFFECTS/" + plan.name + ".LMI", w.bytes());
  }
  // One organization: groups of names.
  void ReadOrg(const Groups& groups) {
    ChunkWriter w(kOrganizationHeader);
    for (const auto& [group, names] : groups) {
      w.Text(kGroup, group);
      for (const std::string& n : names) w.Text(kItem, n);
    }
    install_.Write("ORGS/TEST.ORG", w.bytes());
    ASSERT_EQ(ReadInstalledOrganization(org_, "TEST"), 1);
  }
  void SetUp() override {
    PlantEffect({"ALPHA", 0, 1, {{7.0f, 0x11}, {9.0f, 0x22}}, 3});
    PlantEffect({"BETA", 0, 1, {{4.0f, 0x33}}, 1});
    PlantEffect({"FLAT", 0, 0, {}, 1});
    ReadOrg({{"First", {"ALPHA", "BETA", "FLAT", "MISSING"}}, {"Second", {"BETA"}}});
  }
  static EffectSettings Block(const char* name) {
    EffectSettings block{};
    SetEffectName(&block, name);
    for (int i = 0; i < kGeneralCount; ++i) block.generalValues[i] = float(i + 1);
    for (int o = 0; o < kObjectRows; ++o)
      for (int c = 0; c < kObjectColumns; ++c) block.objectValues[o][c] = float(100 * o + c + 1);
    return block;
  }
  static bool Same(const EffectSettings& a, const EffectSettings& b) { return std::memcmp(&a, &b, sizeof a) == 0; }
  // The first n special slots as (reserved, tag, value).
  static std::vector<Special> Specials(const EffectSettings& block, int n) {
    std::vector<Special> slots;
    for (int i = 0; i < n; ++i)
      slots.emplace_back(block.specialValues[i].reserved, block.specialValues[i].tag, block.specialValues[i].value);
    return slots;
  }
  // Where the selection stands: group, index, name.
  Where Selected() const {
    return {selection_.selectedGroup, selection_.selectedIndex, selection_.selectedName};
  }

  test::TestInstall install_;
  Organization org_;
  SelectionState selection_;
};

TEST_F(SelectionTest, EmptyNameWithoutDefaultsSelectsTheFirstEntry) {
  EffectSettings block = Block("");
  const EffectSettings host = block;
  InitSelection(selection_, &block, org_, false);
  EXPECT_TRUE(Same(block, host));
  EXPECT_EQ(Selected(), Where(0, 0, "ALPHA"));
  EXPECT_STREQ(CurrentEffect(selection_)->shortName(), "ALPHA");

  // The FX page then picks it; the name differs from the empty one, so the special values
  // come from the effect's option defaults.
  ASSERT_TRUE(SelectEffect(selection_, &block, org_, selection_.selectedGroup, selection_.selectedIndex));
  EXPECT_STREQ(block.effectName, "ALPHA");
  EXPECT_EQ(block.specialCount, 2u);
  EXPECT_EQ(Specials(block, 2), (std::vector<Special>{{0, 0x11, 7.0f}, {0, 0x22, 9.0f}}));
}

TEST_F(SelectionTest, SameEffectKeepsItsSpecialValuesAnotherResetsThem) {
  EffectSettings block = Block("ALPHA");
  block.specialCount = 3;
  block.specialValues[0] = {5, 0x11, 55.0f};
  block.specialValues[1] = {6, 0x22, 66.0f};
  block.specialValues[2] = {7, 0x77, 77.0f};
  InitSelection(selection_, &block, org_, false);
  ASSERT_TRUE(SelectEffect(selection_, &block, org_, 0, 0));
  EXPECT_EQ(block.specialCount, 2u);
  EXPECT_EQ(Specials(block, 2), (std::vector<Special>{{5, 0x11, 55.0f}, {6, 0x22, 66.0f}}));

  ASSERT_TRUE(SelectEffect(selection_, &block, org_, 0, 1));
  EXPECT_STREQ(block.effectName, "BETA");
  EXPECT_EQ(block.specialCount, 1u);
  // The slot the old effect used beyond the new count is cleared.
  EXPECT_EQ(Specials(block, 2), (std::vector<Special>{{0, 0x33, 4.0f}, {0, 0, 0.0f}}));
  EXPECT_EQ(Selected(), Where(0, 1, "BETA"));
  EXPECT_STREQ(CurrentEffect(selection_)->shortName(), "BETA");
}

TEST_F(SelectionTest, UnsupportedFeaturesAreForcedOffOnEveryPick) {
  EffectSettings block = Block("FLAT");
  InitSelection(selection_, &block, org_, false);
  EffectSettings want = block;  // other columns and values untouched
  for (auto& row : want.objectValues) row[PathRotation] = 0.0f;
  want.generalValues[Shadows] = want.generalValues[BlurPercent] = want.generalValues[BlurCount] = 0.0f;
  for (int pick = 0; pick < 2; ++pick) {  // the same effect again still forces them
    selection_.currentObject = 4;
    ASSERT_TRUE(SelectEffect(selection_, &block, org_, 0, 2));
    EXPECT_TRUE(Same(block, want)) << pick;
    EXPECT_EQ(selection_.currentObject, 0);
  }
  // An effect that supports them leaves the values alone.
  EffectSettings kept = Block("FLAT");
  ASSERT_TRUE(SelectEffect(selection_, &kept, org_, 0, 0));
  EXPECT_EQ(kept.generalValues[Shadows], float(Shadows + 1));
  EXPECT_EQ(kept.generalValues[BlurCount], float(BlurCount + 1));
  EXPECT_EQ(kept.objectValues[3][PathRotation], float(300 + PathRotation + 1));
}

TEST_F(SelectionTest, MissingEffectFileGivesAnEmptyDescription) {
  EffectSettings block = Block("ALPHA");
  block.specialCount = 2;
  block.generalValues[Shadows] = 1.0f;
  InitSelection(selection_, &block, org_, false);
  ASSERT_TRUE(SelectEffect(selection_, &block, org_, 0, 3));
  EXPECT_STREQ(block.effectName, "MISSING");
  EXPECT_EQ(block.specialCount, 0u);
  EXPECT_EQ(block.generalValues[Shadows], 0.0f);
  EXPECT_EQ(block.objectValues[0][PathRotation], 0.0f);
  EXPECT_EQ(CurrentEffect(selection_)->objectCount(), 0u);
  EXPECT_EQ(CurrentEffect(selection_)->longName(), "");
}

TEST_F(SelectionTest, MoreThanTenOptionsKeepThePreviousCount) {
  EffectPlan many;
  many.name = "MANY";
  for (int i = 0; i < 11; ++i) many.options.push_back({float(10 + i), uint16_t(0x100 + i)});
  PlantEffect(many);
  ReadOrg({{"G", {"ALPHA", "MANY"}}});
  EffectSettings block = Block("ALPHA");
  InitSelection(selection_, &block, org_, false);
  ASSERT_TRUE(SelectEffect(selection_, &block, org_, 0, 0));
  ASSERT_EQ(block.specialCount, 2u);
  ASSERT_TRUE(SelectEffect(selection_, &block, org_, 0, 1));
  EXPECT_EQ(block.specialCount, 2u);
  // Never beyond the count.
  EXPECT_EQ(Specials(block, 3), (std::vector<Special>{{0, 0x100, 10.0f}, {0, 0x101, 11.0f}, {0, 0, 0.0f}}));
}

TEST_F(SelectionTest, PicksOutsideTheGroupChangeNothing) {
  EffectSettings block = Block("BETA");
  InitSelection(selection_, &block, org_, false);
  const EffectSettings before = block;
  auto current = CurrentEffect(selection_);
  for (auto [group, entry] : std::vector<std::pair<int, int>>{{0, 4}, {0, -1}, {1, 1}, {2, 0}, {-1, 0}}) {
    EXPECT_FALSE(SelectEffect(selection_, &block, org_, group, entry)) << group << "," << entry;
  }
  EXPECT_TRUE(Same(block, before));
  EXPECT_EQ(CurrentEffect(selection_), current);
  EXPECT_EQ(Selected(), Where(0, 1, "BETA"));
}

TEST_F(SelectionTest, FilterModeStartsWithAFrameCount) {
  EffectSettings block = Block("BETA");
  for (auto [frames, filterMode, after] : {std::tuple{0.0f, true, 100.0f}, {0.0f, false, 0.0f}, {50.0f, true, 50.0f}}) {
    block.generalValues[FilterFrames] = frames;
    InitSelection(selection_, &block, org_, filterMode);
    EXPECT_EQ(block.generalValues[FilterFrames], after) << frames << (filterMode ? " filter" : "");
  }
}

TEST_F(SelectionTest, UnlistedEffectKeepsTheHostBlockAndItsDescription) {
  PlantEffect({"GHOST", 0, 1, {{1.0f, 1}}, 5});
  EffectSettings block = Block("GHOST");
  block.specialCount = 1;
  block.specialValues[0] = {0, 1, 42.0f};
  const EffectSettings host = block;
  InitSelection(selection_, &block, org_, false);
  EXPECT_TRUE(Same(block, host));
  EXPECT_EQ(Selected(), Where(-1, -1, "GHOST"));
  EXPECT_EQ(CurrentEffect(selection_)->objectCount(), 5u);
  // The grid's pick with the group the look-up gave changes nothing either.
  EXPECT_FALSE(SelectEffect(selection_, &block, org_, selection_.selectedGroup, selection_.selectedIndex));
  EXPECT_TRUE(Same(block, host));
}

TEST_F(SelectionTest, EmptyOrganizationsStillGiveADescription) {
  for (bool emptyGroup : {false, true}) {
    SCOPED_TRACE(emptyGroup ? "empty group 0" : "no group");
    ReadOrg(emptyGroup ? Groups{{"Nothing", {}}, {"Later", {"ALPHA"}}} : Groups{});
    EffectSettings block = Block("");
    const EffectSettings host = block;
    InitSelection(selection_, &block, org_, false);
    EXPECT_TRUE(Same(block, host));
    EXPECT_EQ(Selected(), Where(-1, -1, ""));
    ASSERT_TRUE(CurrentEffect(selection_));
    EXPECT_EQ(CurrentEffect(selection_)->objectCount(), 0u);
    EXPECT_FALSE(SelectEffect(selection_, &block, org_, 0, 0));
  }
}

TEST_F(SelectionTest, DefaultsFileFillsABlockWithoutName) {
  EffectSettings saved = Block("BETA");
  saved.generalValues[FilterFrames] = 0.0f;
  saved.specialCount = 1;
  saved.specialValues[0] = {0, 0x33, 12.0f};
  install_.Write("Work/Defaults.LRI",
                 std::vector<uint8_t>(reinterpret_cast<uint8_t*>(&saved), reinterpret_cast<uint8_t*>(&saved + 1)));
  EffectSettings block = Block("");
  InitSelection(selection_, &block, org_, true);
  // Every byte comes from the file, even the frame count of 0 set before it was read;
  // the first entry is selected whatever name the file holds.
  EXPECT_TRUE(Same(block, saved));
  EXPECT_EQ(Selected(), Where(0, 0, "ALPHA"));
}

TEST_F(SelectionTest, ReversingExchangesTheFirstTwoObjects) {
  PlantEffect({"TYPE1", 1, 1, {}, 2});
  ReadOrg({{"G", {"TYPE1", "ALPHA"}}});
  EffectSettings block = Block("TYPE1");
  InitSelection(selection_, &block, org_, false);
  ASSERT_TRUE(SelectEffect(selection_, &block, org_, 0, 0));
  EffectSettings swapped = block;
  std::swap(swapped.objectValues[0], swapped.objectValues[1]);
  // Direction in the block, the switch, the Direction to store: a change with the switch
  // on exchanges the rows; a direction no radio shows (2.0) stored as 0 is a change too.
  for (auto [from, on, to, exchanged] : {std::tuple{0.0f, true, 1.0f, true}, {1.0f, true, 0.0f, true},
                                         {2.0f, true, 0.0f, true}, {1.0f, true, 1.0f, false},
                                         {0.0f, false, 1.0f, false}}) {
    EffectSettings changed = block, want = exchanged ? swapped : block;
    changed.generalValues[Direction] = want.generalValues[Direction] = from;
    ReverseObjectPair(selection_, &changed, on, to);
    EXPECT_TRUE(Same(changed, want)) << from << (on ? " on " : " off ") << to;
  }
  // Another kind of effect: rows stay.
  ASSERT_TRUE(SelectEffect(selection_, &block, org_, 0, 1));
  const EffectSettings alpha = block;
  ReverseObjectPair(selection_, &block, true, 1.0f - block.generalValues[Direction]);
  EXPECT_TRUE(Same(block, alpha));
}

TEST_F(SelectionTest, PicksDuringARenderNeverFreeOrChangeWhatItReads) {
  EffectSettings block = Block("ALPHA");
  InitSelection(selection_, &block, org_, false);
  std::shared_ptr<const EffectRecord> held = CurrentEffect(selection_);  // as a render holds it
  ASSERT_TRUE(SelectEffect(selection_, &block, org_, 0, 1));
  EXPECT_EQ(held->objectCount(), 3u);
  EXPECT_STREQ(held->shortName(), "ALPHA");
  std::atomic<bool> stop{false};
  std::atomic<long> reads{0};
  std::thread render([&] {
    while (!stop.load()) {
      std::shared_ptr<const EffectRecord> record = CurrentEffect(selection_);
      // What a frame reads, several times over one "render".
      for (int i = 0; i < 50; ++i) {
        uint32_t n = record->objectCount();
        if (n != 3 && n != 1) ADD_FAILURE() << "torn record: " << n;
        (void)record->bestPosition();
        (void)record->objectName(0).size();
      }
      ++reads;
    }
  });
  for (int pick = 0; pick < 100; ++pick) ASSERT_TRUE(SelectEffect(selection_, &block, org_, 0, pick % 2));
  while (reads.load() < 10) std::this_thread::yield();
  stop = true;
  render.join();
  EXPECT_STREQ(CurrentEffect(selection_)->shortName(), "BETA");
}

}  // namespace
}  // namespace lmx
