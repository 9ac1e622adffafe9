#include "sheet_harness.h"

#include <commctrl.h>

#include <chrono>
#include <cstring>
#include <filesystem>

#include "common/chunk_writer.h"
#include "library/bytes.h"
#include "library/effect_record.h"
#include "library/organization.h"
#include "model/bmp24.h"
#include "platform/registry_store.h"
#include "resources/resource_ids.h"

namespace lmx::test {

bool WaitUntil(const std::function<bool()>& pred, int timeoutMs) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    if (pred()) return true;
    if (std::chrono::steady_clock::now() > deadline) return false;
    Sleep(2);
  }
}

void WriteEffect(const TestInstall& install, const EffectSpec& e) {
  ChunkWriter w(kEffectHeader);
  w.U32(FourCC("ETYP"), e.type).Text(FourCC("ENAM"), e.name).Text(FourCC("ELNM"), e.longName)
      .Text(FourCC("DESC"), e.description).U32(FourCC("VCNT"), e.objects).U32(FourCC("FDIR"), e.direction)
      .U32(FourCC("FSHD"), e.shadow).U32(FourCC("FMOT"), e.motion).F32(FourCC("BEST"), e.bestPosition);
  for (uint32_t i = 0; i < e.objects; ++i) w.IndexedText(FourCC("VDSC"), i, "Object " + std::to_string(i + 1));
  w.U32(FourCC("OCNT"), static_cast<uint32_t>(e.options.size()));
  for (size_t i = 0; i < e.options.size(); ++i) {
    EffectOption option{};
    std::snprintf(option.label, sizeof option.label, "Option %zu", i + 1);
    option.defaultValue = e.options[i].second;
    option.maximum = 100.0f;
    option.tag = e.options[i].first;
    w.IndexedBytes(FourCC("OPTS"), static_cast<uint32_t>(i), &option, sizeof option);
  }
  install.Write("EFFECTS/" + e.name + ".LMI", w.bytes());
}

void WriteOrganization(const TestInstall& install, const std::string& name,
                       const std::vector<std::pair<std::string, std::vector<std::string>>>& groups,
                       const char* extension) {
  ChunkWriter w(kOrganizationHeader);
  for (const auto& group : groups) {
    w.Text(FourCC("OGRP"), group.first);
    for (const std::string& entry : group.second) w.Text(FourCC("OITM"), entry);
  }
  install.Write("ORGS/" + name + extension, w.bytes());
}

COLORREF PixelAt(HWND window, int x, int y) {
  HDC dc = GetDC(window);
  const COLORREF c = GetPixel(dc, x, y);
  ReleaseDC(window, dc);
  return c;
}

std::pair<DWORD, DWORD> StoredType(const char* name) {
  DWORD type = REG_NONE, size = 0;
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, platform::kRegistryKeyPath, 0, KEY_READ, &key) != ERROR_SUCCESS) return {};
  if (RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) type = REG_NONE, size = 0;
  RegCloseKey(key);
  return {type, size};
}

std::vector<uint8_t> BitmapFile(int width, int height, COLORREF left, COLORREF right) {
  std::vector<uint8_t> file;
  AppendBmp24Headers(file, static_cast<uint32_t>(width), static_cast<uint32_t>(height));
  const size_t padding = Bmp24RowBytes(static_cast<uint32_t>(width)) - static_cast<size_t>(width) * 3;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const COLORREF c = x < width / 2 ? left : right;
      file.insert(file.end(), {GetBValue(c), GetGValue(c), GetRValue(c)});
    }
    file.insert(file.end(), padding, 0);
  }
  return file;
}

std::string WindowText(HWND window) {
  char text[1024] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

namespace {

BOOL CALLBACK VisitWindow(HWND window, LPARAM visit) {
  return (*reinterpret_cast<const std::function<bool(HWND)>*>(visit))(window) ? TRUE : FALSE;
}

}  // namespace

void ForEachWindow(const std::function<bool(HWND)>& visit, HWND parent) {
  const LPARAM param = reinterpret_cast<LPARAM>(&visit);
  if (parent) {
    EnumChildWindows(parent, VisitWindow, param);
  } else {
    EnumWindows(VisitWindow, param);
  }
}

bool IsOwnWindow(HWND window) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  return process == GetCurrentProcessId();
}

namespace {

HWND FindOwnWindowIf(const std::function<bool(HWND)>& match) {
  HWND found = nullptr;
  ForEachWindow([&](HWND window) {
    if (IsOwnWindow(window) && IsWindowVisible(window) && match(window)) found = window;
    return found == nullptr;
  });
  return found;
}

}  // namespace

HWND FindOwnWindow(const char* title) {
  return FindOwnWindowIf([&](HWND window) { return WindowText(window) == title; });
}

// ---- message boxes

// The thread must be running before the test loads the module: a message box shown
// while the module loads holds the loader lock, which a starting thread waits for.
MessageBoxCatcher::MessageBoxCatcher() : thread_([this] { Run(); }) {
  WaitUntil([this] { return started_.load(); }, 10000);
}

MessageBoxCatcher::~MessageBoxCatcher() {
  stop_ = true;
  thread_.join();
}

void MessageBoxCatcher::Run() {
  while (!stop_) {
    HWND box = FindOwnWindowIf([](HWND window) {
      char cls[32] = {};
      GetClassNameA(window, cls, sizeof cls);
      return std::strcmp(cls, "#32770") == 0 && WindowText(window) != "Lumora FX Selection" &&
             GetDlgItem(window, 0xFFFF) != nullptr;
    });
    started_ = true;
    if (box) {
      {
        std::lock_guard<std::mutex> lock(mutex_);
        texts_.push_back(WindowText(GetDlgItem(box, 0xFFFF)));
        captions_.push_back(WindowText(box));
      }
      SendMessageA(box, WM_COMMAND, IDOK, 0);
      WaitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); }, 5000);
    }
    Sleep(2);
  }
}

