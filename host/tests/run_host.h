// Runs lmxhost.exe or another program beside the test program with arguments and collects
// what it prints.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "support/test_install.h"

namespace lmx::host::test {

struct HostRun {
  bool started = false;
  bool finished = false;  // false when it outlived its time and was ended
  unsigned long exitCode = 0;
  std::string output;     // standard output and standard error, interleaved
};

// `whileRunning` is called with the process id every 20 ms until the program ends.
HostRun RunProgram(const std::string& exe, const std::vector<std::string>& args, unsigned long timeoutMs,
                   const std::function<void(unsigned long)>& whileRunning = nullptr);
inline HostRun RunHost(const std::vector<std::string>& args, unsigned long timeoutMs) {
  return RunProgram("lmxhost.exe", args, timeoutMs);
}

// The run ended by itself with `code` and printed `text` (when given); else a failure that
// shows what it printed.
::testing::AssertionResult Ended(const HostRun& run, unsigned long code, const std::string& text = "");

// The folder of the test program, where lmxhost.exe and the modules are.
std::string ProgramFolder();

// Copies a module from beside the test program to `relative` in the installation.
bool PlantModule(const lmx::test::TestInstall& install, const std::string& relative);

}  // namespace lmx::host::test
