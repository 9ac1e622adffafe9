// The conventions an author relies on in every command: help on stdout, the version, one
// message per wrong value, no parser internals or repeated paths; outputs never replace
// inputs, a link keeps pointing at the file written, FIFOs are refused instead of blocking (a
// write that fails part-way is in author_walkthrough.sh); and lmxlib help build and dump.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include "lmxlib/cli.h"
#include "test_util.h"

namespace lmxlib::test {
namespace {

TEST(Conventions, HelpGoesToStdoutAndListsEveryOption) {
  // The tool's help names every command; each command's help (and org's actions') goes to
  // stdout with status 0. PrintHelp is shared and prints each command's option table: the
  // first and last of preview's options, a value and a switch, stand for all.
  std::vector<std::pair<std::vector<std::string>, std::vector<std::string>>> cases = {
      {{}, {}},
      {{"preview"}, {"-o, --output FILE", "--set NAME=VALUE", "--progress", "8 to 512"}},
      {{"org"}, {"lmxlib org add ORG GROUP EFFECT", "lmxlib org remove ORG GROUP EFFECT", "lmxlib org list ORG"}},
      {{"org", "add"}, {"usage: lmxlib org add ORG GROUP EFFECT"}},
  };
  for (const Command& c : Commands()) {
    cases[0].second.push_back(std::string("lmxlib ") + c.name);
    if (c.name != std::string("help")) cases.push_back({{c.name}, {std::string("lmxlib ") + c.name}});
  }
  for (const auto& [words, expected] : cases) {
    for (const std::string flag : {"--help", "-h"}) {
      std::vector<std::string> args = words;
      args.push_back(flag);
      SCOPED_TRACE(args[0]);
      Result r = Lmxlib(args);
      EXPECT_EQ(r.status, kExitOk);
      EXPECT_TRUE(r.err.empty()) << r.err;
      for (const std::string& e : expected) EXPECT_TRUE(Has(r.out, e)) << "lacks " << e << "\n" << r.out;
    }
  }
  ExpectRun({"--version"}, kExitOk, "", std::string("lmxlib ") + kToolVersion);
}

TEST(Conventions, EachWrongValueGetsOneMessageNamingIt) {
  TempDir dir;
  WriteText(dir / "A.json", R"({"name": "A"})");
  const std::vector<std::string> preview = {"preview", dir / "A.json", "-o", dir / "a.gif", "--frames", "2.5",
                                            "--size", "9999"};
  std::vector<std::string> args = preview;
  args.push_back("--bogus");
  ExpectRun(args, kExitUsage, "unknown option \"--bogus\"");
  args.back() = "--delay=0";
  Result r = ExpectRun(args, kExitUsage, "--frames \"2.5\": a whole number from 1 to 200");
  EXPECT_TRUE(Has(r.err, "--size \"9999\": a whole number from 8 to 512")) << r.err;
  EXPECT_TRUE(Has(r.err, "--delay \"0\"")) << r.err;
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 3) << r.err;  // one line for each fault
  EXPECT_FALSE(fs::exists(dir / "a.gif"));

