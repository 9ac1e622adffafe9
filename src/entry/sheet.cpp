#include "entry/sheet.h"

#include <commctrl.h>

#include <atomic>
#include <cstring>
#include <memory>

#include "pages/page_frame.h"
#include "pages/page_procs.h"
#include "preview/preview.h"
#include "resources/resource_ids.h"
#include "preview/sheet_session.h"
#include "ui/module_state.h"

namespace lmx {
namespace {

// Claimed by SheetClaim; a host may call the exports from more than one thread. A
// file-scope flag because the claim is about every caller in the process: there is no
// window or parameter that two callers of the exports share.
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

INT_PTR RunSheet(SheetSession& session, HWND owner, bool filterMode) {
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
    page.lParam = reinterpret_cast<LPARAM>(&session);
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
void EndSheet(SheetSession& session) {
  for (platform::MemoryHandle& slot : session.sheet.iconSlots) {
    if (slot) platform::FreeMovable(slot);
    slot = nullptr;
  }
  DestroyPreviewBuffers(session);
  ReplaceCurrentEffect(session.selection, nullptr);
  session.frame.currentPage = nullptr;
  session.frame.panelLessPage = nullptr;
}

}  // namespace

SheetClaim::SheetClaim() : held_(!g_running.exchange(true)) {}
SheetClaim::~SheetClaim() {
  if (held_) g_running = false;
}

int16_t RunSelectionSheet(HWND owner, EffectSettings* settings, bool filterMode, RenderEntryFn renderEntry) {
  // The run's state, handed to every page through its PROPSHEETPAGE and to each render
  // thread as its parameter; EndSheet joins those threads before it ends.
  auto session = std::make_unique<SheetSession>();
  SheetContext& sheet = session->sheet;
  sheet.hostSettings = settings;
  sheet.filterMode = filterMode;
  sheet.renderEntry = renderEntry;
  std::memcpy(session->frame.settingsSnapshot, settings, sizeof session->frame.settingsSnapshot);

  int16_t result = 2;
  try {
    CreatePreviewBuffers(*session);
    InitSelection(session->selection, settings, Module().organization, filterMode);
    result = RunSheet(*session, owner, filterMode) == -1 ? 2 : 0;
  } catch (...) {
    result = 2;
  }
  if (sheet.cancelRequested) result = 1;
  EndSheet(*session);
  return result;
}

}  // namespace lmx
