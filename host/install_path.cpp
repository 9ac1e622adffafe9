#include "install_path.h"

#include <windows.h>

namespace lmx::host {

std::string InstalledFile(const std::string& relative) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Corvane\\LumoraFX\\CurrentVersion", 0, KEY_READ, &key) !=
      ERROR_SUCCESS)
    return "";
  char path[MAX_PATH] = {};
  DWORD size = sizeof path - 1, type = 0;
  const LONG read = RegQueryValueExA(key, "Path", nullptr, &type, reinterpret_cast<BYTE*>(path), &size);
  RegCloseKey(key);
  if (read != ERROR_SUCCESS || type != REG_SZ) return "";
  return std::string(path) + "\\" + relative;
}

}  // namespace lmx::host
