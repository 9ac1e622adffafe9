// The selection module: picking effects into the block, what the Options, Objects and
// Filter pages read from and write into it (and the accessors they go through), and the
// preview's render control and flags.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <iterator>
#include <limits>
#include <memory>
#include <string>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

#include "common/chunk_writer.h"
#include "config/installed_files.h"
#include "library/bytes.h"
#include "selection/filter_values.h"
#include "selection/object_values.h"
#include "selection/options_values.h"
#include "selection/render_control.h"
#include "selection/render_flags.h"
#include "selection/selection.h"
#include "selection/settings_access.h"
#include "selection/whole_number.h"
#include "support/test_install.h"

namespace lmx {
namespace {

std::shared_ptr<const EffectRecord> Effect(uint32_t type) {
  auto record = std::make_shared<EffectRecord>();
  uint8_t payload[4] = {static_cast<uint8_t>(type), 0, 0, 0};
  record->ApplyRecord(ChunkRecord{FourCC("ETYP"), 4, payload});
  return record;
}

// A block whose every value is distinct, so that a stray write shows.
EffectSettings Patterned() {
  EffectSettings block;
  std::memset(&block, 0, sizeof block);
  std::memcpy(block.effectName, "DOORS", 6);
  for (int i = 0; i < kGeneralCount; ++i) block.generalValues[i] = 1000.0f + i;
  for (int o = 0; o < kObjectRows; ++o)
    for (int c = 0; c < kObjectColumns; ++c) block.objectValues[o][c] = o * 100.0f + c + 0.5f;
  return block;
}

bool Same(const EffectSettings& a, const EffectSettings& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

bool SameObjects(const EffectSettings& a, const EffectSettings& b) {
  return std::memcmp(a.objectValues, b.objectValues, sizeof a.objectValues) == 0;
}

TEST(WholeNumberTest, TruncatesTowardZeroAndSaturates) {
  const int32_t most = std::numeric_limits<int32_t>::max(), least = std::numeric_limits<int32_t>::min();
  for (auto [value, whole] : {std::pair{37.9f, 37}, {-2.7f, -2}, {std::nanf(""), 0}, {1e30f, most}, {-1e30f, least},
                              {std::numeric_limits<float>::infinity(), most}})
    EXPECT_EQ(WholeNumber(value), whole) << value;
}

class OptionsValuesTest : public ::testing::Test {
 protected:
  // direction, render mode, quality, image quality, frame/field, lighting, shadows,
  // anti-aliasing, blur percent and count, light direction, transition period
  const OptionsValues controls_{0, 2, 1, 1, 2, true, false, 4, 100, 10, 270, 55};
  EffectSettings block_ = Patterned();
  SelectionState selection_;
};

auto Fields(const OptionsValues& v) {
  return std::make_tuple(v.direction, v.renderMode, v.quality, v.imageQuality, v.frameField, v.lighting, v.shadows,
                         v.antiAliasing, v.blurPercent, v.blurCount, v.lightDirection, v.transitionPeriod);
}

TEST_F(OptionsValuesTest, ReadTruncatesEveryValue) {
  block_.generalValues[Direction] = 1.0f;
  block_.generalValues[Lighting] = 0.0f;
  block_.generalValues[Shadows] = 0.4f;  // truncates to 0: unchecked
  block_.generalValues[BlurPercent] = 150.9f;
  EXPECT_EQ(Fields(ReadOptionsValues(&block_)),
            Fields({1, 1001, 1002, 1003, 1016, false, false, 1004, 150, 1008, 1011, 1015}));
}

TEST_F(OptionsValuesTest, StoreWritesExactlyTheTwelveValues) {
  EffectSettings before = block_;
  selection_.currentEffect = Effect(1);
  StoreOptionsValues(controls_, selection_, &block_, false);  // switch off: no exchange
  EffectSettings want = before;
  const float stored[] = {0, 2, 1, 1, 4, 1, 0, 100, 10};  // Direction to BlurCount
  std::copy(std::begin(stored), std::end(stored), want.generalValues);
  want.generalValues[LightDirection] = 270;
  want.generalValues[TransitionPeriod] = 55;
  want.generalValues[FrameField] = 2;
  EXPECT_TRUE(Same(block_, want));
}

// Which effects and switches exchange rows 0 and 1 is the selection's rule
// (SelectionTest.ReversingExchangesTheFirstTwoObjects); the store applies it, with the switch
// it is given, before it writes the new direction.
TEST_F(OptionsValuesTest, StoreExchangesObjectsOnAChangeOfDirection) {
  EffectSettings swapped = block_;
  std::swap(swapped.objectValues[0], swapped.objectValues[1]);
  selection_.currentEffect = Effect(1);
  OptionsValues v = controls_;
  v.direction = 1;  // "Fly-On"
  block_.generalValues[Direction] = 0.0f;
  StoreOptionsValues(v, selection_, &block_, true);
  EXPECT_TRUE(SameObjects(block_, swapped));
  EXPECT_EQ(block_.generalValues[Direction], 1.0f);
  v.direction = 0;
  StoreOptionsValues(v, selection_, &block_, false);
  EXPECT_TRUE(SameObjects(block_, swapped)) << "the switch is off";
  EXPECT_EQ(block_.generalValues[Direction], 0.0f);
}

TEST(ObjectValuesTest, ReadTruncatesAndStoreWritesEightColumns) {
  EffectSettings block = Patterned();
  const EffectSettings before = block;
  block.objectValues[3][Luminosity] = 37.9f;
  block.objectValues[3][RotatesWithPath] = 0.9f;
  ObjectValues v = ReadObjectValues(&block, 3);
  EXPECT_EQ(v.luminosity, 37);
  EXPECT_FALSE(v.rotatesWithPath) << "0.9 truncates to 0";
  EXPECT_EQ(v.shine, 300);
  EXPECT_EQ(v.trailSpacing, 307);

  v.luminosity = 37;
  v.rotatesWithPath = true;
  v.pathRotation = 360;
  StoreObjectValues(&block, 3, v);
  // Eight columns stored whole; columns 8 and 9, the other rows and the rest untouched.
  EffectSettings want = before;
  const float row[] = {300, 301, 37, 303, 304, 360, 1, 307};
  std::copy(std::begin(row), std::end(row), want.objectValues[3]);
  EXPECT_TRUE(Same(block, want));

  // Rows from 20 up read as zeros and take no writes.
  ObjectValues far = ReadObjectValues(&block, 20);
  EXPECT_EQ(far.shine + far.luminosity + far.trailSpacing, 0);
  const EffectSettings kept = block;
  StoreObjectValues(&block, 20, v);
  StoreObjectValues(&block, -1, v);
  EXPECT_TRUE(Same(block, kept));
}

TEST(ObjectValuesTest, ObjectOnActivationFollowsDirectionForTypeOneWithTheSwitchOn) {
  EffectSettings block = Patterned();
  SelectionState selection;
  selection.currentObject = 4;
  // Effect type (0: none selected), Direction, the switch: the object the page shows.
  for (auto [type, direction, on, object] : {std::tuple{1u, 1.0f, true, 1}, {1u, 0.0f, true, 0}, {1u, 0.5f, true, 1},
                                             {1u, 1.0f, false, 4}, {3u, 1.0f, true, 4}, {0u, 1.0f, true, 4}}) {
    selection.currentEffect = type ? Effect(type) : nullptr;
    block.generalValues[Direction] = direction;
    EXPECT_EQ(ObjectOnActivation(selection, &block, on), object) << type << " " << direction << " " << on;
  }
}

TEST(FilterValuesTest, ReadAndStore) {
  EffectSettings block = Patterned();
  const EffectSettings before = block;
  block.generalValues[FilterFrames] = 0.0f;
  block.generalValues[FilterSource] = 5.0f;
  block.generalValues[CenterObjects] = 1.0f;
  FilterValues v = ReadFilterValues(&block);
  EXPECT_EQ(v.frames, 0);
  EXPECT_EQ(v.source, 5);
  EXPECT_TRUE(v.centerObjects);
  EXPECT_EQ(v.percent, 1013);

  // No list entry selected (-1): the source stays.
  StoreFilterValues(&block, {-1, 100, 10, false});
  EffectSettings want = before;
  want.generalValues[FilterSource] = 5.0f;
  want.generalValues[FilterFrames] = 10.0f;
  want.generalValues[FilterPercent] = 100.0f;
  want.generalValues[CenterObjects] = 0.0f;
  EXPECT_TRUE(Same(block, want));
  StoreFilterValues(&block, {1, 100, 10, false});
  want.generalValues[FilterSource] = 1.0f;
  EXPECT_TRUE(Same(block, want));
}

// The accessors every page goes through: nothing outside the block or a field is written.
TEST(SettingsAccessTest, AccessesStayInsideTheBlockAndTheirFields) {
  EffectSettings block;  // distinct bytes
  auto* bytes = reinterpret_cast<uint8_t*>(&block);
  for (size_t i = 0; i < sizeof block; ++i) bytes[i] = uint8_t(i * 13 + 5);
  block.specialCount = 3;
  EffectSettings want = block;
  char name[12];
  GetEffectName(&block, name);  // no zero in all 12 bytes: 11 characters come out
  EXPECT_EQ(std::string(name), std::string(block.effectName, 11));
  SetEffectName(&block, "TWELVELETTERS");
  GetEffectName(&block, name);
  EXPECT_STREQ(name, "TWELVELETTE");
  SetEffectName(&block, "FX");
  GetEffectName(&block, name);
  EXPECT_STREQ(name, "FX");
  std::memcpy(want.effectName, block.effectName, sizeof want.effectName);
  for (int i : {30, -1}) {
    EXPECT_EQ(GetGeneral(&block, i), 0.0f) << i;
    SetGeneral(&block, i, 1.0f);
  }
  for (auto [row, column] : {std::pair{20, 0}, {0, 10}, {-1, 0}, {0, -1}}) {
    EXPECT_EQ(GetObjectValue(&block, row, column), 0.0f) << row << "," << column;
    SetObjectValue(&block, row, column, 1.0f);
  }
  SetSpecialCount(&block, 11);
  SetSpecial(&block, 3, SpecialValue{1, 2, 3.0f});  // slot equal to the count
  SetSpecial(&block, -1, SpecialValue{1, 2, 3.0f});
  EXPECT_TRUE(Same(block, want));

  SetSpecialCount(&block, 10);
  EXPECT_EQ(GetSpecialCount(&block), 10u);
  SetSpecial(&block, 9, SpecialValue{0, 0x1234, 5.0f});
  EXPECT_EQ(block.specialValues[9].tag, 0x1234);
  EXPECT_EQ(block.specialValues[9].value, 5.0f);

  // A count the host left beyond the table never lets a write past it.
  block.specialCount = 50;
  const EffectSettings before = block;
  SetSpecial(&block, 10, SpecialValue{1, 1, 1.0f});
  EXPECT_TRUE(Same(block, before));

  // Without a block everything reads as nothing.
  EXPECT_EQ(GetGeneral(nullptr, 0), 0.0f);
  EXPECT_EQ(GetSpecialCount(nullptr), 0u);
  SetGeneral(nullptr, 0, 1.0f);
  GetEffectName(nullptr, name);
  EXPECT_STREQ(name, "");
}

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
      const EffectOption o{"", 0, "", plan.options[i].first, 0, 100, 0, plan.options[i].second};
      w.IndexedBytes(FourCC("OPTS"), uint32_t(i), &o, sizeof o);
    }
    install_.Write("EFFECTS/" + plan.name + ".LMI", w.bytes());
  }
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
    EffectSettings block = Patterned();
    SetEffectName(&block, name);
    return block;
  }
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

