#include "selection/settings_access.h"

#include <gtest/gtest.h>

#include <cstring>
#include <utility>

namespace lmx {
namespace {

EffectSettings Patterned() {
  EffectSettings block;
  auto* bytes = reinterpret_cast<uint8_t*>(&block);
  for (size_t i = 0; i < sizeof block; ++i) bytes[i] = uint8_t(i * 13 + 5);
  block.specialCount = 3;
  return block;
}

bool Same(const EffectSettings& a, const EffectSettings& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

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
  const EffectSettings original = Patterned();
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
  EffectSettings block = Patterned();
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
