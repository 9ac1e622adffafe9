// Validation of a whole installation directory.
#pragma once

#include <string>
#include <vector>

namespace lmxlib {

struct Finding {
  std::string path;
  std::string message;
};

// Every problem found under dir, each with the path it concerns.
std::vector<Finding> CheckInstallation(const std::string& dir);

}  // namespace lmxlib