// Where the selection starts and the description it holds, the host's block untouched: an
// empty name selects the first entry, an unlisted one (or an empty organization) nothing.
// Picks at places no entry holds change nothing.
TEST_F(SelectionTest, StartFindsTheBlocksEffect) {
  const Groups usual = {{"First", {"ALPHA", "BETA", "FLAT", "MISSING"}}, {"Second", {"BETA"}}};
  PlantEffect({"GHOST", 0, 1, {{1.0f, 1}}, 5});
  // Organization, the block's name, where the selection stands, the description's objects.
  const std::tuple<Groups, const char*, Where, uint32_t> cases[] = {
      {usual, "", {0, 0, "ALPHA"}, 3},           {usual, "BETA", {0, 1, "BETA"}, 1},
      {usual, "GHOST", {-1, -1, "GHOST"}, 5},    {{}, "", {-1, -1, ""}, 0},
      {{{"Nothing", {}}, {"Later", {"ALPHA"}}}, "", {-1, -1, ""}, 0}};
  for (const auto& [groups, name, where, objects] : cases) {
    SCOPED_TRACE(testing::Message() << name << " in " << groups.size() << " groups");
    ReadOrg(groups);
    EffectSettings block = Block(name);
    block.specialCount = 1;
    block.specialValues[0] = {0, 1, 42.0f};
    const EffectSettings host = block;
    InitSelection(selection_, &block, org_, false);
    const auto current = CurrentEffect(selection_);
    ASSERT_TRUE(current);
    EXPECT_EQ(current->objectCount(), objects);
    for (auto [group, entry] : {std::pair{-1, -1}, {0, 4}, {0, -1}, {1, 1}, {2, 0}, {-1, 0}})
      EXPECT_FALSE(SelectEffect(selection_, &block, org_, group, entry)) << group << "," << entry;
    if (std::get<2>(where).empty()) {
      EXPECT_FALSE(SelectEffect(selection_, &block, org_, 0, 0)) << "no entry at all";
    }
    EXPECT_TRUE(Same(block, host));
    EXPECT_EQ(Selected(), where);
    EXPECT_EQ(CurrentEffect(selection_), current);
  }
}

