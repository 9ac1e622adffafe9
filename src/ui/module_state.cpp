#include "ui/module_state.h"

#include <cstring>
#include <optional>

#include "config/installed_files.h"
#include "config/library_path.h"
#include "config/registry.h"
#include "library/bytes.h"
#include "platform/module.h"
#include "platform/user_message.h"
#include "ui/module_instance.h"

namespace lmx {
namespace {

// Lives from process attach to detach: DllMain and the exports share no other object.
ModuleState g_module;

// The optional 3-D controls library, used on Windows NT only.
struct Ctl3d {
  using InstanceFn = BOOL(WINAPI*)(HINSTANCE);
  using PlainFn = BOOL(WINAPI*)();
  std::optional<platform::LoadedModule> library;
  InstanceFn registerFn = nullptr;
  InstanceFn autoSubclassFn = nullptr;
  PlainFn unAutoSubclassFn = nullptr;
  InstanceFn unregisterFn = nullptr;
};
Ctl3d g_ctl3d;

bool RunningOnNt() {
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;
  if (!GetVersionExA(&version)) return false;
  return version.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

void StartCtl3d(HINSTANCE instance) {
  const platform::LoadedModule& library = g_ctl3d.library.emplace("CTL3D32");
  if (!library.IsLoaded()) return;
  g_ctl3d.autoSubclassFn = platform::ProcAs<Ctl3d::InstanceFn>(library.Find("Ctl3dAutoSubclass"));
  g_ctl3d.unAutoSubclassFn = platform::ProcAs<Ctl3d::PlainFn>(library.Find("Ctl3dUnAutoSubclass"));
  g_ctl3d.registerFn = platform::ProcAs<Ctl3d::InstanceFn>(library.Find("Ctl3dRegister"));
  g_ctl3d.unregisterFn = platform::ProcAs<Ctl3d::InstanceFn>(library.Find("Ctl3dUnregister"));
  if (g_ctl3d.registerFn) g_ctl3d.registerFn(instance);
  if (g_ctl3d.autoSubclassFn) g_ctl3d.autoSubclassFn(instance);
}

// A path that cannot be built leaves the field as it was (empty).
void BuildPathInto(char* field, uint32_t size, const char* directory, const char* name, const char* extension) {
  char path[kLongPathSize];
  if (BuildLibraryPath(path, size, directory, name, extension)) CopyFixed(field, size, path);
}

}  // namespace

ModuleState& Module() { return g_module; }

void AttachModule(HINSTANCE instance) {
  ModuleState& m = g_module;
  m.instance = instance;
  SetModuleInstance(instance);

  m.useCtl3d = RunningOnNt();
  if (m.useCtl3d) StartCtl3d(instance);

  BuildPathInto(m.helpFilePath, sizeof m.helpFilePath, "HELP", "LMXSlct", "HLP");
  BuildPathInto(m.enginePath, sizeof m.enginePath, "LIBS", "LMX", "DLL");

  // A name that does not fit currentOrgName (15 characters) is treated as unreadable.
  char name[1024] = {};
  if (!ReadRegistryString(name, sizeof name, "OrgFile") || std::strlen(name) >= sizeof m.currentOrgName)
    name[0] = '\0';

  bool loaded = false;
  if (ReadInstalledOrganization(m.organization, name) == 1) {
    CopyFixed(m.currentOrgName, sizeof m.currentOrgName, name);
    loaded = true;
  } else if (ReadInstalledOrganization(m.organization, "DEFAULT") == 1) {
    CopyFixed(m.currentOrgName, sizeof m.currentOrgName, "DEFAULT");
    loaded = true;
  }
  if (loaded) {
    m.effDisplay = ReadRegistryDword("Eff_Display");
    m.effAutoreverse = ReadRegistryDword("Eff_Autoreverse");
  } else {
    platform::ShowStopMessage("Error reading LMX FX Organization file.", "Cannot continue");
  }
}

void DetachModule() {
  ModuleState& m = g_module;
  if (m.useCtl3d && g_ctl3d.unAutoSubclassFn) g_ctl3d.unAutoSubclassFn();
  if (m.useCtl3d && g_ctl3d.unregisterFn) g_ctl3d.unregisterFn(m.instance);
  g_ctl3d.library.reset();
  g_ctl3d.unAutoSubclassFn = nullptr;
  g_ctl3d.unregisterFn = nullptr;
  m.organization.Release();
}

}  // namespace lmx
