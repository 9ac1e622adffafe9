#include <gtest/gtest.h>

#include <cstring>

#include "info_text.h"

namespace lmx::host {
namespace {

TEST(InfoText, PrintsEveryField) {
  EffectInfo info = {};
  info.effectType = 3;
  std::strcpy(info.shortName, "DOORS");
  std::strcpy(info.longName, "Double Doors");
  info.objectCount = 2;
  EXPECT_EQ(DescribeEffectInfo(info), "effectType: 3\nshortName: DOORS\nlongName: Double Doors\nobjectCount: 2\n");
  EXPECT_EQ(DisplayName(info), "Double Doors");
}

TEST(InfoText, FieldsWithoutTheirZerosStopAtTheirEnds) {
  EffectInfo info;
  std::memset(&info, 'x', sizeof info);
  info.effectType = 0;
  info.objectCount = 0;
  std::string text = DescribeEffectInfo(info);
  EXPECT_NE(text.find("shortName: " + std::string(9, 'x') + "\n"), std::string::npos);
  EXPECT_NE(text.find("longName: " + std::string(43, 'x') + "\n"), std::string::npos);
}

TEST(InfoText, DisplayNameFallsBackToTheShortName) {
  EffectInfo info = {};
  EXPECT_EQ(DisplayName(info), "");
  std::strcpy(info.shortName, "PLAIN");
  EXPECT_EQ(DisplayName(info), "PLAIN");
}

}  // namespace
}  // namespace lmx::host
