#include "selection/settings_access.h"

#include <gtest/gtest.h>

#include <cstring>

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
  const auto* bytes = reinterpret_cast<const uint8_t*>(&block);
  float f;
  std::memcpy(&f, bytes + 12 + 4 * 12, 4);
  EXPECT_EQ(f, 120.0f);
  std::memcpy(&f, bytes + 132 + 4 * (10 * 19 + 7), 4);
  EXPECT_EQ(f, 7.0f);
  std::memcpy(&f, bytes + 132 + 4 * (10 * 2 + 5), 4);
  EXPECT_EQ(f, 90.0f);
  EXPECT_EQ(GetGeneral(&block, FilterFrames), 120.0f);
  EXPECT_EQ(GetObjectValue(&block, 19, TrailSpacing), 7.0f);
}

TEST(SettingsAccessTest, OutOfRangeReadsZeroAndWritesNothing) {
  const EffectSettings original = Patterned();
  EffectSettings block = original;
  EXPECT_EQ(GetGeneral(&block, 30), 0.0f);
  EXPECT_EQ(GetGeneral(&block, -1), 0.0f);
  EXPECT_EQ(GetObjectValue(&block, 20, 0), 0.0f);
  EXPECT_EQ(GetObjectValue(&block, 0, 10), 0.0f);
  EXPECT_EQ(GetObjectValue(&block, -1, 0), 0.0f);
  SetGeneral(&block, 30, 1.0f);
  SetGeneral(&block, -1, 1.0f);
  SetObjectValue(&block, 20, 0, 1.0f);
  SetObjectValue(&block, 0, 10, 1.0f);
  SetObjectValue(&block, 0, -1, 1.0f);
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
