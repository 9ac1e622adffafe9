// Paths of installed files: InstallPath (the registry value "Path"), a backslash, the
// subdirectory, a backslash, the file name, a full stop and the extension.
#pragma once

#include <cstdint>

namespace lmx {

// Builds the path into buffer (size bytes). False when "Path" cannot be read or the
// whole path does not fit; the buffer is then not to be used, and nothing is ever
// written past it.
bool BuildLibraryPath(char* buffer, uint32_t size, const char* subdirectory, const char* name,
                      const char* extension);

// Buffer sizes the callers give the path builder.
inline constexpr uint32_t kShortPathSize = 128;   // engine module, organizations, effects, icons
inline constexpr uint32_t kMediumPathSize = 256;  // help file, textures, defaults file
inline constexpr uint32_t kLongPathSize = 1024;   // engine list, organization pattern, about pictures

}  // namespace lmx
