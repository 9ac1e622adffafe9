// Whole-file writes that never leave a half-written file where a good one was: the bytes
// go to a new file in the target's folder, which then takes the target's place in one
// step. A failed write removes the new file and leaves the target as it was.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lmx {

// Writes bytes to path; false with the system's reason in *error (the target is then
// untouched). A new file gets the usual permissions; a replaced one keeps its own.
bool WriteFileSafely(const std::string& path, const std::vector<uint8_t>& bytes, std::string* error);

}  // namespace lmx
