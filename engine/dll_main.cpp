// The engine module keeps no per-process state: there is nothing to set up or tear down
// when it is loaded, and the entry point only keeps the loader's default behaviour.
// Declared by hand so that this file stays free of the Win32 headers as well.
#include <cstdint>

extern "C" int __stdcall DllMain(void* /*instance*/, uint32_t /*reason*/, void* /*reserved*/) {
  return 1;
}