TEST_F(SelectionTest, SameEffectKeepsItsSpecialValuesAnotherResetsThem) {
  EffectPlan many{"MANY", 0, 1, {}, 2};
  for (int i = 0; i < 11; ++i) many.options.push_back({float(10 + i), uint16_t(0x100 + i)});
  PlantEffect(many);
  ReadOrg({{"G", {"ALPHA", "BETA", "MANY"}}});
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
  // More than ten options keep the previous count; never a slot beyond it.
  ASSERT_TRUE(SelectEffect(selection_, &block, org_, 0, 2));
  EXPECT_EQ(block.specialCount, 1u);
  EXPECT_EQ(Specials(block, 2), (std::vector<Special>{{0, 0x100, 10.0f}, {0, 0, 0.0f}}));
}

// An effect without the direction, shadow and motion features, or one whose file is missing
// (an empty description), has them forced off on every pick, the same effect again included.
TEST_F(SelectionTest, UnsupportedFeaturesAreForcedOffOnEveryPick) {
  for (auto [entry, name, longName, objects] : {std::tuple{2, "FLAT", "FLAT long", 1u}, {3, "MISSING", "", 0u}}) {
    SCOPED_TRACE(name);
    EffectSettings block = Block("FLAT");
    block.specialCount = 2;
    InitSelection(selection_, &block, org_, false);
    EffectSettings want = block;  // other columns and values untouched
    SetEffectName(&want, name);
    want.specialCount = 0;  // neither has options
    for (auto& row : want.objectValues) row[PathRotation] = 0.0f;
    want.generalValues[Shadows] = want.generalValues[BlurPercent] = want.generalValues[BlurCount] = 0.0f;
    for (int pick = 0; pick < 2; ++pick) {
      selection_.currentObject = 4;
      ASSERT_TRUE(SelectEffect(selection_, &block, org_, 0, entry));
      EXPECT_TRUE(Same(block, want)) << pick;
      EXPECT_EQ(selection_.currentObject, 0);
    }
    EXPECT_EQ(CurrentEffect(selection_)->longName(), longName);
    EXPECT_EQ(CurrentEffect(selection_)->objectCount(), objects);
  }
  // An effect that supports them leaves the values alone.
  EffectSettings kept = Block("FLAT");
  ASSERT_TRUE(SelectEffect(selection_, &kept, org_, 0, 0));
  EXPECT_EQ(kept.generalValues[Shadows], 1000.0f + Shadows);
  EXPECT_EQ(kept.generalValues[BlurCount], 1000.0f + BlurCount);
  EXPECT_EQ(kept.objectValues[3][PathRotation], 300.5f + PathRotation);
}

