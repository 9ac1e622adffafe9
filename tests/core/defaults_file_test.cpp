#include "config/defaults_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "support/golden_block.h"
#include "support/registry_control.h"
#include "support/test_install.h"

#ifndef _WIN32
#include <unistd.h>

#include "platform/posix/posix_seams.h"
#endif

namespace lmx {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes Pattern(size_t n, uint8_t seed) {
  Bytes b(n);
  for (size_t i = 0; i < n; ++i) b[i] = uint8_t(i * 7 + seed + i / 256);
  return b;
}

EffectSettings FromBytes(const Bytes& bytes) {
  EffectSettings block;
  std::memcpy(&block, bytes.data(), sizeof block);
  return block;
}

Bytes ToBytes(const EffectSettings& block) {
  const auto* p = reinterpret_cast<const uint8_t*>(&block);
  return Bytes(p, p + sizeof block);
}

class DefaultsFileTest : public ::testing::Test {
 protected:
  Bytes ReadFile() const {
    std::ifstream in(install_.File("Work/Defaults.LRI"), std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
  }
#ifndef _WIN32
  void TearDown() override { platform::posix::TakeShownMessages(); }
#endif
  test::TestInstall install_;
};

TEST_F(DefaultsFileTest, OnlyAWholeImageIsTaken) {
  const Bytes original = Pattern(sizeof(EffectSettings), 1);
  const Bytes file = Pattern(1100, 99);
  struct Case {
    size_t size;
    bool taken;
  };
  for (const Case& c : {Case{0, false}, Case{1015, false}, Case{1016, true}, Case{1017, true}, Case{1100, true}}) {
    SCOPED_TRACE(c.size);
    install_.Write("Work/Defaults.LRI", Bytes(file.begin(), file.begin() + long(c.size)));
    EffectSettings block = FromBytes(original);
    LoadDefaults(&block);
    EXPECT_EQ(ToBytes(block), c.taken ? Bytes(file.begin(), file.begin() + 1016) : original);
  }
}

// Every byte survives the round trip, and every build reads and writes the same file.
TEST_F(DefaultsFileTest, GoldenBlockRoundTrip) {
  const EffectSettings golden = test::GoldenBlock();
  SaveDefaults(&golden);
  SaveDefaults(&golden);  // replaces the file rather than growing it
  EXPECT_EQ(ReadFile(), test::GoldenBlockImage());
#ifndef _WIN32
  EXPECT_TRUE(platform::posix::TakeShownMessages().empty());
#endif
  EffectSettings loaded = FromBytes(Pattern(sizeof(EffectSettings), 5));
  LoadDefaults(&loaded);
  EXPECT_EQ(ToBytes(loaded), ToBytes(golden));
}

TEST_F(DefaultsFileTest, LoadWithoutWorkDirectoryOrPathChangesNothing) {
  const Bytes original = Pattern(sizeof(EffectSettings), 5);
  std::filesystem::remove_all(install_.File("Work"));
  EffectSettings block = FromBytes(original);
  LoadDefaults(&block);
  EXPECT_EQ(ToBytes(block), original);
  test::DeleteRegistryValue("Path");
  LoadDefaults(&block);
  EXPECT_EQ(ToBytes(block), original);
}

// A failing save shows a message box with no owner window, which would wait for a click
// under Wine; natively the messages are recorded and checked here.
#ifndef _WIN32
using platform::posix::ShownMessage;
using platform::posix::TakeShownMessages;

void ExpectOneMessage(const char* text) {
  std::vector<ShownMessage> shown = TakeShownMessages();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, text);
  EXPECT_EQ(shown[0].caption, "Could not save defaults");
}

TEST_F(DefaultsFileTest, SaveFailuresAreEachReported) {
  const EffectSettings block = FromBytes(Pattern(sizeof(EffectSettings), 7));
  // The write itself fails: a file that cannot take the bytes.
  ASSERT_EQ(symlink("/dev/full", install_.File("Work/Defaults.LRI").c_str()), 0);
  SaveDefaults(&block);
  ExpectOneMessage("Could not write to defaults file.");
  std::filesystem::remove(install_.File("Work/Defaults.LRI"));

  std::filesystem::remove_all(install_.File("Work"));
  SaveDefaults(&block);
  ExpectOneMessage("Could not create defaults file.");

  test::DeleteRegistryValue("Path");
  SaveDefaults(&block);
  ExpectOneMessage("Error settings filename for defaults.");
}
#endif

}  // namespace
}  // namespace lmx
