// Records shared with the host and the engine: where each named value lies in the bytes.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "library/bytes.h"
#include "library/effect_record.h"
#include "library/organization.h"
#include "library/texture_reader.h"
#include "model/effect_settings.h"
#include "model/render_job.h"

namespace lmx {
namespace {

size_t OffsetOfObject(const EffectSettings& s, int object, int column) {
  return reinterpret_cast<const uint8_t*>(&s.objectValues[object][column]) - reinterpret_cast<const uint8_t*>(&s);
}

TEST(Records, SettingsValuesLieWhereHostAndEngineReadThem) {
  EffectSettings s{};
  EXPECT_EQ(OffsetOfObject(s, 0, Shine), 132u);
  EXPECT_EQ(OffsetOfObject(s, 3, TrailSpacing), 132u + 4 * (10 * 3 + 7));
  EXPECT_EQ(OffsetOfObject(s, 19, 9), 1016u - 4 - 80 - 4);
  uint8_t bytes[sizeof s] = {};
  float frames = 120.0f;
  std::memcpy(bytes + 12 + 4 * FilterFrames, &frames, 4);
  std::memcpy(&s, bytes, sizeof s);
  EXPECT_EQ(s.generalValues[FilterFrames], 120.0f);
  EXPECT_EQ(FrameField, 16);
  EXPECT_EQ(LightDirection, 11);
}

}  // namespace
}  // namespace lmx

namespace lmx {
namespace {

TEST(Records, HeaderValuesAreTheFilesLeadingBytes) {
  auto bytes = [](uint32_t value) {
    uint8_t b[4];
    StoreU32(b, value);
    return std::string(reinterpret_cast<const char*>(b), 4);
  };
  EXPECT_EQ(bytes(kEffectHeader), "LMXI");
  EXPECT_EQ(bytes(kOrganizationHeader), "LMXG");
  EXPECT_EQ(bytes(kTextureHeader), "LMXT");
}

}  // namespace
}  // namespace lmx
