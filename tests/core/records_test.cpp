// The leading bytes of each library file kind.
#include <gtest/gtest.h>

#include <string>

#include "library/bytes.h"
#include "library/effect_record.h"
#include "library/organization.h"
#include "library/texture_reader.h"

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
