// The host's command line.
#include <gtest/gtest.h>

#include "options.h"

namespace lmx::host {
namespace {

HostOptions Parse(std::vector<std::string> args) {
  HostOptions o;
  std::string error;
  EXPECT_TRUE(ParseCommandLine(args, &o, &error)) << error;
  return o;
}

std::string Refused(std::vector<std::string> args) {
  HostOptions o;
  std::string error;
  EXPECT_FALSE(ParseCommandLine(args, &o, &error));
  return error;
}

TEST(Options, Commands) {
  EXPECT_EQ(Parse({}).command, Command::Window);
  HostOptions select = Parse({"select", "--filter", "--block", "b.lri"});
  EXPECT_EQ(select.command, Command::Select);
  EXPECT_TRUE(select.filterMode);
  EXPECT_EQ(select.blockPath, "b.lri");
  HostOptions info = Parse({"info", "DOORS", "--dll", "x.dll"});
  EXPECT_EQ(info.command, Command::Info);
  EXPECT_EQ(info.infoName, "DOORS");
  EXPECT_EQ(info.dllPath, "x.dll");
  EXPECT_EQ(Parse({"about"}).command, Command::About);
  EXPECT_EQ(Parse({"--help"}).command, Command::Help);
}

TEST(Options, Autopilot) {
  HostOptions o = Parse({"--autopilot", "out", "--pick", "0:3", "--pick", "12:15", "--pages", " FX, Objects ,",
                         "--timeout", "90"});
  EXPECT_EQ(o.command, Command::Autopilot);
  EXPECT_EQ(o.autopilotDir, "out");
  ASSERT_EQ(o.picks.size(), 2u);
  EXPECT_EQ(o.picks[0].group, 0);
  EXPECT_EQ(o.picks[0].index, 3);
  EXPECT_EQ(o.picks[1].group, 12);
  EXPECT_EQ(o.picks[1].index, 15);
  EXPECT_EQ(o.pages, (std::vector<std::string>{"fx", "objects"}));
  EXPECT_EQ(o.timeoutSeconds, 90);
  EXPECT_TRUE(Parse({"--autopilot", "out"}).picks.empty()) << "defaults are chosen from the sheet";
}

TEST(Options, BadInputIsRefusedWithAReason) {
  EXPECT_NE(Refused({"info"}).find("effect name"), std::string::npos);
  EXPECT_NE(Refused({"select", "about"}).find("one command"), std::string::npos);
  EXPECT_NE(Refused({"--block"}).find("needs a value"), std::string::npos);
  EXPECT_NE(Refused({"--frobnicate"}).find("unknown"), std::string::npos);
  EXPECT_NE(Refused({"select", "--pick", "0:0"}).find("--autopilot"), std::string::npos);
  EXPECT_NE(Refused({"info", "X", "--filter"}).find("--filter"), std::string::npos);
  for (const char* bad : {"0", "0:", ":1", "a:1", "0:16", "-1:0", "0:-1", "1:2:3", "99999999999:0"}) {
    EXPECT_NE(Refused({"--autopilot", "d", "--pick", bad}).find("--pick"), std::string::npos) << bad;
  }
  for (const char* bad : {"0", "x", "3601", "-5"}) {
    EXPECT_NE(Refused({"--autopilot", "d", "--timeout", bad}).find("--timeout"), std::string::npos) << bad;
  }
  EXPECT_NE(Refused({"--autopilot", "d", "--pages", " , "}).find("--pages"), std::string::npos);
}

TEST(Options, Render) {
  HostOptions o = Parse({"render", "a.bmp", "b.bmp", "--size", "1920x1080", "--frames", "25", "-o", "out"});
  EXPECT_EQ(o.command, Command::Render);
  EXPECT_EQ(o.clips, (std::vector<std::string>{"a.bmp", "b.bmp"}));
  EXPECT_EQ(o.width, 1920);
  EXPECT_EQ(o.height, 1080);
  EXPECT_EQ(o.frames, 25);
  EXPECT_EQ(o.outputDir, "out");
  const std::pair<std::vector<std::string>, const char*> bad[] = {
      {{"--size", "0x10", "--frames", "2"}, "--size"},   {{"--size", "4097x10", "--frames", "2"}, "--size"},
      {{"--size", "10x", "--frames", "2"}, "--size"},    {{"--size", "10", "--frames", "2"}, "--size"},
      {{"--size", "10x10", "--frames", "0"}, "--frames"}, {{"--size", "10x10", "--frames", "100001"}, "--frames"},
      {{"--size", "10x10"}, "two pictures, --size"},     {{"c.bmp", "--size", "1x1", "--frames", "1"}, "unknown"}};
  for (const auto& [more, reason] : bad) {
    std::vector<std::string> args = {"render", "a.bmp", "b.bmp", "-o", "out"};
    args.insert(args.end(), more.begin(), more.end());
    EXPECT_NE(Refused(args).find(reason), std::string::npos) << reason;
  }
  EXPECT_NE(Refused({"render", "a.bmp", "--size", "1x1", "--frames", "1", "-o", "d"}).find("two pictures"),
            std::string::npos);
  EXPECT_NE(Refused({"select", "--frames", "2"}).find("go with render"), std::string::npos);
}

TEST(Options, PageKeysIgnoreBlanksAndCase) {
  EXPECT_EQ(PageKey("   FX"), "fx");
  EXPECT_EQ(PageKey("Filter Options"), "filter options");
  EXPECT_EQ(PageKey(" \t "), "");
}

}  // namespace
}  // namespace lmx::host
