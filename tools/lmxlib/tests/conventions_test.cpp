// The command-line conventions an author expects: help on stdout for the tool and every
// command, the version, one message per wrong value naming it, and messages without the
// parser's internals or repeated paths.
#include <gtest/gtest.h>

#include <algorithm>

#include "lmxlib/cli.h"
#include "test_util.h"

namespace lmxlib::test {
namespace {

TEST(Conventions, HelpGoesToStdoutAndListsEveryOption) {
  // The tool's help names every command; each command's help (and org's actions') goes to
  // stdout with status 0. PrintHelp is shared, so preview's many options stand for all.
  std::vector<std::pair<std::vector<std::string>, std::vector<std::string>>> cases = {
      {{}, {}},
      {{"preview"},
       {"-o, --output FILE", "--frames N", "--size S", "--delay CS", "--textures DIR", "--settings FILE",
        "--set NAME=VALUE", "--progress", "8 to 512"}},
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
  Result v = Lmxlib({"--version"});
  EXPECT_EQ(v.status, kExitOk);
  EXPECT_TRUE(Has(v.out, std::string("lmxlib ") + kToolVersion)) << v.out;
}

TEST(Conventions, EachWrongValueGetsOneMessageNamingIt) {
  TempDir dir;
  WriteText(dir / "A.json", R"({"name": "A"})");
  Result r = Lmxlib({"preview", dir / "A.json", "-o", dir / "a.gif", "--frames", "2.5", "--size", "9999", "--bogus"});
  EXPECT_EQ(r.status, kExitUsage);
  EXPECT_TRUE(Has(r.err, "unknown option \"--bogus\"")) << r.err;
  r = Lmxlib({"preview", dir / "A.json", "-o", dir / "a.gif", "--frames", "2.5", "--size", "9999", "--delay=0"});
  EXPECT_EQ(r.status, kExitUsage);
  EXPECT_TRUE(Has(r.err, "--frames \"2.5\": a whole number from 1 to 200")) << r.err;
  EXPECT_TRUE(Has(r.err, "--size \"9999\": a whole number from 8 to 512")) << r.err;
  EXPECT_TRUE(Has(r.err, "--delay \"0\"")) << r.err;
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 3) << r.err;  // one line for each fault
  EXPECT_FALSE(fs::exists(dir / "a.gif"));

  r = Lmxlib({"dump", dir / "A.json", "--kind", "efect"});
  EXPECT_EQ(r.status, kExitUsage);
  EXPECT_TRUE(Has(r.err, "unknown kind \"efect\" (effect, organization, texture, defaults, bitmap, engine-list)"))
      << r.err;
  r = Lmxlib({"build", dir / "A.json", "-o", dir / "A.LMI", "--kind", "efect"});
  EXPECT_EQ(r.status, kExitUsage);
  EXPECT_TRUE(Has(r.err, "unknown kind \"efect\"")) << r.err;
  r = Lmxlib({"build", dir / "A.json", "-o", dir / "A.LMI", "--frames", "3"});
  EXPECT_TRUE(Has(r.err, "unknown option \"--frames\"")) << r.err;
  EXPECT_EQ(Lmxlib({"build", dir / "A.json"}).status, kExitUsage);
}

TEST(Conventions, MessagesShowNoParserInternalsAndEachPathOnce) {
  TempDir dir;
  WriteText(dir / "bad.json", "{\"name\": \"A\",\n  oops}");
  Result r = Lmxlib({"build", dir / "bad.json", "-o", dir / "A.LMI"});
  EXPECT_EQ(r.status, kExitFindings);
  EXPECT_FALSE(Has(r.err, "json.exception")) << r.err;
  EXPECT_TRUE(Has(r.err, "not valid JSON: line 2, column 3")) << r.err;
  r = Lmxlib({"build", dir / "missing.json", "-o", dir / "A.LMI"});
  const std::string path = dir / "missing.json";
  EXPECT_EQ(r.err.find(path), r.err.rfind(path)) << r.err;
  // A picture of a format lmxlib does not read says so, whatever its name.
  WriteBytes(dir / "photo.json", {0xFF, 0xD8, 0xFF, 0xE0, 0, 16, 'J', 'F', 'I', 'F', 0});
  WriteBytes(dir / "photo.jpg", {0xFF, 0xD8, 0xFF, 0xE0, 0, 16, 'J', 'F', 'I', 'F', 0});
  for (const std::string name : {"photo.json", "photo.jpg"}) {
    r = Lmxlib({"build", dir / name, "-o", dir / "T.LMT"});
    EXPECT_EQ(r.status, kExitFindings);
    EXPECT_TRUE(Has(r.err, "a JPEG picture; lmxlib reads PNG and BMP pictures")) << r.err;
    r = Lmxlib({"icon", dir / name, "-o", dir / "T.BMP"});
    EXPECT_TRUE(Has(r.err, "a JPEG picture")) << r.err;
  }
}

}  // namespace
}  // namespace lmxlib::test
