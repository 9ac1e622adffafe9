#include "config/engine_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/registry_control.h"
#include "support/test_install.h"

namespace lmx {
namespace {

using Lines = std::vector<std::string>;

std::vector<uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

TEST(EngineListTest, LineRules) {
  // Only lines ending with a line feed are listed; a last line without one is not.
  EXPECT_EQ(ParseEngineList("RND_001 (OpenGL)\nRND_002 (Portable)"), Lines{"RND_001 (OpenGL)"});
  // Carriage returns stay part of the text; an empty line is an (empty) entry.
  EXPECT_EQ(ParseEngineList("RND_001 (OpenGL)\r\n\nRND_003\r\n"), (Lines{"RND_001 (OpenGL)\r", "", "RND_003\r"}));
  EXPECT_EQ(ParseEngineList(""), Lines{});
  EXPECT_EQ(ParseEngineList("no line feed at all"), Lines{});
}

TEST(EngineListTest, OverlongLineKeepsItsFirst1023CharactersAndTheListGoesOn) {
  std::string exact(kEngineLineMax, 'a');
  std::string longer = "RND_009 " + std::string(3000, 'b');
  Lines lines = ParseEngineList(exact + "\n" + longer + "\r\nRND_010 (Next)\n");
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], exact);
  EXPECT_EQ(lines[1], longer.substr(0, kEngineLineMax));
  EXPECT_EQ(lines[2], "RND_010 (Next)");
}

TEST(EngineListTest, PiecesFedInAnyCutGiveTheSameLines) {
  const std::string text = "RND_001 (OpenGL)\r\nRND_002 (Portable)\n" + std::string(2000, 'x') + "\ntail";
  const Lines whole = ParseEngineList(text);
  for (size_t step : {1u, 7u, 1023u, 1024u, 4096u}) {
    EngineListParser parser;
    for (size_t at = 0; at < text.size(); at += step) parser.Feed(std::string_view(text).substr(at, step));
    EXPECT_EQ(parser.lines(), whole) << "pieces of " << step;
  }
}

TEST(EngineListTest, IdentifierAndOrganizationNames) {
  EXPECT_EQ(EngineIdentifier("RND_001 (OpenGL)"), "RND_001");
  EXPECT_EQ(EngineIdentifier("RND_002\r"), "RND_002\r") << "without a blank the whole line, CR included";
  EXPECT_EQ(EngineIdentifier(" leading"), "");
  EXPECT_EQ(OrganizationListName("DEFAULT.ORG"), "DEFAULT");
  EXPECT_EQ(OrganizationListName("mine.org"), "mine.org") << "only the upper-case extension is cut";
  EXPECT_EQ(OrganizationListName("A.ORG.ORG"), "A");
  EXPECT_EQ(OrganizationListName("NOEXT"), "NOEXT");
}

TEST(EngineListTest, ReadsTheInstalledFile) {
  test::ResetRegistry(true);
  {
    test::TestInstall install;
    EXPECT_EQ(ReadEngineList(), Lines{}) << "missing file";
    std::string text = "RND_001 (OpenGL)\r\nRND_002 (Portable)\r\n" + std::string(5000, 'z') + "\nlast";
    install.Write("LIBS/LMX_ENG.LST", Bytes(text));
    EXPECT_EQ(ReadEngineList(), ParseEngineList(text));
    EXPECT_EQ(ReadEngineList().size(), 3u);
  }
  EXPECT_EQ(ReadEngineList(), Lines{}) << "no installation path";
  test::ResetRegistry(false);
}

}  // namespace
}  // namespace lmx
