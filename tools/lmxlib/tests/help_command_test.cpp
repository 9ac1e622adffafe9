// lmxlib help build and dump from the command line: the help file and its contents file
// are written, dump lists what was built, and faults give their exit status and reason.
#include <gtest/gtest.h>

#include "test_util.h"

namespace lmxlib::test {
namespace {

class HelpCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(src_);
    WriteText((src_ / "a.md").string(), "title: Start\ncontext: IDH_START\nkind: contents\nhelp-title: Tiny help\n---\n"
                              "See [the note](IDH_NOTE).\n");
    WriteText((src_ / "b.md").string(), "title: Note\ncontext: IDH_NOTE\nmap: 7\nkind: popup\n---\nA note.\n");
  }
  TempDir dir_;
  fs::path src_ = dir_.path() / "help";
};

TEST_F(HelpCommand, BuildWritesBothFilesAndDumpListsThem) {
  const std::string hlp = dir_ / "LMXSlct.HLP";
  Result built = Lmxlib({"help", "build", src_.string(), "-o", hlp});
  ASSERT_EQ(built.status, kExitOk) << built.err;
  EXPECT_NE(built.out.find("2 topics (1 popups)"), std::string::npos) << built.out;
  const std::vector<uint8_t> cnt = ReadBytes(dir_ / "LMXSlct.CNT");
  EXPECT_EQ(std::string(cnt.begin(), cnt.end()),
            ":Base LMXSlct.HLP\r\n:Title Tiny help\r\n1 Start=IDH_START\r\n1 Pages of the sheet\r\n");

  Result dump = Lmxlib({"help", "dump", hlp});
  ASSERT_EQ(dump.status, kExitOk) << dump.err;
  for (const char* line : {"title: \"Tiny help\"\n", "contents: 0x00000000 \"Start\"\n", "topics: 2\n",
                           "    | See the note.\n", "map: 1\n", "  7 -> ", "\"Note\"\n", "contexts: 2\n",
                           "  |TOPIC at ", "titles: 2\n"})
    EXPECT_NE(dump.out.find(line), std::string::npos) << line << "\n" << dump.out;
}

TEST_F(HelpCommand, AnOutputThatIsItsOwnContentsFileIsRefused) {
  fs::create_symlink("L.HLP", dir_.path() / "L.CNT");
  for (const char* name : {"X.CNT", "X.cnt", "L.HLP"}) {
    SCOPED_TRACE(name);
    ExpectRun({"help", "build", src_.string(), "-o", dir_ / name}, kExitUsage, "would be the same file");
  }
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_.path()), fs::directory_iterator()), 2) << "help/ and L.CNT";
}

TEST_F(HelpCommand, FaultsGiveTheirStatusAndReason) {
  EXPECT_EQ(Lmxlib({"help", "build", src_.string()}).status, kExitUsage);
  EXPECT_EQ(Lmxlib({"help", "dump"}).status, kExitUsage);
  EXPECT_EQ(Lmxlib({"help", "frobnicate"}).status, kExitUsage);
  EXPECT_EQ(Lmxlib({"help"}).status, kExitOk) << "lists every command, as before";

  WriteText((src_ / "c.md").string(), "title: Other\ncontext: IDH_OTHER\nmap: 7\nkind: popup\n---\nText.\n");
  ExpectRun({"help", "build", src_.string(), "-o", dir_ / "X.HLP"}, kExitFindings,
            "c.md: map number 7 is taken by \"IDH_NOTE\"");
  EXPECT_FALSE(fs::exists(dir_.path() / "X.HLP"));

  WriteText(dir_ / "cut.hlp", std::string("\x3f\x5f\x03\x00", 4) + std::string(20, '\0'));
  ExpectRun({"help", "dump", dir_ / "cut.hlp"}, kExitFindings, "file header states a size of 0");
}

}  // namespace
}  // namespace lmxlib::test
