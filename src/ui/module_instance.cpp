#include "ui/module_instance.h"

namespace lmx {
namespace {
// Given once by DllMain, which has no other place to leave it for the exports.
HINSTANCE g_instance = nullptr;
}

HINSTANCE ModuleInstance() { return g_instance; }
void SetModuleInstance(HINSTANCE instance) { g_instance = instance; }

}  // namespace lmx
