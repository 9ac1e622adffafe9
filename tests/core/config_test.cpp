// The installation's configuration: registry values, library paths, the Settings page's
// values, the engine list and the defaults file.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "config/defaults_file.h"
#include "config/engine_list.h"
#include "config/library_path.h"
#include "config/registry.h"
#include "selection/settings_values.h"
#include "support/golden_block.h"
#include "support/registry_control.h"
#include "support/test_install.h"

#ifndef _WIN32
#include <unistd.h>

#include "platform/posix/posix_seams.h"
#endif

namespace lmx {
namespace {

class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override { test::ResetRegistry(true); }
  void TearDown() override { test::ResetRegistry(false); }
};

TEST_F(RegistryTest, DwordReadsStoredBytesOrZero) {
  test::SetRegistryDword("Prev_Frames", 0x12345678);
  test::SetRegistryString("Eff_Display", "1");  // "1" and its zero: two bytes
  test::SetRegistryString("Long", "12345");     // six bytes do not fit in four
  for (auto [name, value] :
       {std::pair{"Missing", 0u}, {"Prev_Frames", 0x12345678u}, {"Eff_Display", 49u}, {"Long", 0u}})
    EXPECT_EQ(ReadRegistryDword(name), value) << name;
}

TEST_F(RegistryTest, StringReadRespectsBufferSize) {
  test::SetRegistryString("OrgFile", "DEFAULT");
  test::SetRegistryBytes("Raw", {'A', 'B', 'C'});  // stored without its terminating zero
  // Value, buffer size, the text read ("" when refused): a value and its zero must fit.
  for (auto [name, size, text] : {std::tuple{"OrgFile", 8, "DEFAULT"}, {"OrgFile", 7, ""}, {"Missing", 8, ""},
                                  {"Raw", 8, "ABC"}, {"Raw", 3, ""}}) {
    std::vector<char> buffer(size_t(size), 'x');
    EXPECT_EQ(ReadRegistryString(buffer.data(), uint32_t(size), name), *text != 0) << name << " in " << size;
    if (*text) {
      EXPECT_STREQ(buffer.data(), text) << name;
    }
  }
}

TEST_F(RegistryTest, WritesStoreTypedValuesAndNeverCreateTheKey) {
  EXPECT_TRUE(WriteRegistryDword("Prev_Speed", 0x01020304));
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(test::GetRegistryBytes("Prev_Speed", &bytes));
  EXPECT_EQ(bytes, (std::vector<uint8_t>{4, 3, 2, 1}));
  EXPECT_TRUE(WriteRegistryString("Engine", "RND_002"));
  ASSERT_TRUE(test::GetRegistryBytes("Engine", &bytes));
  EXPECT_EQ(bytes.size(), 8u) << "the terminating zero is part of the stored length";

  test::ResetRegistry(false);
  EXPECT_FALSE(WriteRegistryDword("Prev_Speed", 1));
  EXPECT_FALSE(WriteRegistryString("Engine", "x"));
  EXPECT_EQ(ReadRegistryDword("Prev_Speed"), 0u);
  EXPECT_FALSE(test::GetRegistryBytes("Engine", &bytes));
}

TEST_F(RegistryTest, LibraryPathJoinsPiecesAndFailsWhenTooLong) {
  const std::string fits(kShortPathSize - 1 - std::strlen("\\EFFECTS\\ABCDEFGH.LMI"), 'p');
  // The Path value (none at first), folder, name, extension: the path built, "" when it fails.
  const std::tuple<std::string, const char*, const char*, const char*, std::string> cases[] = {
      {"", "EFFECTS", "X", "LMI", ""},
      {"C:\\LMX", "EFFECTS", "TILES", "LMI", "C:\\LMX\\EFFECTS\\TILES.LMI"},
      {"C:\\LMX", "", "LMX", "BMP", "C:\\LMX\\\\LMX.BMP"},
      {"C:\\LMX\\", "LIBS", "LMX", "DLL", "C:\\LMX\\\\LIBS\\LMX.DLL"},
      // Exactly fitting, one byte too long; a Path longer than the buffer fails at the read.
      {fits, "EFFECTS", "ABCDEFGH", "LMI", fits + "\\EFFECTS\\ABCDEFGH.LMI"},
      {fits + "p", "EFFECTS", "ABCDEFGH", "LMI", ""},
      {std::string(200, 'q'), "EFFECTS", "X", "LMI", ""}};
  for (const auto& [path, folder, name, extension, built] : cases) {
    if (!path.empty()) test::SetRegistryString("Path", path);
    char guarded[kShortPathSize + 8];
    std::memset(guarded, '#', sizeof guarded);
    EXPECT_EQ(BuildLibraryPath(guarded, kShortPathSize, folder, name, extension), !built.empty()) << path;
    if (!built.empty()) {
      EXPECT_EQ(std::string(guarded), built);
    }
    EXPECT_EQ(std::string(guarded + kShortPathSize, 8), "########") << "nothing past the buffer changes";
  }
}

// The Settings page's ten values as the registry keeps them.
using SettingsValuesTest = RegistryTest;

// The ten values in the page's order, a string that is none as "-".
std::string Text(const SettingsValues& v) {
  std::ostringstream s;
  auto text = [](const std::optional<std::string>& t) { return t ? "'" + *t + "'" : std::string("-"); };
  s << v.effDisplay << ' ' << text(v.orgFile) << ' ' << v.effAutoreverse << ' ' << v.prevQuality << ' '
    << text(v.prevEngine) << ' ' << v.prevFrames << ' ' << v.prevRender << ' ' << v.prevSpeed << ' '
    << text(v.engine) << ' ' << v.rndLogging;
  return s.str();
}

// An engine entry is stored up to its first blank; one without a blank is stored whole.
TEST_F(SettingsValuesTest, WritesAllTenValuesCuttingEngineEntriesAtTheFirstBlank) {
  WriteSettingsValues({1, "MYORG", 1, 2, "RND_002 (Portable)", 20, 1, 15, "RND_003\r", 2});
  EXPECT_EQ(Text(ReadSettingsValues()), "1 'MYORG' 1 2 'RND_002' 20 1 15 'RND_003\r' 2");
}

TEST_F(SettingsValuesTest, ListsWithoutSelectionLeaveTheirValues) {
  test::SetRegistryString("OrgFile", "KEEP");
  test::SetRegistryString("Prev_Engine", "RND_001");
  SettingsValues v;  // no list selected
  v.effDisplay = 2;
  WriteSettingsValues(v);
  EXPECT_EQ(Text(ReadSettingsValues()), "2 'KEEP' 0 0 'RND_001' 0 0 0 - 0");
}

TEST_F(SettingsValuesTest, MissingValuesAndMissingKey) {
  SettingsValues v = ReadSettingsValues();
  EXPECT_EQ(Text(v), "0 - 0 0 - 0 0 0 - 0");

  test::ResetRegistry(false);  // every store is silent and creates nothing
  v.prevFrames = 30;
  v.orgFile = "X";
  WriteSettingsValues(v);
  EXPECT_EQ(Text(ReadSettingsValues()), "0 - 0 0 - 0 0 0 - 0");
}


using Lines = std::vector<std::string>;

std::vector<uint8_t> TextBytes(const std::string& text) { return {text.begin(), text.end()}; }

// Each text and the lines it gives, read whole or fed in pieces of any size.
TEST(EngineListTest, LineRulesHoldForAnyCutOfTheText) {
  const std::string exact(kEngineLineMax, 'a'), longer = "RND_009 " + std::string(3000, 'b');
  const std::pair<std::string, Lines> cases[] = {
      // Only lines ending with a line feed are listed; a last line without one is not.
      {"RND_001 (OpenGL)\nRND_002 (Portable)", {"RND_001 (OpenGL)"}},
      {"no line feed at all", {}},
      {"", {}},
      // Carriage returns stay part of the text; an empty line is an (empty) entry.
      {"RND_001 (OpenGL)\r\n\nRND_003\r\n", {"RND_001 (OpenGL)\r", "", "RND_003\r"}},
      // An overlong line keeps its first 1023 characters and the list goes on.
      {exact + "\n" + longer + "\r\nRND_010 (Next)\n", {exact, longer.substr(0, kEngineLineMax), "RND_010 (Next)"}},
  };
  for (const auto& [text, lines] : cases) {
    EXPECT_EQ(ParseEngineList(text), lines) << text.substr(0, 40);
    for (size_t step : {1u, 7u, 1023u, 1024u, 4096u}) {
      EngineListParser parser;
      for (size_t at = 0; at < text.size(); at += step) parser.Feed(std::string_view(text).substr(at, step));
      EXPECT_EQ(parser.lines(), lines) << text.substr(0, 40) << " in pieces of " << step;
    }
  }
}

TEST(EngineListTest, IdentifierAndOrganizationNames) {
  // Without a blank the whole line, CR included; only the upper-case extension is cut.
  for (auto [entry, identifier] : {std::pair{"RND_001 (OpenGL)", "RND_001"}, {"RND_002\r", "RND_002\r"}, {" x", ""}})
    EXPECT_EQ(EngineIdentifier(entry), identifier) << entry;
  for (auto [file, name] : {std::pair{"DEFAULT.ORG", "DEFAULT"}, {"mine.org", "mine.org"}, {"A.ORG.ORG", "A"},
                            {"NOEXT", "NOEXT"}})
    EXPECT_EQ(OrganizationListName(file), name) << file;
}

TEST(EngineListTest, ReadsTheInstalledFile) {
  test::ResetRegistry(true);
  {
    test::TestInstall install;
    EXPECT_EQ(ReadEngineList(), Lines{}) << "missing file";
    std::string text = "RND_001 (OpenGL)\r\nRND_002 (Portable)\r\n" + std::string(5000, 'z') + "\nlast";
    install.Write("LIBS/LMX_ENG.LST", TextBytes(text));
    EXPECT_EQ(ReadEngineList(), ParseEngineList(text));
    EXPECT_EQ(ReadEngineList().size(), 3u);
  }
  EXPECT_EQ(ReadEngineList(), Lines{}) << "no installation path";
  test::ResetRegistry(false);
}


using Bytes = std::vector<uint8_t>;

Bytes Pattern(size_t n, uint8_t seed) {
  Bytes b(n);
  for (size_t i = 0; i < n; ++i) b[i] = uint8_t(i * 7 + seed + i / 256);
  return b;
}

Bytes ToBytes(const EffectSettings& block) {
  const auto* p = reinterpret_cast<const uint8_t*>(&block);
  return Bytes(p, p + sizeof block);
}

class DefaultsFileTest : public ::testing::Test {
 protected:
#ifndef _WIN32
  void TearDown() override { platform::posix::TakeShownMessages(); }
#endif
  test::TestInstall install_;
};

// Only a whole image is taken; without the Work directory or the Path value nothing is.
TEST_F(DefaultsFileTest, OnlyAWholeImageIsTaken) {
  const EffectSettings golden = test::GoldenBlock();
  const Bytes original = ToBytes(golden), file = Pattern(1100, 99);
  for (size_t size : {0, 1015, 1016, 1017, 1100}) {
    install_.Write("Work/Defaults.LRI", Bytes(file.begin(), file.begin() + long(size)));
    EffectSettings block = golden;
    LoadDefaults(&block);
    EXPECT_EQ(ToBytes(block), size >= 1016 ? Bytes(file.begin(), file.begin() + 1016) : original) << size;
  }
  std::filesystem::remove_all(install_.File("Work"));
  EffectSettings block = golden;
  LoadDefaults(&block);
  EXPECT_EQ(ToBytes(block), original);
  install_.Write("Work/Defaults.LRI", file);
  test::DeleteRegistryValue("Path");
  LoadDefaults(&block);
  EXPECT_EQ(ToBytes(block), original);
}

// Every byte survives the round trip, and every build reads and writes the same file.
TEST_F(DefaultsFileTest, GoldenBlockRoundTrip) {
  const EffectSettings golden = test::GoldenBlock();
  SaveDefaults(&golden);
  SaveDefaults(&golden);  // replaces the file rather than growing it
  EXPECT_EQ(install_.Read("Work/Defaults.LRI"), test::GoldenBlockImage());
#ifndef _WIN32
  EXPECT_TRUE(platform::posix::TakeShownMessages().empty());
#endif
  EffectSettings loaded{};
  LoadDefaults(&loaded);
  EXPECT_EQ(ToBytes(loaded), ToBytes(golden));
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
  const EffectSettings block = test::GoldenBlock();
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
