#include "entry/sheet.h"

#include <commctrl.h>

#include <atomic>
#include <cstring>

#include "pages/page_frame.h"
#include "pages/page_procs.h"
#include "preview/preview.h"
#include "resources/resource_ids.h"
#include "selection/sheet_state.h"
#include "ui/module_state.h"

namespace lmx {
namespace {

// Claimed by SheetClaim; a host may call the exports from more than one thread.
std::atomic<bool> g_running{false};

struct PageEntry {
  int resource;
  const char* title;
  DLGPROC procedure;
  bool filterOnly;
};

const PageEntry kPages[] = {
    {IDD_FX_PAGE, "   FX", FxPageProc, false},
    {IDD_OPTIONS_PAGE, "Options", OptionsPageProc, false},
    {IDD_FILTER_PAGE, "Filter Options", FilterPageProc, true},
    {IDD_OBJECTS_PAGE, "Objects", ObjectsPageProc, false},
    {IDD_SETTINGS_PAGE, "Settings", SettingsPageProc, false},
};
constexpr int kPageCount = sizeof kPages / sizeof kPages[0];

INT_PTR RunSheet(HWND owner, bool filterMode) {
  INITCOMMONCONTROLSEX classes{sizeof classes, ICC_BAR_CLASSES | ICC_PROGRESS_CLASS | ICC_TAB_CLASSES};
  InitCommonControlsEx(&classes);
  PROPSHEETPAGEA pages[kPageCount] = {};
  UINT count = 0;
  for (const PageEntry& entry : kPages) {
    if (entry.filterOnly && !filterMode) continue;
    PROPSHEETPAGEA& page = pages[count++];
    page.dwSize = sizeof page;
    page.dwFlags = PSP_USETITLE | PSP_HASHELP;
    page.hInstance = Module().instance;
    page.pszTemplate = MAKEINTRESOURCEA(entry.resource);
    page.pfnDlgProc = entry.procedure;
    page.pszTitle = entry.title;
    page.lParam = 0;
  }
  PROPSHEETHEADERA header = {};
  header.dwSize = sizeof header;
  header.dwFlags = PSH_PROPSHEETPAGE | PSH_NOAPPLYNOW;
  header.hwndParent = owner;
  header.hInstance = Module().instance;
  header.pszCaption = "Lumora FX Selection";
  header.nPages = count;
  header.nStartPage = 0;
  header.ppsp = pages;
  return PropertySheetA(&header);
}

// What one run of the sheet leaves behind, released whatever the run's result: icons,
// the preview (stopping and joining every render thread) and the current effect.
void EndSheet() {
  for (platform::MemoryHandle& slot : Sheet().iconSlots) {
    if (slot) platform::FreeMovable(slot);
    slot = nullptr;
  }
  DestroyPreviewBuffers();
  ReplaceCurrentEffect(Selection(), nullptr);
  PageFrame().currentPage = nullptr;
  PageFrame().panelLessPage = nullptr;
}

}  // namespace

SheetClaim::SheetClaim() : held_(!g_running.exchange(true)) {}
SheetClaim::~SheetClaim() {
  if (held_) g_running = false;
}

int16_t RunSelectionSheet(HWND owner, EffectSettings* settings, bool filterMode) {
  SheetContext& sheet = Sheet();
  sheet.hostSettings = settings;
  sheet.filterMode = filterMode;
  sheet.cancelRequested = false;
  for (platform::MemoryHandle& slot : sheet.iconSlots) slot = nullptr;

  PageFrameState& frame = PageFrame();
  frame.currentPage = nullptr;
  frame.panelLessPage = nullptr;
  std::memcpy(frame.settingsSnapshot, settings, sizeof frame.settingsSnapshot);

  int16_t result = 2;
  try {
    CreatePreviewBuffers();
    Selection() = SelectionState{};
    InitSelection(Selection(), settings, Module().organization, filterMode);
    result = RunSheet(owner, filterMode) == -1 ? 2 : 0;
  } catch (...) {
    result = 2;
  }
  if (sheet.cancelRequested) result = 1;
  EndSheet();
  return result;
}

}  // namespace lmx
