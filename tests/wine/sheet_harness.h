// Drives the real selection sheet of LMX_GUI.DLL from a test: an installation with an
// organization, effects and the instrumented engine, the sheet run on a thread of its
// own, message boxes caught and read, and waits on conditions with deadlines.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "model/effect_settings.h"
#include "platform/module.h"
#include "support/test_install.h"
#include "test_engine/test_engine.h"

namespace lmx::test {

// Polls pred every few milliseconds until it holds or the deadline passes.
bool WaitUntil(const std::function<bool()>& pred, int timeoutMs = 10000);

// An effect file's contents.
struct EffectSpec {
  std::string name;
  std::string longName;
  std::string description;
  uint32_t objects = 2;
  uint32_t direction = 1;
  uint32_t shadow = 1;
  uint32_t motion = 1;
  float bestPosition = 50.0f;
  std::vector<std::pair<uint16_t, float>> options;  // tag, default value
};

// Writes EFFECTS\<name>.LMI.
void WriteEffect(const TestInstall& install, const EffectSpec& effect);
// Writes ORGS\<name>.ORG: groups of effect short names.
void WriteOrganization(const TestInstall& install, const std::string& name,
                       const std::vector<std::pair<std::string, std::vector<std::string>>>& groups);

// A visible top-level window of this process with exactly this title, or null.
HWND FindOwnWindow(const char* title);

// A 24-bit bottom-up bitmap file: the left half in one colour, the right half in another.
std::vector<uint8_t> BitmapFile(int width, int height, COLORREF left, COLORREF right);

// Closes every "Cannot continue" (or other given caption) message box of this process
// with OK and keeps its text.
class MessageBoxCatcher {
 public:
  MessageBoxCatcher();
  ~MessageBoxCatcher();
  std::vector<std::string> Texts();
  std::vector<std::string> Captions();

 private:
  void Run();
  std::atomic<bool> stop_{false};
  std::atomic<bool> started_{false};
  std::mutex mutex_;
  std::vector<std::string> texts_;
  std::vector<std::string> captions_;
  std::thread thread_;
};

// The instrumented engine as LIBS\LMX.DLL, held by the test so its records survive the
// module's own load and unload.
class Engine {
 public:
  Engine(const TestInstall& install, bool withRender);
  ~Engine();
  bool loaded() const { return module_.IsLoaded(); }
  void Reset(int delayMs, int holdAtCall = -1, bool honourAbort = true) { reset_(delayMs, holdAtCall, honourAbort); }
  int CallCount() const { return count_(); }
  std::vector<EngineCall> Calls() const;
  void Release() { release_(); }
  void Fail(bool failing) { fail_(failing ? 1 : 0); }
  bool AbortSeen() const { return abortSeen_() != 0; }
  int Active() const { return active_(); }
  int MaxActive() const { return maxActive_(); }

 private:
  platform::LoadedModule module_;
  TestEngineResetFn reset_ = nullptr;
  TestEngineCallCountFn count_ = nullptr;
  TestEngineGetCallFn getCall_ = nullptr;
  TestEngineReleaseFn release_ = nullptr;
  TestEngineFailFn fail_ = nullptr;
  TestEngineAbortSeenFn abortSeen_ = nullptr;
  TestEngineActiveFn active_ = nullptr;
  TestEngineMaxActiveFn maxActive_ = nullptr;
};

using SelectFn = int16_t(__cdecl*)(HWND, void*, int32_t);

// One LMXGUI_Select call on its own thread, and the sheet it opens.
class SheetRun {
 public:
  SheetRun(SelectFn select, EffectSettings* block, int32_t filterMode);
  ~SheetRun();
  // The sheet window, once it is shown (null when it did not appear in time).
  HWND WaitForSheet(int timeoutMs = 10000);
  // Waits for the call to return; -100 when it did not in time.
  int Finish(int timeoutMs = 20000);
  bool finished() const { return done_; }

  HWND sheet() const { return sheet_; }
  std::vector<std::string> TabTitles() const;
  int CurrentIndex() const;
  HWND CurrentPage() const;
  void SelectPage(int index) const;
  void Press(int button) const;  // PSBTN_OK, PSBTN_CANCEL, PSBTN_HELP
  // Control of the current page.
  HWND Control(int id) const { return GetDlgItem(CurrentPage(), id); }
  std::string Text(int id) const;
  void Click(int id) const;
  // A WM_COMMAND from control id with the given notification, as the control sends it.
  void Command(int id, int code) const;

 private:
  std::atomic<bool> done_{false};
  std::atomic<int> result_{-100};
  HWND sheet_ = nullptr;
  std::thread thread_;
};

// Presses a button of the sheet and waits for LMXGUI_Select to return.
inline int PressAndFinish(SheetRun& run, int button) {
  run.Press(button);
  return run.Finish();
}

}  // namespace lmx::test
