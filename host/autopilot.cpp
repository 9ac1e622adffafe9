#include "autopilot.h"

#include <windows.h>

#include <commctrl.h>
#include <prsht.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <future>
#include <map>
#include <set>

#include "help_pilot.h"
#include "sheet_driver.h"
#include "window_capture.h"

namespace fs = std::filesystem;

namespace lmx::host {

namespace {

using Clock = std::chrono::steady_clock;
using Ms = std::chrono::milliseconds;

constexpr char kSheetCaption[] = "Lumora FX Selection";
constexpr char kErrorCaption[] = "Cannot continue";

// Controls of the FX page and the shared panel.
constexpr int kGroupList = 1026;
constexpr int kFirstEffectButton = 1001;
constexpr int kPanelName = 1040;
constexpr int kPicture = 1042;
constexpr int kRenderButton = 1078;

constexpr int kSpeedTrackbar = 1062;

// Controls of the Options page.
constexpr int kAntiAliasing = 1110;
constexpr int kLighting = 1112;
constexpr int kShadows = 1113;
constexpr int kLightDirection = 1121;

constexpr Ms kPoll{10};
// Frames per second at most while frames are recorded: slow enough that every frame is
// seen at least once whatever the capture costs, and that the polling never locks in step
// with the playback.
constexpr int kRecordingSpeed = 8;
// Without a render of its own accord this long after a pick, the autopilot asks for one.
constexpr Ms kAutoRenderGrace{2000};
// A preview whose picture has not changed for this long is a still (one frame).
constexpr Ms kStillFor{1500};
constexpr size_t kMaxFrames = 240;

struct Failure {
  std::string message;
};

std::string Slug(const std::string& title) {
  std::string key = PageKey(title), slug;
  for (char c : key) slug += std::isalnum(static_cast<unsigned char>(c)) ? c : '-';
  return slug.empty() ? "page" : slug;
}

std::string Numbered(const char* pattern, int n) {
  char text[64];
  std::snprintf(text, sizeof text, pattern, n);
  return text;
}

// Moves a page's trackbar as a user would: the position, then the scroll message the
// trackbar sends its page.
void MoveTrackbar(HWND page, HWND trackbar, int position) {
  Send(trackbar, TBM_SETPOS, TRUE, position);
  Send(page, WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0), reinterpret_cast<LPARAM>(trackbar));
}

// Moves the panel's speed trackbar as a user would (position, then the scroll message the
// trackbar sends its page), and puts it back when it goes.
class PlaybackSpeed {
 public:
  PlaybackSpeed(HWND page, int atMost) : page_(page), trackbar_(GetDlgItem(page, kSpeedTrackbar)) {
    LRESULT position = 0;
    if (!IsUsable(trackbar_) || !Send(trackbar_, TBM_GETPOS, 0, 0, &position)) return;
    if (position > atMost) {
      previous_ = static_cast<int>(position);
      Set(atMost);
    }
  }
  ~PlaybackSpeed() {
    if (previous_ > 0) Set(previous_);
  }
  PlaybackSpeed(const PlaybackSpeed&) = delete;
  PlaybackSpeed& operator=(const PlaybackSpeed&) = delete;
  bool changed() const { return previous_ > 0; }

 private:
  void Set(int speed) { MoveTrackbar(page_, trackbar_, speed); }
  HWND page_;
  HWND trackbar_;
  int previous_ = 0;
};

}  // namespace

// One run of the script, on the autopilot's thread.
class AutopilotRun {
 public:
  explicit AutopilotRun(Autopilot& pilot) : pilot_(pilot), config_(pilot.config_), out_(pilot.outcome_) {}

  void Run() {
    try {
      fs::create_directories(config_.dir);
      FindSheet();
      Script();
      Log("pressed OK");
      PressSheetButton(sheet_, PSBTN_OK);
      const auto deadline = Clock::now() + Timeout();
      while (!SelectHasReturned()) {
        CheckErrorBox();
        if (Clock::now() >= deadline) throw Failure{"timed out waiting for the sheet to close after OK"};
        Sleep(static_cast<DWORD>(kPoll.count()));
      }
      out_.ok = true;
    } catch (const Failure& failure) {
      out_.error = failure.message;
      Log("failed: " + failure.message);
      CloseEverything();
    } catch (const std::exception& e) {
      out_.error = std::string("unexpected error: ") + e.what();
      Log(out_.error);
      CloseEverything();
    }
    WriteLog();
  }

 private:
  // --- waiting ---------------------------------------------------------------------------

  bool SelectHasReturned() const { return pilot_.selectResult_.load() != Autopilot::kNotReturned; }

  Ms Timeout() const { return Ms(static_cast<int64_t>(config_.timeoutSeconds) * 1000); }

