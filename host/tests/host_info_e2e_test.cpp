// lmxhost.exe's `info` against the real LMX_GUI.DLL and a planted installation.
#include <gtest/gtest.h>

#include "common/chunk_writer.h"
#include "library/bytes.h"
#include "library/effect_record.h"
#include "library/organization.h"
#include "run_host.h"
#include "support/test_install.h"

namespace lmx::host {
namespace {

TEST(HostInfo, PrintsTheFieldsTheModuleFills) {
  lmx::test::TestInstall install;
  // An organization that loads (with no groups), so the module starts without its
  // "Cannot continue" box.
  install.Write("ORGS/DEFAULT.ORG", ChunkWriter(kOrganizationHeader).bytes());
  ChunkWriter w(kEffectHeader);
  w.U32(FourCC("ETYP"), 7).Text(FourCC("ENAM"), "DOORS").Text(FourCC("ELNM"), "Double Doors").U32(FourCC("VCNT"), 2);
  install.Write("EFFECTS/DOORS.LMI", w.bytes());
  EXPECT_TRUE(test::Ended(test::RunHost({"info", "DOORS"}, 60000), 0,
                          "effectType: 7\r\nshortName: DOORS\r\nlongName: Double Doors\r\nobjectCount: 2\r\n"));
}

TEST(HostInfo, AMissingModuleOrBadArgumentsAreReported) {
  EXPECT_TRUE(test::Ended(test::RunHost({"info", "DOORS", "--dll", "NO_SUCH_MODULE.DLL"}, 60000), 1,
                          "cannot load NO_SUCH_MODULE.DLL"));
  EXPECT_TRUE(test::Ended(test::RunHost({"info"}, 60000), 2, "usage:"));
}

}  // namespace
}  // namespace lmx::host
