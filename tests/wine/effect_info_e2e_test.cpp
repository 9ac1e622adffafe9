// The host's road to one effect's description: registry, installation directory, effect
// file, and the 60-byte structure, through the real DLL.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

#include "common/chunk_writer.h"
#include "library/bytes.h"
#include "library/effect_record.h"
#include "model/effect_info.h"
#include "platform/module.h"
#include "sheet_harness.h"
#include "support/test_install.h"

namespace lmx {
namespace {

using GetEffectInfoFn = int16_t(__cdecl*)(const char*, EffectInfo*);

template <class Fn>
Fn Export(const platform::LoadedModule& dll, const char* name) {
  return platform::ProcAs<Fn>(dll.Find(name));
}

class EffectInfoE2E : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dll_.IsLoaded()) << "LMX_GUI.DLL did not load";
    byName_ = Export<GetEffectInfoFn>(dll_, "LMXGUI_GetEffectInfo");
    byOrdinal_ = Export<GetEffectInfoFn>(dll_, MAKEINTRESOURCEA(3));
    ASSERT_NE(byName_, nullptr);
    ASSERT_EQ(byName_, byOrdinal_);
  }

  // Fills a structure pre-set to a pattern, so that every byte the call leaves is seen.
  EffectInfo Call(const char* name) {
    EffectInfo info;
    std::memset(&info, 0xA5, sizeof info);
    EXPECT_EQ(byName_(name, &info), 0);
    return info;
  }

  test::TestInstall install_;  // before the DLL loads: its start-up reads the registry
  // The installation has no organization: the module reports that once as it loads.
  test::MessageBoxCatcher boxes_;
  platform::LoadedModule dll_{"LMX_GUI.DLL"};
  GetEffectInfoFn byName_ = nullptr;
  GetEffectInfoFn byOrdinal_ = nullptr;
};

TEST_F(EffectInfoE2E, FullFile) {
  ChunkWriter w(kEffectHeader);
  w.U32(FourCC("ETYP"), 1).Text(FourCC("ENAM"), "DOORS").Text(FourCC("ELNM"), "Double Doors")
      .Text(FourCC("DESC"), "Two doors open.").U32(FourCC("VCNT"), 2);
  install_.Write("EFFECTS/DOORS.LMI", w.bytes());
  EffectInfo info = Call("DOORS");

  uint8_t expected[60] = {};
  expected[0] = 1;
  std::memcpy(expected + 4, "DOORS", 6);
  std::memcpy(expected + 13, "Double Doors", 13);
  expected[56] = 2;
  EXPECT_EQ(std::memcmp(&info, expected, 60), 0) << "byte-for-byte layout of the structure";
}

TEST_F(EffectInfoE2E, OrdinalsMatchNames) {
  void* about = dll_.Find(MAKEINTRESOURCEA(1));
  void* select = dll_.Find(MAKEINTRESOURCEA(2));
  ASSERT_NE(about, nullptr);
  ASSERT_NE(select, nullptr);
  EXPECT_EQ(about, dll_.Find("LMXGUI_About"));
  EXPECT_EQ(select, dll_.Find("LMXGUI_Select"));
}

}  // namespace
}  // namespace lmx
