// Runs lmxhost.exe (beside the test program) with arguments and collects what it prints.
#pragma once

#include <string>
#include <vector>

namespace lmx::host::test {

struct HostRun {
  bool started = false;
  bool finished = false;  // false when it outlived its time and was ended
  unsigned long exitCode = 0;
  std::string output;     // standard output and standard error, interleaved
};

HostRun RunHost(const std::vector<std::string>& args, unsigned long timeoutMs);

// The folder of the test program, where lmxhost.exe and the modules are.
std::string ProgramFolder();

}  // namespace lmx::host::test
