// The host's block file: exactly one block in, exactly one block out, nothing half-written.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <vector>

#include "block_file.h"
#include "support/golden_block.h"
#include "support/test_install.h"

namespace fs = std::filesystem;

namespace lmx::host {
namespace {

class BlockFileTest : public ::testing::Test {
 protected:
  std::string Path(const std::string& name) const { return install_.File(name); }
  static EffectSettings Patterned() {
    EffectSettings block;
    auto* bytes = reinterpret_cast<uint8_t*>(&block);
    for (size_t i = 0; i < sizeof block; ++i) bytes[i] = static_cast<uint8_t>(i * 7 + 3);
    return block;
  }
  static bool AllZero(const EffectSettings& block) {
    const EffectSettings zero{};
    return std::memcmp(&block, &zero, sizeof block) == 0;
  }

  lmx::test::TestInstall install_;
};

// Every build reads and writes the same file; a save replaces an older block and leaves
// nothing beside it.
TEST_F(BlockFileTest, EveryBuildReadsAndWritesTheSameFile) {
  install_.Write("saved.lri", std::vector<uint8_t>(1016, 0xEE));
  ASSERT_TRUE(SaveBlockFile(Path("saved.lri"), test::GoldenBlock()));
  EXPECT_EQ(install_.Read("saved.lri"), test::GoldenBlockImage());
  EXPECT_FALSE(fs::exists(Path("saved.lri.new")));
  install_.Write("golden.lri", test::GoldenBlockImage());
  EffectSettings loaded;
  ASSERT_EQ(LoadBlockFile(Path("golden.lri"), &loaded), BlockLoad::Loaded);
  const EffectSettings golden = test::GoldenBlock();
  EXPECT_EQ(std::memcmp(&loaded, &golden, sizeof golden), 0);
}

TEST_F(BlockFileTest, AnythingButOneBlockGivesAnEmptyBlock) {
  std::vector<std::pair<std::string, BlockLoad>> cases = {{"none.lri", BlockLoad::Missing}};
  for (size_t size : {0u, 1u, 1015u, 1017u, 4096u}) {
    cases.push_back({std::to_string(size) + ".lri", BlockLoad::WrongSize});
    install_.Write(cases.back().first, std::vector<uint8_t>(size, 0x41));
  }
  for (const auto& [name, expected] : cases) {
    EffectSettings block = Patterned();
    EXPECT_EQ(LoadBlockFile(Path(name), &block), expected) << name;
    EXPECT_TRUE(AllZero(block)) << name;
  }
  fs::create_directories(Path("d.lri"));  // a directory is not a block
  EffectSettings block = Patterned();
  EXPECT_NE(LoadBlockFile(Path("d.lri"), &block), BlockLoad::Loaded);
  EXPECT_TRUE(AllZero(block));
  EXPECT_NE(DescribeBlockLoad(BlockLoad::Missing, "x").find("x"), std::string::npos);
  EXPECT_EQ(DescribeBlockLoad(BlockLoad::Loaded, "x"), "");
}

TEST_F(BlockFileTest, UnwritablePlaceFailsAndLeavesNothing) {
  std::string path = Path("no-such-folder/c.lri");
  EXPECT_FALSE(SaveBlockFile(path, Patterned()));
  EXPECT_FALSE(fs::exists(path));
  EXPECT_FALSE(fs::exists(path + ".new"));
}

}  // namespace
}  // namespace lmx::host
