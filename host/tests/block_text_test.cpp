// The readable forms of the block: what the host window and the autopilot's dump show.
#include <gtest/gtest.h>

#include <cstring>
#include <map>

#include "block_text.h"

namespace lmx::host {
namespace {

EffectSettings Empty() {
  EffectSettings block;
  std::memset(&block, 0, sizeof block);
  return block;
}

std::map<std::string, std::string> ValuesOf(const EffectSettings& block) {
  std::map<std::string, std::string> values;
  for (const auto& [label, value] : MainValues(block)) values[label] = value;
  return values;
}

TEST(BlockText, MainValuesNameTheCheckedChoices) {
  EffectSettings block = Empty();
  block.generalValues[Direction] = 1;
  block.generalValues[RenderMode] = 2;
  block.generalValues[Quality] = 1;
  block.generalValues[AntiAliasing] = 4;
  block.generalValues[Lighting] = 1;
  block.generalValues[BlurPercent] = 35;
  block.generalValues[BlurCount] = 3;
  block.generalValues[LightDirection] = 270;
  block.generalValues[FrameField] = 2;
  auto v = ValuesOf(block);
  EXPECT_EQ(v["Type"], "Fly-On");
  EXPECT_EQ(v["Render"], "Wire");
  EXPECT_EQ(v["Quality"], "Best");
  EXPECT_EQ(v["Image quality"], "Fastest");
  EXPECT_EQ(v["Antialiasing"], "4");
  EXPECT_EQ(v["Lighting"], "on");
  EXPECT_EQ(v["Shadows"], "off");
  EXPECT_EQ(v["Blur"], "35%, 3 copies");
  EXPECT_EQ(v["Light direction"], "270 degrees");
  EXPECT_EQ(v["Frame/field"], "Even");
}

TEST(BlockText, ValuesNoChoiceNamesShowAsNumbers) {
  // A host may hold anything: a Direction of 2 checks no radio button on the page.
  EffectSettings block = Empty();
  block.generalValues[Direction] = 2;
  block.generalValues[RenderMode] = -1;
  block.generalValues[Shadows] = 0.5f;
  auto v = ValuesOf(block);
  EXPECT_EQ(v["Type"], "2");
  EXPECT_EQ(v["Render"], "-1");
  EXPECT_EQ(v["Shadows"], "0.5");
}

TEST(BlockText, EffectNameWithoutItsZeroStopsAtTheField) {
  EffectSettings block = Empty();
  std::memset(block.effectName, 'Q', sizeof block.effectName);
  EXPECT_EQ(EffectNameOf(block), std::string(12, 'Q'));
  std::strcpy(block.effectName, "DOORS");
  EXPECT_EQ(EffectNameOf(block), "DOORS");
}

TEST(BlockText, DumpShowsEveryGeneralValueAndTheUsedRows) {
  EffectSettings block = Empty();
  std::strcpy(block.effectName, "SPIN");
  block.generalValues[29] = 9;
  block.objectValues[3][PathRotation] = 90;
  block.specialCount = 2;
  block.specialValues[1] = {0, 0x1234, 2.5f};
  std::string dump = DumpBlock(block);
  EXPECT_NE(dump.find("effectName: \"SPIN\""), std::string::npos);
  EXPECT_NE(dump.find("[29] (29) = 9"), std::string::npos);
  EXPECT_NE(dump.find("object 3: 0 0 0 0 0 90 0 0 0 0"), std::string::npos);
  EXPECT_EQ(dump.find("object 0:"), std::string::npos) << "empty rows are left out";
  EXPECT_NE(dump.find("slot 1: tag 4660, value 2.5"), std::string::npos);
  EXPECT_EQ(dump.find("slot 2:"), std::string::npos);
}

TEST(BlockText, DumpNeverReadsPastTheTenSlots) {
  EffectSettings block = Empty();
  block.specialCount = 4000000000u;
  std::string dump = DumpBlock(block);
  EXPECT_NE(dump.find("specialCount: 4000000000"), std::string::npos);
  EXPECT_NE(dump.find("slot 9:"), std::string::npos);
  EXPECT_EQ(dump.find("slot 10:"), std::string::npos);
}

}  // namespace
}  // namespace lmx::host
