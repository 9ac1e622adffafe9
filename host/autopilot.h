// Drives the selection sheet on its own, from a second thread, while the host's thread sits
// in LMXGUI_Select: picks effects on the FX page, waits for each preview and records its
// frames, visits the pages and screenshots them, and presses OK. Everything it sees goes
// into one directory as 24-bit BMP files and a log.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "options.h"

namespace lmx::host {

struct AutopilotConfig {
  std::string dir;
  std::vector<Pick> picks;         // empty: the first effect of the first two groups
  std::vector<std::string> pages;  // PageKey()s of the tabs to visit; empty: all
  int timeoutSeconds = 60;         // the longest any single wait takes
};

struct AutopilotOutcome {
  bool ok = false;
  std::string error;               // why it failed, for the user
  std::vector<std::string> log;    // what it did, one line per step
  std::vector<std::string> picked; // the panel's effect name after each pick
};

class Autopilot {
 public:
  // Starts the thread and returns once it runs. It waits for the sheet of this process to
  // appear, and closes any "Cannot continue" box the module shows, also while it loads.
  explicit Autopilot(AutopilotConfig config);
  ~Autopilot();
  Autopilot(const Autopilot&) = delete;
  Autopilot& operator=(const Autopilot&) = delete;

  // Tells the thread that LMXGUI_Select has returned with this result (or that it was
  // never called: any negative value), so it stops waiting for a sheet.
  void SelectReturned(int result);

  // True once the thread has ended (given up, or done). A host that has not called
  // LMXGUI_Select yet must not call it then: nobody would close the sheet.
  bool Ended() const { return ended_.load(); }

  // Waits for the thread and gives what it found.
  AutopilotOutcome Join();

 private:
  void Run();

  AutopilotConfig config_;
  std::atomic<int> selectResult_{kNotReturned};
  std::atomic<bool> ended_{false};
  AutopilotOutcome outcome_;
  std::thread thread_;

  static constexpr int kNotReturned = -1000;
  friend class AutopilotRun;
};

}  // namespace lmx::host
