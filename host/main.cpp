// lmxhost: a host program the way a video editor's plug-in layer uses LMX_GUI.DLL. It keeps
// one settings block in a file between runs, shows the chosen transition, and opens the
// selection sheet and the about box; `info` prints one effect's EffectInfo, `render`
// renders the chosen transition's frames through the engine, and `--autopilot` drives the
// sheet on its own and records what it shows.
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "autopilot.h"
#include "block_file.h"
#include "block_text.h"
#include "choose.h"
#include "gui_library.h"
#include "host_window.h"
#include "info_text.h"
#include "options.h"
#include "render_command.h"

namespace fs = std::filesystem;

namespace lmx::host {
namespace {

std::string DefaultBlockPath() {
  char exe[MAX_PATH] = {};
  DWORD n = GetModuleFileNameA(nullptr, exe, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return "lmxhost.lri";
  return (fs::path(exe).parent_path() / "lmxhost.lri").string();
}

// Today's video editors are per-monitor DPI aware, so the sheet draws itself at the
// monitor's DPI instead of being enlarged as a 96-DPI picture. Looked up by name: older
// systems have only the system-wide switch, or none.
void BecomeDpiAware() {
  HMODULE user32 = GetModuleHandleA("user32.dll");
  auto find = [user32](const char* name) { return reinterpret_cast<void*>(GetProcAddress(user32, name)); };
  const auto perMonitorV2 = reinterpret_cast<HANDLE>(-4);  // DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2
  if (auto setContext = reinterpret_cast<BOOL(WINAPI*)(HANDLE)>(find("SetProcessDpiAwarenessContext")))
    if (setContext(perMonitorV2)) return;
  if (auto setAware = reinterpret_cast<BOOL(WINAPI*)()>(find("SetProcessDPIAware"))) setAware();
}

void Note(const std::string& text) {
  if (!text.empty()) std::fprintf(stderr, "lmxhost: %s\n", text.c_str());
}

int Fail(const std::string& text) {
  std::fprintf(stderr, "lmxhost: %s\n", text.c_str());
  return 1;
}

void PrintBlockSummary(const EffectSettings& block, const GuiLibrary& library) {
  std::string name = EffectNameOf(block);
  std::printf("effect: %s", name.empty() ? "(none)" : name.c_str());
  if (!name.empty()) std::printf(" \"%s\"", DisplayName(library.Info(name)).c_str());
  std::printf("\n");
  for (const auto& [label, value] : MainValues(block)) std::printf("  %s: %s\n", label.c_str(), value.c_str());
}

int RunSelect(const HostOptions& o, const GuiLibrary& library) {
  EffectSettings block;
  Note(DescribeBlockLoad(LoadBlockFile(o.blockPath, &block), o.blockPath));
  int16_t result = ChooseTransition(library.select(), nullptr, &block, o.filterMode);
  std::printf("selection: %s (%d)\n", DescribeSelectResult(result), result);
  if (result == 0) {
    if (!SaveBlockFile(o.blockPath, block)) return Fail("cannot save the settings block to " + o.blockPath);
    std::printf("saved %s\n", o.blockPath.c_str());
  }
  PrintBlockSummary(block, library);
  return result;
}

int RunAutopilot(const HostOptions& o) {
  std::error_code ec;
  fs::create_directories(o.autopilotDir, ec);
  if (ec) return Fail("cannot make " + o.autopilotDir);
  // The pilot starts first: it also answers an error box that the module may show while
  // it loads.
  Autopilot pilot({o.autopilotDir, o.picks, o.pages, o.timeoutSeconds});
  GuiLibrary library(o.dllPath);
  if (!library.IsLoaded()) {
    pilot.SelectReturned(-1);
    pilot.Join();
    return Fail(library.error());
  }
  // Unless a block file is named, every run starts from an empty block, so that runs repeat.
  EffectSettings block = {};
  if (!o.blockPath.empty()) Note(DescribeBlockLoad(LoadBlockFile(o.blockPath, &block), o.blockPath));
  // An autopilot that gave up while the module loaded (its error box) would leave the
  // sheet open for ever: then there is no sheet to open.
  int16_t result = pilot.Ended() ? int16_t{-1} : ChooseTransition(library.select(), nullptr, &block, o.filterMode);
  pilot.SelectReturned(result);
  AutopilotOutcome outcome = pilot.Join();
  for (const std::string& line : outcome.log) std::printf("autopilot: %s\n", line.c_str());
  if (!outcome.ok) return Fail("autopilot failed: " + outcome.error);
  if (result != 0) return Fail(std::string("the sheet closed with ") + DescribeSelectResult(result));

  const fs::path dir(o.autopilotDir);
  if (!SaveBlockFile((dir / "block.lri").string(), block)) return Fail("cannot write block.lri");
  {
    std::ofstream dump(dir / "block.txt", std::ios::trunc);
    dump << DumpBlock(block);
    if (!dump.flush()) return Fail("cannot write block.txt");
  }
  if (!o.blockPath.empty() && !SaveBlockFile(o.blockPath, block)) return Fail("cannot save " + o.blockPath);
  PrintBlockSummary(block, library);
  std::printf("autopilot: done; pictures and block in %s\n", o.autopilotDir.c_str());
  return 0;
}

int Main(const std::vector<std::string>& args) {
  HostOptions o;
  std::string error;
  if (!ParseCommandLine(args, &o, &error)) {
    std::fprintf(stderr, "lmxhost: %s\n%s", error.c_str(), UsageText());
    return 2;
  }
  if (o.command == Command::Help) {
    std::printf("%s", UsageText());
    return 0;
  }
  if (o.command == Command::Autopilot) return RunAutopilot(o);
  if (o.blockPath.empty()) o.blockPath = DefaultBlockPath();
  if (o.command == Command::Render) return RunRender(o);

  GuiLibrary library(o.dllPath);
  if (!library.IsLoaded()) return Fail(library.error());
  switch (o.command) {
    case Command::Info:
      std::printf("%s", DescribeEffectInfo(library.Info(o.infoName)).c_str());
      return 0;
    case Command::About: {
      int16_t result = library.About(nullptr);
      std::printf("about box: %s (%d)\n", result == 0 ? "shown and closed" : "cannot be created", result);
      return result;
    }
    case Command::Select:
      return RunSelect(o, library);
    default: {
      HostSession session;
      session.library = &library;
      session.blockPath = o.blockPath;
      session.filterMode = o.filterMode;
      BlockLoad loaded = LoadBlockFile(o.blockPath, &session.block);
      session.startNote = DescribeBlockLoad(loaded, o.blockPath);
      return RunHostWindow(&session);
    }
  }
}

}  // namespace
}  // namespace lmx::host

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  // Output goes to pipes under test runners: unbuffered keeps it in order with stderr.
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  try {
    lmx::host::BecomeDpiAware();
    return lmx::host::Main(args);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "lmxhost: %s\n", e.what());
    return 1;
  }
}