// ---- engine

namespace {

// Copies the engine built next to the test binary.
std::string InstallEngine(const TestInstall& install, bool withRender) {
  char exe[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, exe, sizeof exe);
  const std::string source = std::filesystem::path(exe).parent_path().string() +
                             (withRender ? "\\lmx_test_engine.dll" : "\\lmx_test_engine_norender.dll");
  const std::string target = install.File("LIBS/LMX.DLL");
  CopyFileA(source.c_str(), target.c_str(), FALSE);
  return target;
}

}  // namespace

Engine::Engine(const TestInstall& install, bool withRender) : module_(InstallEngine(install, withRender).c_str()) {
  if (module_.IsLoaded()) Reset(0);
}

std::vector<EngineCall> Engine::Calls() const {
  std::vector<EngineCall> calls;
  const auto getCall = Get<TestEngineGetCallFn>("TestEngine_GetCall");
  for (int i = 0, n = CallCount(); i < n; ++i) {
    EngineCall call{};
    if (getCall(i, &call)) calls.push_back(call);
  }
  return calls;
}

// ---- the sheet

SheetRun::SheetRun(SelectFn select, EffectSettings* block, int32_t filterMode)
    : thread_([this, select, block, filterMode] {
        result_ = select(nullptr, block, filterMode);
        done_ = true;
      }) {}

SheetRun::~SheetRun() {
  if (!done_ && sheet_ && IsWindow(sheet_)) PostMessageA(sheet_, WM_COMMAND, IDCANCEL, 0);
  if (thread_.joinable()) thread_.join();
}

HWND SheetRun::WaitForSheet(int timeoutMs) {
  WaitUntil(
      [this] {
        sheet_ = FindOwnWindow("Lumora FX Selection");
        return sheet_ != nullptr || done_;
      },
      timeoutMs);
  return sheet_;
}

int SheetRun::Finish(int timeoutMs) {
  const bool ended = WaitUntil(
      [&] {
        if (done_) return true;
        if (sheet_) Wake();
        return false;
      },
      timeoutMs);
  if (!ended) return -100;
  thread_.join();
  return result_;
}

std::vector<std::string> SheetRun::TabTitles() const {
  std::vector<std::string> titles;
  HWND tab = reinterpret_cast<HWND>(SendMessageA(sheet_, PSM_GETTABCONTROL, 0, 0));
  int n = static_cast<int>(SendMessageA(tab, TCM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < n; ++i) {
    char text[64] = {};
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(tab, TCM_GETITEMA, i, reinterpret_cast<LPARAM>(&item));
    titles.push_back(text);
  }
  return titles;
}

int SheetRun::CurrentIndex() const {
  HWND tab = reinterpret_cast<HWND>(SendMessageA(sheet_, PSM_GETTABCONTROL, 0, 0));
  return static_cast<int>(SendMessageA(tab, TCM_GETCURSEL, 0, 0));
}

HWND SheetRun::CurrentPage() const {
  return reinterpret_cast<HWND>(SendMessageA(sheet_, PSM_GETCURRENTPAGEHWND, 0, 0));
}

bool SheetRun::ShowPage(int index) const {
  SelectPage(index);
  return WaitUntil([&] { return CurrentIndex() == index; });
}

void SheetRun::Press(int button) const {
  SendMessageA(sheet_, PSM_PRESSBUTTON, button, 0);
  Wake();
}

void SheetRun::Command(int id, int code) const {
  SendMessageA(CurrentPage(), WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(Control(id)));
  Wake();
}

void SheetRun::Scroll(int id, int position, int code) const {
  Send(id, TBM_SETPOS, TRUE, position);
  SendMessageA(CurrentPage(), WM_HSCROLL, MAKEWPARAM(code, code == TB_THUMBTRACK ? position : 0),
               reinterpret_cast<LPARAM>(Control(id)));
}

void SheetRun::Choose(int id, int index) const {
  Send(id, CB_SETCURSEL, index);
  Command(id, CBN_SELCHANGE);
}

std::vector<std::string> SheetRun::ListEntries(int id) const {
  std::vector<std::string> entries;
  for (int i = 0; i < ListCount(id); ++i) {
    char text[1100] = {};
    Send(id, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
    entries.push_back(text);
  }
  return entries;
}

std::string SheetRun::FxButtons() const {
  std::string shown;
  for (int id = IDC_FX_BUTTON_FIRST; id <= IDC_FX_BUTTON_LAST; ++id) {
    const bool visible = IsWindowVisible(Control(id)), enabled = IsWindowEnabled(Control(id));
    shown += visible == enabled ? (visible ? '1' : '0') : '?';
  }
  return shown;
}

COLORREF SheetRun::PictureCentre() const {
  RECT rect{};
  GetClientRect(Control(IDC_PANEL_PICTURE), &rect);
  return PixelAt(Control(IDC_PANEL_PICTURE), rect.right / 2, rect.bottom / 2);
}

int SheetRun::FrameShown() const {
  const COLORREF c = PictureCentre();
  for (int k = 0; k < 60; ++k)
    if (GetRValue(c) == ((FrameColour(k) >> 16) & 0xFF) && GetGValue(c) == 0 && GetBValue(c) == 0) return k;
  return -1;
}

}  // namespace lmx::test