  // Polls cond until it holds; fails after the timeout, when the sheet has gone, or when
  // the module shows its error box.
  template <class Cond>
  void WaitFor(const std::string& what, Cond cond, Ms limit = Ms(0)) {
    const auto deadline = Clock::now() + (limit.count() > 0 ? limit : Timeout());
    for (;;) {
      if (cond()) return;
      CheckErrorBox();
      if (sheet_ && SelectHasReturned()) throw Failure{"the sheet closed while waiting for " + what};
      if (Clock::now() >= deadline) throw Failure{"timed out waiting for " + what};
      Sleep(static_cast<DWORD>(kPoll.count()));
    }
  }

  void CheckErrorBox() {
    if (HWND box = FindOwnWindow(kErrorCaption)) {
      std::string text = MessageBoxText(box);
      PostMessageA(box, WM_COMMAND, IDOK, 0);
      throw Failure{"LMX_GUI.DLL reported \"" + text + "\""};
    }
  }

  // --- the script ------------------------------------------------------------------------

  void FindSheet() {
    const auto deadline = Clock::now() + Timeout();
    for (;;) {
      CheckErrorBox();
      if ((sheet_ = FindOwnWindow(kSheetCaption))) break;
      if (SelectHasReturned()) {
        throw Failure{"LMXGUI_Select returned " + std::to_string(pilot_.selectResult_.load()) +
                      " without showing the sheet \"" + kSheetCaption + "\""};
      }
      if (Clock::now() >= deadline) throw Failure{"timed out waiting for the sheet to open"};
      Sleep(static_cast<DWORD>(kPoll.count()));
    }
    WaitFor("the first page", [&] { return CurrentPage(sheet_) != nullptr; });
    const int count = PageCount(sheet_);
    if (count <= 0) throw Failure{"the sheet shows no pages"};
    std::string titles;
    for (int i = 0; i < count; ++i) {
      titles_.push_back(PageTitle(sheet_, i));
      titles += (i ? ", \"" : "\"") + titles_.back() + "\"";
    }
    Log("sheet open with " + std::to_string(count) + " pages: " + titles);
  }

  void Script() {
    if (PageKey(titles_[0]) != "fx") throw Failure{"the first page is \"" + titles_[0] + "\", not the FX page"};
    GoToPage(0);
    HWND fx = PageWindow(sheet_, 0);

    std::vector<Pick> picks = config_.picks;
    if (picks.empty()) {
      LRESULT groups = 0;
      Send(GetDlgItem(fx, kGroupList), CB_GETCOUNT, 0, 0, &groups);
      if (groups <= 0) throw Failure{"the FX page lists no effect groups"};
      picks.push_back({0, 0});
      if (groups > 1) picks.push_back({1, 0});
      ShowOffTheEngine();
    }
    for (size_t n = 0; n < picks.size(); ++n) PickAndPreview(fx, picks[n], static_cast<int>(n) + 1);

    const std::set<std::string> wanted(config_.pages.begin(), config_.pages.end());
    std::set<std::string> missing = wanted;
    for (int i = 0; i < static_cast<int>(titles_.size()); ++i) {
      std::string key = PageKey(titles_[i]);
      if (!wanted.empty() && wanted.count(key) == 0) continue;
      missing.erase(key);
      GoToPage(i);
      SaveScreenshot(Numbered("page-%d-", i + 1) + Slug(titles_[i]) + ".bmp");
    }
    if (!missing.empty()) throw Failure{"the sheet has no page \"" + *missing.begin() + "\""};

    // Help on the FX page, and F1 over its group list.
    GoToPage(0);
    RecordHelp(sheet_, fx, kGroupList, {config_.dir, config_.timeoutSeconds, [this](const std::string& l) { Log(l); }});
  }

  // The default picks preview with anti-aliasing, lighting and shadows on, set on the
  // Options page as a user would, so that the pictures show what the engine draws.
  void ShowOffTheEngine() {
    const auto options = std::find_if(titles_.begin(), titles_.end(), [](const std::string& title) {
      return PageKey(title) == "options";
    });
    if (options == titles_.end()) return;
    const int index = static_cast<int>(options - titles_.begin());
    GoToPage(index);
    HWND page = PageWindow(sheet_, index);
    MoveTrackbar(page, GetDlgItem(page, kAntiAliasing), 4);
    MoveTrackbar(page, GetDlgItem(page, kLightDirection), 135);
    for (int box : {kLighting, kShadows}) {
      LRESULT state = BST_UNCHECKED;
      HWND button = GetDlgItem(page, box);
      if (Send(button, BM_GETCHECK, 0, 0, &state) && state != BST_CHECKED) Send(button, BM_CLICK, 0, 0);
    }
    Log("options: anti-aliasing 4, light from 135 degrees, lighting and shadows on");
    GoToPage(0);
  }

