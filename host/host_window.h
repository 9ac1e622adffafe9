// The host's main window: the current transition's name and main values, "Choose
// transition...", "About..." and a filter-mode switch. The block is saved after every
// confirmed choice.
#pragma once

#include <string>

#include "gui_library.h"

namespace lmx::host {

struct HostSession {
  const GuiLibrary* library = nullptr;
  EffectSettings block{};
  std::string blockPath;
  bool filterMode = false;
  std::string startNote;  // shown in the status line at start (e.g. why the block is empty)
};

// Shows the window and runs its message loop until it is closed. Returns the exit code.
int RunHostWindow(HostSession* session);

}  // namespace lmx::host