  ExpectRun({"dump", dir / "A.json", "--kind", "efect"}, kExitUsage,
            "unknown kind \"efect\" (effect, organization, texture, defaults, bitmap, engine-list)");
  ExpectRun({"build", dir / "A.json", "-o", dir / "A.LMI", "--kind", "efect"}, kExitUsage, "unknown kind \"efect\"");
  ExpectRun({"build", dir / "A.json", "-o", dir / "A.LMI", "--frames", "3"}, kExitUsage, "unknown option \"--frames\"");
  ExpectRun({"build", dir / "A.json"}, kExitUsage);
}

TEST(Conventions, MessagesShowNoParserInternalsAndEachPathOnce) {
  TempDir dir;
  WriteText(dir / "bad.json", "{\"name\": \"A\",\n  oops}");
  Result r = ExpectRun({"build", dir / "bad.json", "-o", dir / "A.LMI"}, kExitFindings,
                       "not valid JSON: line 2, column 3");
  EXPECT_FALSE(Has(r.err, "json.exception")) << r.err;
  r = Lmxlib({"build", dir / "missing.json", "-o", dir / "A.LMI"});
  const std::string path = dir / "missing.json";
  EXPECT_EQ(r.err.find(path), r.err.rfind(path)) << r.err;
  // A picture of a format lmxlib does not read says so, whatever its name.
  for (const std::string name : {"photo.json", "photo.jpg"}) {
    WriteBytes(dir / name, {0xFF, 0xD8, 0xFF, 0xE0, 0, 16, 'J', 'F', 'I', 'F', 0});
    ExpectRun({"build", dir / name, "-o", dir / "T.LMT"}, kExitFindings, "a JPEG picture; lmxlib reads PNG and BMP");
    ExpectRun({"icon", dir / name, "-o", dir / "T.BMP"}, kExitFindings, "a JPEG picture");
  }
}

TEST(FileSafety, OutputThatIsAnInputIsRefused) {
  TempDir dir;
  const std::string source = R"({"name": "SELF"})";
  WriteText(dir / "SELF.json", source);
  fs::create_symlink(dir / "SELF.json", dir.path() / "link.LMI");
  for (const std::string& out : {dir / "SELF.json", dir / "./SELF.json", dir / "link.LMI"})
    ExpectRun({"build", dir / "SELF.json", "-o", out, "--kind", "effect"}, kExitUsage, "is the source itself");
  const std::vector<uint8_t> kept = ReadBytes(dir / "SELF.json");
  EXPECT_EQ(std::string(kept.begin(), kept.end()), source);
}

TEST(FileSafety, AWriteToALinkReplacesItsTargetAndKeepsTheLink) {
  TempDir dir;
  fs::create_directory(dir.path() / "real");
  WriteText(dir / "A.json", R"({"name": "A"})");
  WriteText(dir / "real/A.LMI", "old");
  ASSERT_EQ(chmod((dir / "real/A.LMI").c_str(), 0640), 0);
  fs::create_symlink("real/A.LMI", dir.path() / "A.LMI");
  ASSERT_EQ(Lmxlib({"build", dir / "A.json", "-o", dir / "A.LMI"}).status, kExitOk);
  EXPECT_TRUE(fs::is_symlink(dir.path() / "A.LMI"));
  EXPECT_EQ(Lmxlib({"dump", dir / "real/A.LMI"}).status, kExitOk) << "the target holds the new effect";
  struct stat st;
  ASSERT_EQ(stat((dir / "real/A.LMI").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path() / "real"), fs::directory_iterator()), 1);
}

TEST(FileSafety, FifosAndDirectoriesAreRefusedWithoutWaiting) {
  TempDir dir;
  ASSERT_EQ(mkfifo((dir / "pipe.LMI").c_str(), 0600), 0);
  ASSERT_EQ(mkfifo((dir / "pipe.json").c_str(), 0600), 0);
  WriteText(dir / "A.json", R"({"name": "A"})");
  const std::vector<std::vector<std::string>> cases = {
      {"dump", dir / "pipe.LMI"},
      {"build", dir / "pipe.json", "-o", dir / "X.LMI"},
      {"preview", dir / "pipe.LMI", "-o", dir / "x.gif"},
      {"build", dir / "A.json", "-o", dir / "pipe.LMI", "--kind", "effect"},  // writing would block too
  };
  for (const auto& args : cases) ExpectRun(args, kExitFindings, "is a FIFO, not a regular file");
  EXPECT_FALSE(fs::exists(dir / "X.LMI"));
  EXPECT_NE(Lmxlib({"dump", dir.path().string()}).err.find("is a directory"), std::string::npos);
}

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
  ExpectRun({"help", "build", src_.string(), "-o", hlp}, kExitOk, "", "2 topics (1 popups)");
  const std::vector<uint8_t> cnt = ReadBytes(dir_ / "LMXSlct.CNT");
  EXPECT_EQ(std::string(cnt.begin(), cnt.end()),
            ":Base LMXSlct.HLP\r\n:Title Tiny help\r\n1 Start=IDH_START\r\n1 Pages of the sheet\r\n");

  const Result dump = ExpectRun({"help", "dump", hlp}, kExitOk);
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
