// The host's command line.
#include <gtest/gtest.h>

#include <tuple>

#include "options.h"

namespace lmx::host {
namespace {

using Args = std::vector<std::string>;

HostOptions Parse(const Args& args) {
  HostOptions o;
  std::string error;
  EXPECT_TRUE(ParseCommandLine(args, &o, &error)) << error;
  return o;
}

TEST(Options, Commands) {
  const std::pair<Args, Command> commands[] = {
      {{}, Command::Window},       {{"select"}, Command::Select}, {{"info", "X"}, Command::Info},
      {{"about"}, Command::About}, {{"--help"}, Command::Help},   {{"--autopilot", "d"}, Command::Autopilot}};
  for (const auto& [args, command] : commands) EXPECT_EQ(Parse(args).command, command) << args.size();
  HostOptions select = Parse({"select", "--filter", "--block", "b.lri"});
  EXPECT_TRUE(select.filterMode);
  EXPECT_EQ(select.blockPath, "b.lri");
  HostOptions info = Parse({"info", "DOORS", "--dll", "x.dll"});
  EXPECT_EQ(info.infoName, "DOORS");
  EXPECT_EQ(info.dllPath, "x.dll");
  HostOptions render = Parse({"render", "a.bmp", "b.bmp", "--size", "1920x1080", "--frames", "25", "-o", "out"});
  EXPECT_EQ(render.command, Command::Render);
  EXPECT_EQ(render.clips, (Args{"a.bmp", "b.bmp"}));
  EXPECT_EQ(std::make_tuple(render.width, render.height, render.frames), std::make_tuple(1920, 1080, 25));
  EXPECT_EQ(render.outputDir, "out");
}

TEST(Options, Autopilot) {
  HostOptions o = Parse({"--autopilot", "out", "--pick", "0:3", "--pick", "12:15", "--pages",
                         " FX,\tFilter Options ,", "--timeout", "90"});
  EXPECT_EQ(o.autopilotDir, "out");
  ASSERT_EQ(o.picks.size(), 2u);
  EXPECT_EQ(std::pair(o.picks[0].group, o.picks[0].index), std::pair(0, 3));
  EXPECT_EQ(std::pair(o.picks[1].group, o.picks[1].index), std::pair(12, 15));
  EXPECT_EQ(o.pages, (Args{"fx", "filter options"})) << "blanks around and case ignored";
  EXPECT_EQ(o.timeoutSeconds, 90);
  EXPECT_TRUE(Parse({"--autopilot", "out"}).picks.empty()) << "defaults are chosen from the sheet";
}

TEST(Options, BadInputIsRefusedWithAReason) {
  std::vector<std::pair<Args, std::string>> bad = {
      {{"info"}, "effect name"},
      {{"select", "about"}, "one command"},
      {{"--block"}, "needs a value"},
      {{"--frobnicate"}, "unknown"},
      {{"select", "--pick", "0:0"}, "--autopilot"},
      {{"info", "X", "--filter"}, "--filter"},
      {{"--autopilot", "d", "--pages", " , "}, "--pages"},
      {{"render", "a.bmp", "--size", "1x1", "--frames", "1", "-o", "d"}, "two pictures"},
      {{"select", "--frames", "2"}, "go with render"}};
  for (const char* pick : {"0", "0:", ":1", "a:1", "0:16", "-1:0", "0:-1", "1:2:3", "99999999999:0"}) {
    bad.push_back({{"--autopilot", "d", "--pick", pick}, "--pick"});
  }
  for (const char* timeout : {"0", "x", "3601", "-5"}) {
    bad.push_back({{"--autopilot", "d", "--timeout", timeout}, "--timeout"});
  }
  const std::pair<Args, const char*> render[] = {
      {{"--size", "0x10", "--frames", "2"}, "--size"},   {{"--size", "4097x10", "--frames", "2"}, "--size"},
      {{"--size", "10x", "--frames", "2"}, "--size"},    {{"--size", "10", "--frames", "2"}, "--size"},
      {{"--size", "10x10", "--frames", "0"}, "--frames"}, {{"--size", "10x10", "--frames", "100001"}, "--frames"},
      {{"--size", "10x10"}, "two pictures, --size"},     {{"c.bmp", "--size", "1x1", "--frames", "1"}, "unknown"}};
  for (const auto& [more, reason] : render) {
    Args args = {"render", "a.bmp", "b.bmp", "-o", "out"};
    args.insert(args.end(), more.begin(), more.end());
    bad.push_back({args, reason});
  }
  for (const auto& [args, reason] : bad) {
    HostOptions o;
    std::string error, line;
    for (const std::string& a : args) line += a + " ";
    EXPECT_FALSE(ParseCommandLine(args, &o, &error)) << line;
    EXPECT_NE(error.find(reason), std::string::npos) << line << "-> " << error;
  }
}

}  // namespace
}  // namespace lmx::host
