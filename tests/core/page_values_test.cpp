// What the Options, Objects and Filter pages read from and write into the block.
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
  StoreOptionsValues(controls_, selection_, &block_, false);
  const float expected[kGeneralCount] = {0, 2, 1, 1, 4, 1, 0, 100, 10, 1009, 1010, 270, 1012, 1013, 1014, 55, 2};
  for (int i = 0; i < kGeneralCount; ++i) {
    const float want = i <= 16 && i != 9 && i != 10 && i != 12 && i != 13 && i != 14 ? expected[i] : before.generalValues[i];
    EXPECT_EQ(block_.generalValues[i], want) << "general value " << i;
  }
  EXPECT_TRUE(SameObjects(block_, before)) << "switch off: no exchange";
  EXPECT_EQ(std::memcmp(block_.effectName, before.effectName, sizeof before.effectName), 0);
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
  EXPECT_EQ(std::memcmp(&block, &want, sizeof block), 0);

  // Rows from 20 up read as zeros and take no writes.
  ObjectValues far = ReadObjectValues(&block, 20);
  EXPECT_EQ(far.shine + far.luminosity + far.trailSpacing, 0);
  const EffectSettings kept = block;
  StoreObjectValues(&block, 20, v);
  StoreObjectValues(&block, -1, v);
  EXPECT_EQ(std::memcmp(&block, &kept, sizeof block), 0);
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

  v.source = -1;  // no list entry selected: the source stays
  v.frames = 10;
  v.percent = 100;
  v.centerObjects = false;
  StoreFilterValues(&block, v);
  EXPECT_EQ(block.generalValues[FilterSource], 5.0f);
  EXPECT_EQ(block.generalValues[FilterFrames], 10.0f);
  EXPECT_EQ(block.generalValues[FilterPercent], 100.0f);
  EXPECT_EQ(block.generalValues[CenterObjects], 0.0f);
  v.source = 1;
  StoreFilterValues(&block, v);
  EXPECT_EQ(block.generalValues[FilterSource], 1.0f);
  for (int i = 0; i < kGeneralCount; ++i)
    if (i < 10 || i > 14 || i == 11) {
      EXPECT_EQ(block.generalValues[i], before.generalValues[i]) << i;
    }
}

}  // namespace
}  // namespace lmx
