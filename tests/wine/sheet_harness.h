// Drives the real selection sheet of LMX_GUI.DLL from a test: an installation with an
// organization, effects and the instrumented engine, the sheet run on a thread of its
// own, message boxes caught and read, and waits on conditions with deadlines.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "model/effect_settings.h"
#include "platform/module.h"
#include "support/test_install.h"
#include "test_engine/test_engine.h"

namespace lmx::test {

// Polls pred every few milliseconds until it holds or the deadline passes.
bool WaitUntil(const std::function<bool()>& pred, int timeoutMs = 10000);

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
  uint32_t type = 1;
};

// Writes EFFECTS\<name>.LMI.
void WriteEffect(const TestInstall& install, const EffectSpec& effect);
// Writes ORGS\<name><extension>: groups of effect short names.
void WriteOrganization(const TestInstall& install, const std::string& name,
                       const std::vector<std::pair<std::string, std::vector<std::string>>>& groups,
                       const char* extension = ".ORG");

// The window's text (its first 1,023 characters).
std::string WindowText(HWND window);

// Calls `visit` for each top-level window, or each child of `parent` at any depth, until it
// returns false.
void ForEachWindow(const std::function<bool(HWND)>& visit, HWND parent = nullptr);
bool IsOwnWindow(HWND window);  // of this process
// The first visible top-level window of this process with exactly this title, or null.
HWND FindOwnWindow(const char* title);

// The colour of a pixel of the window's client area, as it shows now.
COLORREF PixelAt(HWND window, int x, int y);

// The type (REG_SZ, REG_DWORD, ...) and size of a value of the product's key, read from
// the key itself; REG_NONE when the value does not exist.
std::pair<DWORD, DWORD> StoredType(const char* name);

// A 24-bit bottom-up bitmap file: the left half in one colour, the right half in another.
std::vector<uint8_t> BitmapFile(int width, int height, COLORREF left, COLORREF right);

// Closes every "Cannot continue" (or other given caption) message box of this process
// with OK and keeps its text.
class MessageBoxCatcher {
 public:
  MessageBoxCatcher();
  ~MessageBoxCatcher();
  std::vector<std::string> Texts() { return Copy(texts_); }
  std::vector<std::string> Captions() { return Copy(captions_); }

 private:
  void Run();
  std::vector<std::string> Copy(const std::vector<std::string>& kept) {
    std::lock_guard<std::mutex> lock(mutex_);
    return kept;
  }
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
  void Reset(int delayMs, int holdAtCall = -1, bool honourAbort = true) {
    Get<TestEngineResetFn>("TestEngine_Reset")(delayMs, holdAtCall, honourAbort);
  }
  int CallCount() const { return Get<TestEngineCallCountFn>("TestEngine_CallCount")(); }
  std::vector<EngineCall> Calls() const;
  void Release() { Get<TestEngineReleaseFn>("TestEngine_Release")(); }
  void Fail(bool failing) { Get<TestEngineFailFn>("TestEngine_Fail")(failing ? 1 : 0); }
  bool AbortSeen() const { return Get<TestEngineAbortSeenFn>("TestEngine_AbortSeen")() != 0; }
  int Active() const { return Get<TestEngineActiveFn>("TestEngine_Active")(); }
  int MaxActive() const { return Get<TestEngineMaxActiveFn>("TestEngine_MaxActive")(); }

 private:
  template <class Fn>
  Fn Get(const char* name) const {
    return platform::ProcAs<Fn>(module_.Find(name));
  }
  platform::LoadedModule module_;
};

using SelectFn = int16_t(__cdecl*)(HWND, void*, int32_t);

// The pages in tab order; in filter mode the Filter page comes third and the rest move on.
enum SheetPage { kFxPage, kOptionsPage, kObjectsPage, kSettingsPage };
constexpr int kFilterPage = 2;

// One LMXGUI_Select call on its own thread, the sheet it opens, and its controls worked
// as the user and the controls themselves would.
class SheetRun {
 public:
  SheetRun(SelectFn select, EffectSettings* block, int32_t filterMode);
  ~SheetRun();
  // The sheet window, once it is shown (null when it did not appear in time).
  HWND WaitForSheet(int timeoutMs = 10000);
  // Waits for the call to return; -100 when it did not in time.
  int Finish(int timeoutMs = 20000);
  bool finished() const { return done_; }
  // Presses PSBTN_OK, PSBTN_CANCEL or PSBTN_HELP of the sheet.
  void Press(int button) const;
  int Close(int button) {
    Press(button);
    return Finish();
  }

  HWND sheet() const { return sheet_; }
  std::vector<std::string> TabTitles() const;
  int CurrentIndex() const;
  HWND CurrentPage() const;
  void SelectPage(int index) const { SendMessageA(sheet_, PSM_SETCURSEL, index, 0); }
  // Makes page `index` the active one and waits until it is.
  bool ShowPage(int index) const;

  // Controls of the current page.
  HWND Control(int id) const { return GetDlgItem(CurrentPage(), id); }
  LRESULT Send(int id, UINT message, WPARAM w = 0, LPARAM l = 0) const {
    return SendMessageA(Control(id), message, w, l);
  }
  std::string Text(int id) const { return WindowText(Control(id)); }
  void Click(int id) const { Send(id, BM_CLICK); }
  bool IsChecked(int id) const { return Send(id, BM_GETCHECK) == BST_CHECKED; }
  // A WM_COMMAND from control id with the given notification, as the control sends it.
  void Command(int id, int code) const;
  // Sets a trackbar's position and sends the scroll message it sends (TB_THUMBTRACK
  // while dragging, TB_ENDTRACK when released, ...).
  void Scroll(int id, int position, int code) const;
  int Position(int id) const { return static_cast<int>(Send(id, TBM_GETPOS)); }
  // Chooses entry `index` of a drop-down list: selection, then CBN_SELCHANGE.
  void Choose(int id, int index) const;
  int ListSelection(int id) const { return static_cast<int>(Send(id, CB_GETCURSEL)); }
  int ListCount(int id) const { return static_cast<int>(Send(id, CB_GETCOUNT)); }
  std::vector<std::string> ListEntries(int id) const;
  // The FX page's buttons in order: '1' shown and enabled, '0' hidden and disabled.
  std::string FxButtons() const;
  // The colour at the centre of the panel's preview picture, and the frame of the
  // instrumented engine it shows (-1 for none).
  COLORREF PictureCentre() const;
  int FrameShown() const;

 private:
  // The sheet's message loop notices that it has ended only when it next wakes up, as it
  // does at the user's next input; an empty message stands in for that input.
  void Wake() const { PostThreadMessageA(GetWindowThreadProcessId(sheet_, nullptr), WM_NULL, 0, 0); }

  std::atomic<bool> done_{false};
  std::atomic<int> result_{-100};
  HWND sheet_ = nullptr;
  std::thread thread_;
};

}  // namespace lmx::test
