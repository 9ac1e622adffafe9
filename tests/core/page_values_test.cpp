// What the Options, Objects and Filter pages read from and write into the block, and the
// accessors they reach it through.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <iterator>
#include <memory>
#include <tuple>
#include <utility>

#include "library/bytes.h"
#include "selection/filter_values.h"
#include "selection/object_values.h"
#include "selection/options_values.h"
#include "selection/settings_access.h"
#include "selection/whole_number.h"

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
  EXPECT_EQ(WholeNumber(37.9f), 37);
  EXPECT_EQ(WholeNumber(-2.7f), -2);
  EXPECT_EQ(WholeNumber(std::nanf("")), 0);
  EXPECT_EQ(WholeNumber(1e30f), std::numeric_limits<int32_t>::max());
  EXPECT_EQ(WholeNumber(-1e30f), std::numeric_limits<int32_t>::min());
  EXPECT_EQ(WholeNumber(std::numeric_limits<float>::infinity()), std::numeric_limits<int32_t>::max());
}

class OptionsValuesTest : public ::testing::Test {
 protected:
  // direction, render mode, quality, image quality, frame/field, lighting, shadows,
  // anti-aliasing, blur percent and count, light direction, transition period
  const OptionsValues controls_{0, 2, 1, 1, 2, true, false, 4, 100, 10, 270, 55};
  EffectSettings block_ = Patterned();
  SelectionState selection_;
};

TEST_F(OptionsValuesTest, ReadTruncatesEveryValue) {
  block_.generalValues[Direction] = 1.0f;
  block_.generalValues[RenderMode] = 3.0f;
  block_.generalValues[Lighting] = 0.0f;
  block_.generalValues[Shadows] = 0.4f;  // truncates to 0: unchecked
  block_.generalValues[BlurPercent] = 150.9f;
  OptionsValues v = ReadOptionsValues(&block_);
  EXPECT_EQ(v.direction, 1);
  EXPECT_EQ(v.renderMode, 3);
  EXPECT_FALSE(v.lighting);
  EXPECT_FALSE(v.shadows);
  EXPECT_EQ(v.blurPercent, 150);
  EXPECT_EQ(v.antiAliasing, 1004);
  EXPECT_EQ(v.transitionPeriod, 1015);
  EXPECT_EQ(v.frameField, 1016);
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

// Which effects and switches exchange rows 0 and 1 is the selection's rule; the store asks
// for it on a change of direction only.
TEST_F(OptionsValuesTest, StoreExchangesObjectsOncePerChangeOfDirection) {
  const EffectSettings original = block_;
  EffectSettings swapped = original;
  std::swap(swapped.objectValues[0], swapped.objectValues[1]);
  OptionsValues v = controls_;
  v.direction = 1;  // "Fly-On"
  block_.generalValues[Direction] = 0.0f;
  StoreOptionsValues(v, selection_, &block_, true);  // no current effect
  EXPECT_TRUE(SameObjects(block_, original));

  selection_.currentEffect = Effect(1);
  block_.generalValues[Direction] = 0.0f;
  StoreOptionsValues(v, selection_, &block_, true);
  EXPECT_TRUE(SameObjects(block_, swapped));
  EXPECT_EQ(block_.generalValues[Direction], 1.0f);
  StoreOptionsValues(v, selection_, &block_, true);  // "Fly-On" again: no change
  EXPECT_TRUE(SameObjects(block_, swapped));
  v.direction = 0;  // back to "Fly-Off"
  StoreOptionsValues(v, selection_, &block_, true);
  EXPECT_TRUE(SameObjects(block_, original));
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

// The accessors every page goes through: each value at its offset, nothing outside the block.
// A block of distinct bytes.
EffectSettings BytePatterned() {
  EffectSettings block;
  auto* bytes = reinterpret_cast<uint8_t*>(&block);
  for (size_t i = 0; i < sizeof block; ++i) bytes[i] = uint8_t(i * 13 + 5);
  block.specialCount = 3;
  return block;
}

TEST(SettingsAccessTest, ValuesLandAtTheirOffsets) {
  EffectSettings block{};
  SetGeneral(&block, FilterFrames, 120.0f);
  SetObjectValue(&block, 19, TrailSpacing, 7.0f);
  SetObjectValue(&block, 2, PathRotation, 90.0f);
  for (auto [offset, value] : {std::pair{12 + 4 * 12, 120.0f}, {132 + 4 * (10 * 19 + 7), 7.0f}, {132 + 4 * (10 * 2 + 5), 90.0f}}) {
    float f;
    std::memcpy(&f, reinterpret_cast<const uint8_t*>(&block) + offset, 4);
    EXPECT_EQ(f, value) << offset;
  }
  EXPECT_EQ(GetGeneral(&block, FilterFrames), 120.0f);
  EXPECT_EQ(GetObjectValue(&block, 19, TrailSpacing), 7.0f);
}

TEST(SettingsAccessTest, OutOfRangeReadsZeroAndWritesNothing) {
  const EffectSettings original = BytePatterned();
  EffectSettings block = original;
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
  EXPECT_TRUE(Same(block, original));

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
}

TEST(SettingsAccessTest, EffectNameStaysInsideItsField) {
  EffectSettings block = BytePatterned();
  const EffectSettings original = block;
  char name[12];
  GetEffectName(&block, name);  // no zero in all 12 bytes: 11 characters come out
  EXPECT_EQ(std::strlen(name), 11u);
  EXPECT_EQ(std::memcmp(name, block.effectName, 11), 0);

  SetEffectName(&block, "TWELVELETTERS");
  GetEffectName(&block, name);
  EXPECT_STREQ(name, "TWELVELETTE");
  SetEffectName(&block, "FX");
  GetEffectName(&block, name);
  EXPECT_STREQ(name, "FX");
  // Only the name's bytes and its zero change; the rest of the block is untouched.
  EXPECT_EQ(std::memcmp(reinterpret_cast<const uint8_t*>(&block) + 12, reinterpret_cast<const uint8_t*>(&original) + 12,
                        sizeof block - 12),
            0);
  GetEffectName(nullptr, name);
  EXPECT_STREQ(name, "");
}

}  // namespace
}  // namespace lmx
