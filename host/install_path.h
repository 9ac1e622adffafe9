// Files of the installation the registry names (the value "Path"), as a host finds them.
#pragma once

#include <string>

namespace lmx::host {

// "<Path>\<relative>", or "" when the registry names no installation.
std::string InstalledFile(const std::string& relative);

}  // namespace lmx::host
