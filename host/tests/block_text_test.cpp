// The readable forms of the block: what the host window and the autopilot's dump show.
#include <gtest/gtest.h>

#include <cstring>
#include <map>

#include "block_text.h"

namespace lmx::host {
namespace {

std::map<std::string, std::string> ValuesOf(const EffectSettings& block) {
  std::map<std::string, std::string> values;
  for (const auto& [label, value] : MainValues(block)) values[label] = value;
  return values;
}

TEST(BlockText, MainValuesNameTheCheckedChoicesOrShowNumbers) {
  // A host may hold anything: a Direction of 2 checks no radio button on the page.
  struct Case {
    int index;
    float value;
    const char* label;
    const char* shown;
  };
  const Case cases[] = {{Direction, 1, "Type", "Fly-On"},          {Direction, 2, "Type", "2"},
                        {RenderMode, 2, "Render", "Wire"},         {RenderMode, -1, "Render", "-1"},
                        {Quality, 1, "Quality", "Best"},           {ImageQuality, 0, "Image quality", "Fastest"},
                        {AntiAliasing, 4, "Antialiasing", "4"},    {Lighting, 1, "Lighting", "on"},
                        {Shadows, 0, "Shadows", "off"},            {Shadows, 0.5f, "Shadows", "0.5"},
                        {LightDirection, 270, "Light direction", "270 degrees"},
                        {FrameField, 2, "Frame/field", "Even"}};
  for (const Case& c : cases) {
    EffectSettings block{};
    block.generalValues[c.index] = c.value;
    EXPECT_EQ(ValuesOf(block)[c.label], c.shown) << c.label << " " << c.value;
  }
  EffectSettings block{};
  block.generalValues[BlurPercent] = 35;
  block.generalValues[BlurCount] = 3;
  EXPECT_EQ(ValuesOf(block)["Blur"], "35%, 3 copies");
}

TEST(BlockText, EffectNameWithoutItsZeroStopsAtTheField) {
  EffectSettings block{};
  std::memset(block.effectName, 'Q', sizeof block.effectName);
  EXPECT_EQ(EffectNameOf(block), std::string(12, 'Q'));
  std::strcpy(block.effectName, "DOORS");
  EXPECT_EQ(EffectNameOf(block), "DOORS");
}

TEST(BlockText, DumpShowsEveryGeneralValueAndTheUsedRows) {
  EffectSettings block{};
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
  // Never past the ten slots.
  block.specialCount = 4000000000u;
  dump = DumpBlock(block);
  EXPECT_NE(dump.find("specialCount: 4000000000"), std::string::npos);
  EXPECT_NE(dump.find("slot 9:"), std::string::npos);
  EXPECT_EQ(dump.find("slot 10:"), std::string::npos);
}

}  // namespace
}  // namespace lmx::host