TEST_F(SelectionTest, FilterModeStartsWithAFrameCount) {
  EffectSettings block = Block("BETA");
  for (auto [frames, filterMode, after] :
       {std::tuple{0.0f, true, 100.0f}, {0.0f, false, 0.0f}, {50.0f, true, 50.0f}}) {
    block.generalValues[FilterFrames] = frames;
    InitSelection(selection_, &block, org_, filterMode);
    EXPECT_EQ(block.generalValues[FilterFrames], after) << frames << (filterMode ? " filter" : "");
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
  // Another kind of effect, or none: rows stay.
  ASSERT_TRUE(SelectEffect(selection_, &block, org_, 0, 1));
  const EffectSettings alpha = block;
  ReverseObjectPair(selection_, &block, true, 1.0f - block.generalValues[Direction]);
  EXPECT_TRUE(Same(block, alpha));
  selection_.currentEffect = nullptr;
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


TEST(RenderControlTest, FrameCountsAndPlaybackIntervals) {
  // One frame, or six and more within the bound; a filter shows one.
  for (auto [frames, filter, count] : {std::tuple{0u, false, 1}, {5u, false, 1}, {6u, false, 6}, {10u, false, 10},
                                       {30u, true, 1}, {60u, false, 60}, {61u, false, kMaxPreviewFrames},
                                       {0xFFFFFFFFu, false, kMaxPreviewFrames}})
    EXPECT_EQ(PreviewFrameCount(frames, filter), count) << frames << (filter ? " filter" : "");
  // A speed of 0 is the default: the interval never divides by zero.
  for (auto [speed, ms] : {std::pair{7u, 142u}, {30u, 33u}, {1u, 1000u}, {0u, 1000u / kDefaultPreviewSpeed}})
    EXPECT_EQ(PlaybackIntervalMs(speed), ms) << speed;
}

TEST(RenderControlTest, QualityTableAndUnknownValuesKeepThePrevious) {
  // Each value in turn, starting from the first quality; 7 and 3 are unknown.
  PreviewQuality q = kFirstQuality;
  for (auto [value, side, prefix] : {std::tuple{7u, 32u, "PREVS_"}, {1u, 64u, "PREVM_"}, {3u, 64u, "PREVM_"},
                                     {2u, 128u, "PREVL_"}}) {
    q = QualityFor(value, q);
    EXPECT_EQ(std::make_tuple(q.width, q.height, std::string(q.texturePrefix)), std::make_tuple(side, side, prefix))
        << value;
  }
  char name[16];
  TextureName(name, "PREVM_", 0);
  EXPECT_STREQ(name, "PREVM_01");
  TextureName(name, "PREVS_", 19);
  EXPECT_STREQ(name, "PREVS_20");
}

// One frame shows bestPosition, mirrored only for Direction exactly 1.0; a filter shows
// FilterPercent % of FilterFrames. Whatever a host's block or a damaged effect file holds,
// the position stays within 0..lastPosition, and a filter frame count below 1 is the default.
TEST(RenderControlTest, PositionsByMode) {
  const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
  // Filter mode, Direction, bestPosition, FilterFrames, FilterPercent: position, last position.
  const std::tuple<bool, float, float, float, float, int32_t, int32_t> cases[] = {
      {false, 0, 30, 0, 0, 30, 100},          {false, 1, 30, 0, 0, 70, 100},
      {false, 1, 30.9f, 0, 0, 70, 100},       {false, 0.5f, 30, 0, 0, 30, 100},
      {false, 0, inf, 0, 0, 100, 100},        {false, 1, inf, 0, 0, 0, 100},
      {false, 0, -1e20f, 0, 0, 0, 100},       {false, 1, -1e20f, 0, 0, 100, 100},
      {true, 1, 30, 100, 25, 25, 100},        {true, 0, 30, 10, 33, 3, 10},
      {true, 0, 0, -5, 1e9f, 100, 100},       {true, 0, 0, 1e9f, 1e9f, 1000000000, 1000000000},
      {true, 0, 0, nan, 1e30f, 100, 100},     {true, 0, 0, 0, 25, 25, 100},
      {true, 0, 0, 50, -20, 0, 50},           {true, 0, 0, 50, nan, 0, 50}};
  for (auto [filter, direction, best, frames, percent, position, last] : cases) {
    EffectSettings block{};
    block.generalValues[Direction] = direction;
    block.generalValues[FilterFrames] = frames;
    block.generalValues[FilterPercent] = percent;
    FramePosition p = PositionForFrame(0, 1, filter, block, best);
    EXPECT_EQ(std::make_pair(p.position, p.lastPosition), std::make_pair(position, last))
        << (filter ? "filter, " : "") << direction << ", " << best << ", " << frames << ", " << percent;
  }
  // Many frames: k out of frameCount - 1; whole percents of 100 come out whole.
  EffectSettings block{};
  block.generalValues[FilterFrames] = 100.0f;
  for (int k = 0; k <= 100; ++k) {
    EXPECT_EQ(PositionForFrame(k, 101, false, block, 55.0f).position, k);
    EXPECT_EQ(PositionForFrame(k, 101, false, block, 55.0f).lastPosition, 100);
    block.generalValues[FilterPercent] = float(k);
    EXPECT_EQ(PositionForFrame(0, 1, true, block, 0.0f).position, k);
  }
}

TEST(RenderControlTest, ProgressAndButtonFollowTheFrame) {
  for (auto [frame, count, percent] : {std::tuple{4, 10, 50}, {0, 10, 0}, {10, 10, 0}, {-1, 10, 0}, {1, 6, 33},
                                       {9, 10, 100}})
    EXPECT_EQ(ProgressPercent(frame, count), percent) << frame << " of " << count;
  // Render when no render runs, Stop while one does, Wait while a change restarts it.
  for (auto [frame, restarting, caption] :
       {std::tuple{-1, false, "Render"}, {-2, true, "Render"}, {10, false, "Render"}, {0, false, "Stop"},
        {3, true, "Wait..."}})
    EXPECT_STREQ(RenderCaptionText(RenderButtonCaption(frame, 10, restarting)), caption) << frame;
  for (auto [frame, inProgress] : {std::pair{0, true}, {1, false}, {-1, false}})
    EXPECT_EQ(RenderInProgress(frame, 1), inProgress) << frame;
}

// The flags as (renderFrame, stopRequested, renderBusy, restartRequested).
std::tuple<int32_t, bool, bool, bool> State(const RenderFlags& f) {
  return {f.renderFrame, f.stopRequested, f.renderBusy, f.restartRequested};
}

// The flags step by step; every interleaving of them with render threads is explored in
// tests/threads.
TEST(RenderFlagsTest, ChangesStartOneRenderOrOneRestart) {
  RenderFlags flags;
  flags.renderFrame = 6;
  EXPECT_TRUE(ClaimRenderForChange(flags)) << "no render runs: the change starts one";
  EXPECT_EQ(State(flags), std::make_tuple(-1, false, true, false));
  flags.renderFrame = 3;
  EXPECT_FALSE(ClaimRenderForChange(flags));
  EXPECT_FALSE(ClaimRenderForChange(flags));
  // The running render is asked to end early; renderFrame is left to the render thread.
  EXPECT_EQ(State(flags), std::make_tuple(3, true, true, true));
  // The render ends: it goes again once, then finishes.
  EXPECT_TRUE(RestartBeforeRelease(flags));
  EXPECT_EQ(State(flags), std::make_tuple(3, false, true, false));
  EXPECT_FALSE(RestartBeforeRelease(flags));
  EXPECT_FALSE(flags.renderBusy);
  EXPECT_FALSE(RestartAfterRelease(flags));
  // No restart while closing.
  flags.renderBusy = true;
  flags.restartRequested = true;
  flags.closing = true;
  EXPECT_FALSE(RestartBeforeRelease(flags));
  EXPECT_FALSE(flags.renderBusy);
  EXPECT_FALSE(RestartAfterRelease(flags));
}

}  // namespace
}  // namespace lmx
