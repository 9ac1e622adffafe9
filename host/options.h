// The host program's command line.
//
//   lmxhost [--block FILE] [--dll FILE]                    the host window
//   lmxhost select [--filter] [--block FILE] [--dll FILE]  the selection sheet, no window
//   lmxhost info NAME [--dll FILE]                         one effect's EffectInfo
//   lmxhost about [--dll FILE]                             the about box
//   lmxhost render A.bmp B.bmp --size WxH --frames N -o DIR [--block FILE]
//                                                          the chosen transition's frames
//   lmxhost --autopilot DIR [--filter] [--pick G:I]... [--pages LIST] [--timeout S]
//           [--block FILE] [--dll FILE]                    drives the sheet on its own
#pragma once

#include <string>
#include <vector>

namespace lmx::host {

enum class Command { Window, Select, Info, About, Autopilot, Help, Render };

// An effect to pick on the FX page: entry `index` of group `group`, both from 0.
struct Pick {
  int group = 0;
  int index = 0;
};

struct HostOptions {
  Command command = Command::Window;
  bool filterMode = false;
  std::string blockPath;                // "" = lmxhost.lri beside the program
  std::string dllPath = "LMX_GUI.DLL";  // found the way LoadLibraryA finds it
  std::string infoName;                 // the effect of `info`
  std::string autopilotDir;             // where the autopilot puts what it saw
  std::vector<Pick> picks;              // empty = the default picks
  bool picksGiven = false;
  std::vector<std::string> pages;       // tab titles to visit; empty = every page
  int timeoutSeconds = 60;              // the longest any single wait of the autopilot takes
  std::vector<std::string> clips;       // render: the pictures of clip A and clip B
  int width = 0, height = 0;            // render: the frame size
  int frames = 0;                       // render: how many frames, 0 to frames - 1
  std::string outputDir;                // render: where the frames go
};

// The largest frame side the engine draws.
inline constexpr int kMaxFrameSide = 4096;
// The most frames one render writes (about half an hour at 50 frames a second).
inline constexpr int kMaxRenderFrames = 100000;

// Parses args (without the program name). False with a message in error on bad input.
bool ParseCommandLine(const std::vector<std::string>& args, HostOptions* options, std::string* error);

// "G:I" with two whole numbers from 0; false for anything else.
bool ParsePick(const std::string& text, Pick* pick);

// A tab title as the autopilot compares it: without surrounding blanks, lower case.
std::string PageKey(const std::string& title);

// The usage text.
const char* UsageText();

}  // namespace lmx::host
