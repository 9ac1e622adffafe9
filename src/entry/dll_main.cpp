#include <windows.h>

#include "entry/module_instance.h"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) lmx::SetModuleInstance(instance);
  return TRUE;
}