  void GoToPage(int index) {
    if (!SelectPage(sheet_, index)) throw Failure{"the sheet refused page " + std::to_string(index + 1)};
    WaitFor("page \"" + titles_[index] + "\" to become active", [&] {
      HWND page = PageWindow(sheet_, index);
      return page && CurrentPage(sheet_) == page && IsWindowVisible(page);
    });
    Log("page " + std::to_string(index + 1) + " \"" + titles_[index] + "\" active");
  }

  void PickAndPreview(HWND fx, const Pick& pick, int n) {
    GoToPage(0);
    HWND list = GetDlgItem(fx, kGroupList);
    LRESULT groups = 0, shown = -1;
    if (!list || !Send(list, CB_GETCOUNT, 0, 0, &groups)) throw Failure{"the FX page has no group list"};
    if (pick.group >= groups) {
      throw Failure{"pick " + std::to_string(pick.group) + ":" + std::to_string(pick.index) + ": there are only " +
                    std::to_string(groups) + " groups"};
    }
    Send(list, CB_GETCURSEL, 0, 0, &shown);
    if (shown != pick.group) {
      // A program's CB_SETCURSEL sends no notification: tell the page as the list would.
      Send(list, CB_SETCURSEL, static_cast<WPARAM>(pick.group), 0);
      Send(fx, WM_COMMAND, MAKEWPARAM(kGroupList, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    }
    HWND button = GetDlgItem(fx, kFirstEffectButton + pick.index);
    const std::string what = std::to_string(pick.group) + ":" + std::to_string(pick.index);
    WaitFor("effect button " + what, [&] { return IsUsable(button); }, Ms(3000));
    if (!Send(button, BM_CLICK, 0, 0)) throw Failure{"effect button " + what + " did not answer"};
    std::string name = TextOf(GetDlgItem(fx, kPanelName));
    out_.picked.push_back(name);
    Log("pick " + std::to_string(n) + ": group " + std::to_string(pick.group) + " entry " +
        std::to_string(pick.index) + " -> \"" + name + "\"");

    const std::string folder = Numbered("pick-%d", n);
    fs::create_directories(fs::path(config_.dir) / folder);
    int frames = 0;
    {
      PlaybackSpeed slow(fx, kRecordingSpeed);
      if (slow.changed()) Log("preview speed set to " + std::to_string(kRecordingSpeed) + " while recording");
      frames = RecordPreview(fx, folder);
    }
    Log("pick " + std::to_string(n) + ": " + std::to_string(frames) + " preview frame(s) in " + folder);
    SaveScreenshot(folder + "/fx-page.bmp");
  }

  // Waits for the preview of the current settings and saves each distinct frame the
  // picture shows, in playback order, once a whole round of the playback has shown nothing
  // new, the picture stands still (one frame), or the frame limit is reached. Returns how
  // many frames were saved.
  int RecordPreview(HWND page, const std::string& folder) {
    HWND picture = GetDlgItem(page, kPicture);
    HWND render = GetDlgItem(page, kRenderButton);
    if (!picture || !render) throw Failure{"the page has no preview picture or Render button"};
    auto blank = [](const Image& image) { return IsPlain(image, 2); };

    for (int attempt = 0; attempt < 3; ++attempt) {
      // Phase 1: a render runs ("Stop" or "Wait...") and ends ("Render") with a picture.
      const auto start = Clock::now();
      bool askedForRender = false, sawRender = false;
      WaitFor("the preview", [&] {
        std::string caption = TextOf(render);
        bool busy = caption != "Render";
        sawRender = sawRender || busy;
        if (!busy && !blank(CaptureClient(picture))) return true;
        if (!busy && !sawRender && !askedForRender && Clock::now() - start > kAutoRenderGrace) {
          // The automatic preview is off: ask for a render as a user would.
          Send(render, BM_CLICK, 0, 0);
          askedForRender = true;
          Log("no render of its own accord; clicked Render");
        }
        return false;
      });

      // Phase 2: the playback, watched until two rounds of it bring no frame not seen
      // before. A frame missed in one round is caught in the next and put in its place
      // after the frame that preceded it.
      std::vector<uint64_t> order;
      std::map<uint64_t, Image> frames;
      uint64_t last = 0;
      size_t changesWithoutNews = 0;
      bool restarted = false;
      auto lastChange = Clock::now(), lastButtonLook = Clock::now();
      const auto deadline = Clock::now() + Timeout();
      for (;;) {
        if (Clock::now() - lastButtonLook > Ms(100)) {
          lastButtonLook = Clock::now();
          if (TextOf(render) != "Render") {
            restarted = true;  // a new render began: its frames are the ones to keep
            break;
          }
        }
        Image image = CaptureClient(picture);
        uint64_t print = Fingerprint(image);
        if (!blank(image) && print != last) {
          // A frame caught half drawn differs from a second look; keep only settled ones.
          if (Fingerprint(CaptureClient(picture)) == print) {
            lastChange = Clock::now();
            ++changesWithoutNews;
            if (frames.count(print) == 0) {
              auto after = std::find(order.begin(), order.end(), last);
              order.insert(after == order.end() ? order.end() : after + 1, print);
              frames.emplace(print, std::move(image));
              changesWithoutNews = 0;
            }
            last = print;
          }
        }
        // Two rounds' worth of changes that brought nothing new: every frame has been seen.
        if (order.size() >= 2 && changesWithoutNews >= 2 * order.size()) break;
        if (order.size() >= kMaxFrames) break;
        if (!order.empty() && Clock::now() - lastChange > kStillFor) break;  // a still
        if (SelectHasReturned()) throw Failure{"the sheet closed during the preview"};
        if (Clock::now() >= deadline) {
          Log("the playback did not come round within the timeout; keeping what was seen");
          break;
        }
        Sleep(1);
      }
      if (!restarted && !order.empty()) {
        for (size_t i = 0; i < order.size(); ++i) {
          std::string file = folder + Numbered("/frame-%03d.bmp", static_cast<int>(i) + 1);
          if (!WriteBmp24((fs::path(config_.dir) / file).string(), frames[order[i]])) {
            throw Failure{"cannot write " + file};
          }
        }
        return static_cast<int>(order.size());
      }
      Log("the preview started again; waiting for the new one");
    }
    throw Failure{"the preview kept restarting"};
  }

  void SaveScreenshot(const std::string& file) {
    // Paint everything now, so the picture shows the page as it stands.
    RedrawWindow(sheet_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Send(sheet_, WM_NULL, 0, 0);
    // The preview is drawn by a timer, not by painting: give it one tick to come back.
    if (HWND page = CurrentPage(sheet_)) {
      if (HWND picture = GetDlgItem(page, kPicture)) {
        const auto until = Clock::now() + Ms(1000);
        while (Clock::now() < until && IsPlain(CaptureClient(picture), 2)) {
          Sleep(static_cast<DWORD>(kPoll.count()));
        }
      }
    }
    Image image = CaptureClient(sheet_);
    if (!WriteBmp24((fs::path(config_.dir) / file).string(), image)) throw Failure{"cannot write " + file};
    Log("saved " + file);
  }

  // After a failure: close the module's error box and the sheet, so the host's thread
  // gets out of LMXGUI_Select.
  void CloseEverything() {
    const auto deadline = Clock::now() + Timeout();
    while (!SelectHasReturned() && Clock::now() < deadline) {
      if (HWND box = FindOwnWindow(kErrorCaption)) PostMessageA(box, WM_COMMAND, IDOK, 0);
      if (HWND sheet = FindOwnWindow(kSheetCaption)) PressSheetButton(sheet, PSBTN_CANCEL);
      Sleep(50);
    }
  }

  void Log(const std::string& line) {
    char stamp[32];
    double seconds = std::chrono::duration<double>(Clock::now() - started_).count();
    std::snprintf(stamp, sizeof stamp, "[%6.2fs] ", seconds);
    out_.log.push_back(stamp + line);
  }

  void WriteLog() {
    std::ofstream file(fs::path(config_.dir) / "autopilot.log", std::ios::trunc);
    for (const std::string& line : out_.log) file << line << "\n";
  }

  Autopilot& pilot_;
  const AutopilotConfig& config_;
  AutopilotOutcome& out_;
  HWND sheet_ = nullptr;
  std::vector<std::string> titles_;
  const Clock::time_point started_ = Clock::now();
};

Autopilot::Autopilot(AutopilotConfig config) : config_(std::move(config)) {
  // A thread that has not started running yet needs the loader lock to start. The module
  // may show an error box from inside its load, holding that lock: only a thread already
  // running, with the window system ready, can close that box. So the constructor returns
  // once the thread runs.
  std::promise<void> running;
  std::future<void> started = running.get_future();
  thread_ = std::thread([this, &running] {
    // The display driver and the window list are set up on first use, which takes the
    // loader lock too: use them once before the module may load.
    FindOwnWindow(kSheetCaption);
    if (HDC screen = GetDC(nullptr)) ReleaseDC(nullptr, screen);
    running.set_value();
    Run();
  });
  started.wait();
}

Autopilot::~Autopilot() {
  if (thread_.joinable()) {
    SelectReturned(-1);
    thread_.join();
  }
}

void Autopilot::SelectReturned(int result) { selectResult_.store(result); }

AutopilotOutcome Autopilot::Join() {
  if (thread_.joinable()) thread_.join();
  return outcome_;
}

void Autopilot::Run() {
  AutopilotRun run(*this);
  run.Run();
  ended_.store(true);
}

}  // namespace lmx::host
