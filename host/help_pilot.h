// The autopilot's help step: presses the sheet's Help button on the current page and F1
// over one control, and pictures the help viewer's window after each. The viewer is
// another program (winhlp32 under Wine), so nothing here can fail the run: what could not
// be seen is logged instead.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace lmx::host {

struct HelpPilotConfig {
  std::string dir;        // where the pictures go
  int timeoutSeconds = 60;
  std::function<void(const std::string&)> log;
};

// page: the current page of sheet; control: the id of the control F1 is pressed over.
// Writes help-contents.bmp and help-popup.bmp into dir when the viewer showed them. Does
// nothing when the installation the registry names has no HELP\LMXSlct.HLP.
void RecordHelp(HWND sheet, HWND page, int control, const HelpPilotConfig& config);

}  // namespace lmx::host
