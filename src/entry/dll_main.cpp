#include <windows.h>

#include "ui/module_state.h"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  try {
    if (reason == DLL_PROCESS_ATTACH) lmx::AttachModule(instance);
    if (reason == DLL_PROCESS_DETACH) lmx::DetachModule();
  } catch (...) {
    // Loading never fails; whatever could not be set up stays empty.
  }
  return TRUE;
}
