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

// An installation whose organization loads (with no groups), so the module starts without
// its "Cannot continue" box.
void PlantOrganization(const lmx::test::TestInstall& install) {
  install.Write("ORGS/DEFAULT.ORG", ChunkWriter(kOrganizationHeader).bytes());
}

TEST(HostInfo, PrintsTheFieldsTheModuleFills) {
  lmx::test::TestInstall install;
  PlantOrganization(install);
  ChunkWriter w(kEffectHeader);
  w.U32(FourCC("ETYP"), 7).Text(FourCC("ENAM"), "DOORS").Text(FourCC("ELNM"), "Double Doors").U32(FourCC("VCNT"), 2);
  install.Write("EFFECTS/DOORS.LMI", w.bytes());
  test::HostRun run = test::RunHost({"info", "DOORS"}, 60000);
  ASSERT_TRUE(run.started);
  ASSERT_TRUE(run.finished) << run.output;
  EXPECT_EQ(run.exitCode, 0u) << run.output;
  EXPECT_NE(run.output.find("effectType: 7\r\nshortName: DOORS\r\nlongName: Double Doors\r\nobjectCount: 2\r\n"),
            std::string::npos)
      << run.output;
}

TEST(HostInfo, AMissingModuleIsReported) {
  test::HostRun run = test::RunHost({"info", "DOORS", "--dll", "NO_SUCH_MODULE.DLL"}, 60000);
  ASSERT_TRUE(run.finished) << run.output;
  EXPECT_EQ(run.exitCode, 1u);
  EXPECT_NE(run.output.find("cannot load NO_SUCH_MODULE.DLL"), std::string::npos) << run.output;
}

TEST(HostInfo, BadArgumentsGiveUsage) {
  test::HostRun run = test::RunHost({"info"}, 60000);
  ASSERT_TRUE(run.finished);
  EXPECT_EQ(run.exitCode, 2u);
  EXPECT_NE(run.output.find("usage:"), std::string::npos) << run.output;
}

}  // namespace
}  // namespace lmx::host
