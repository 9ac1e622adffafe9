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
  info.longName[0] = 0;
  EXPECT_EQ(DisplayName(info), "DOORS") << "the short name stands in";
  EXPECT_EQ(DisplayName(EffectInfo{}), "");
  // Names without their zeros stop at the ends of their fields.
  std::memset(&info, 'x', sizeof info);
  info.effectType = 0;
  info.objectCount = 0;
  std::string text = DescribeEffectInfo(info);
  EXPECT_NE(text.find("shortName: " + std::string(9, 'x') + "\n"), std::string::npos);
  EXPECT_NE(text.find("longName: " + std::string(43, 'x') + "\n"), std::string::npos);
}

}  // namespace
}  // namespace lmx::host
